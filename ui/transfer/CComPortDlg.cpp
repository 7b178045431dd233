#include "ui/transfer/CComPortDlg.h"

#include "ui/sheet/CSmallDialog.h"
#include "ui/transfer/SerialPortList.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {
// A port list that is read again whenever it is opened: an adapter plugged in while the dialog is shown is
// offered at once.
class CPortComboBox : public QComboBox {
public:
    CPortComboBox(QWidget* parent, std::function<void()> refresh)
        : QComboBox(parent), m_refresh(std::move(refresh)) {}
    void showPopup() override {
        m_refresh();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_refresh;
};
} // namespace

CComPortDlg::CComPortDlg(QWidget* parent, const QString& deviceRoot)
    : QDialog(parent), m_strDeviceRoot(deviceRoot),
      m_pPortList(new CPortComboBox(this, [this] { FillList(GetPortName()); })),
      m_pConfig(new QPushButton(tr("Config"), this)), m_pCancel(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(QStringLiteral("COM Port Setup"));
    m_pPortList->setObjectName(QStringLiteral("portList"));
    m_pPortList->setEditable(true);
    m_pPortList->setInsertPolicy(QComboBox::NoInsert);
    m_pPortList->setMinimumContentsLength(16);
    m_pPortList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pConfig->setObjectName(QStringLiteral("config"));
    m_pCancel->setObjectName(QStringLiteral("cancel"));
    m_pConfig->setDefault(true);
    connect(m_pConfig, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pConfig);
    buttons->addStretch(1);
    buttons->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pPortList);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CSmallDialog::Apply(*this);
    Refresh(QString());
}

QStringList CComPortDlg::PortChoices(const QString& deviceRoot, const QString& last) {
    QStringList ports;
    for (const std::string& port : ListSerialPorts(deviceRoot.toStdString()))
        ports << QString::fromStdString(port);
    if (ports.isEmpty())
        ports = QStringList{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                            QStringLiteral("COM4")};
    if (!last.isEmpty() && ports.removeAll(last) > 0) ports.prepend(last);
    return ports;
}

void CComPortDlg::Refresh(const QString& name) {
    m_strLast = name;
    FillList(name);
}

void CComPortDlg::FillList(const QString& shown) {
    m_pPortList->clear();
    m_pPortList->addItems(PortChoices(m_strDeviceRoot, m_strLast));
    SetPortName(shown);
}

void CComPortDlg::SetPortName(const QString& name) {
    if (name.isEmpty()) {
        m_pPortList->setCurrentIndex(0);
        return;
    }
    const int index = m_pPortList->findText(name);
    if (index >= 0)
        m_pPortList->setCurrentIndex(index);
    else
        m_pPortList->setEditText(name);
}

QString CComPortDlg::GetPortName() const {
    return m_pPortList->currentText().trimmed();
}
