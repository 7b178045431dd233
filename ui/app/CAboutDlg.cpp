#include "ui/app/CAboutDlg.h"

#include "ui/app/CToolIcons.h"
#include "ui/sheet/CSmallDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#ifndef TAVIK_VERSION_MAJOR
#define TAVIK_VERSION_MAJOR 1
#define TAVIK_VERSION_MINOR 0
#define TAVIK_VERSION_PATCH 0
#endif

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent), m_pVersion(new QLabel(tr("Tavik Version 1.0"), this)) {
    setWindowTitle(tr("About Tavik"));
    auto* icon = new QLabel(this);
    icon->setPixmap(CToolIcons::AppPixmap(48));
    icon->setAlignment(Qt::AlignTop);
    m_pVersion->setText(VersionText(TAVIK_VERSION_MAJOR, TAVIK_VERSION_MINOR, TAVIK_VERSION_PATCH));
    QFont bold = m_pVersion->font();
    bold.setBold(true);
    m_pVersion->setFont(bold);
    auto* line =
        new QLabel(tr("Configuration program for the Brant Zemra-30 analog alarm annunciator"), this);

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_pVersion);
    texts->addWidget(line);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CSmallDialog::Apply(*this);
}

QString CAboutDlg::VersionText(int major, int minor, int patch) {
    return QString::asprintf("Tavik-30 Programmer Version %d.%d%d", major, minor, patch);
}

QString CAboutDlg::GetVersionLine() const {
    return m_pVersion->text();
}
