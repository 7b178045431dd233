#include "ui/transfer/CUpDown.h"

#include "ui/sheet/CSmallDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CUpDown::CUpDown(QWidget* parent)
    : QDialog(parent), m_pMessage(new QLabel(this)), m_pReason(new QLabel(this)),
      m_pRetry(new QPushButton(tr("Retry"), this)), m_pCancel(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Upload/Download"));

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    m_pMessage->setObjectName(QStringLiteral("message"));
    m_pMessage->setTextFormat(Qt::PlainText);
    m_pMessage->setMinimumWidth(260);
    m_pReason->setObjectName(QStringLiteral("reason"));
    m_pReason->setTextFormat(Qt::PlainText);
    m_pReason->setWordWrap(true);
    m_pReason->hide();
    m_pRetry->setObjectName(QStringLiteral("retry"));
    m_pCancel->setObjectName(QStringLiteral("cancel"));
    m_pRetry->setDefault(true);
    connect(m_pRetry, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(10);
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_pMessage);
    texts->addWidget(m_pReason);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pRetry);
    buttons->addWidget(m_pCancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CSmallDialog::Apply(*this);
}

void CUpDown::SetMessage(const QString& message) {
    m_pMessage->setText(message);
}

QString CUpDown::GetMessage() const {
    return m_pMessage->text();
}

void CUpDown::SetReason(const QString& reason) {
    m_pReason->setText(reason);
    m_pReason->setVisible(!reason.isEmpty());
}

QString CUpDown::GetReason() const {
    return m_pReason->text();
}
