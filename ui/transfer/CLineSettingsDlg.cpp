#include "ui/transfer/CLineSettingsDlg.h"

#include "ui/sheet/CSmallDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The rates a POSIX serial port can be set to, up to the fastest a unit's RS-232 side is used with.
const int g_baudRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
} // namespace

CLineSettingsDlg::CLineSettingsDlg(const QString& portName, QWidget* parent)
    : QDialog(parent), m_pBaud(new QComboBox(this)), m_pDataBits(new QComboBox(this)),
      m_pParity(new QComboBox(this)), m_pStopBits(new QComboBox(this)), m_pFlow(new QComboBox(this)),
      m_pWriteAll(new QCheckBox(tr("Write every block, even those the unit already holds"), this)) {
    setWindowTitle(tr("%1 Properties").arg(portName));
    m_pBaud->setObjectName(QStringLiteral("baudRate"));
    m_pDataBits->setObjectName(QStringLiteral("dataBits"));
    m_pParity->setObjectName(QStringLiteral("parity"));
    m_pStopBits->setObjectName(QStringLiteral("stopBits"));
    m_pFlow->setObjectName(QStringLiteral("flowControl"));
    m_pWriteAll->setObjectName(QStringLiteral("writeEveryBlock"));
    m_pWriteAll->setToolTip(tr("Uploads read the unit first and write only the blocks that differ from what "
                               "it holds"));

    for (int rate : g_baudRates)
        m_pBaud->addItem(QString::number(rate), rate);
    for (int bits = 5; bits <= 8; ++bits)
        m_pDataBits->addItem(QString::number(bits), bits);
    m_pParity->addItem(tr("None"), LYN_NOPARITY);
    m_pParity->addItem(tr("Odd"), LYN_ODDPARITY);
    m_pParity->addItem(tr("Even"), LYN_EVENPARITY);
    m_pParity->addItem(tr("Mark"), LYN_MARKPARITY);
    m_pParity->addItem(tr("Space"), LYN_SPACEPARITY);
    m_pFlow->addItem(tr("None"), FlowNone);
    m_pFlow->addItem(tr("Xon / Xoff"), FlowXonXoff);
    m_pFlow->addItem(tr("Hardware (CTS/RTS)"), FlowHardware);
    // Which stop bits exist depends on the data bits: 1.5 only with 5, 2 only with more.
    connect(m_pDataBits, &QComboBox::currentIndexChanged, this,
            [this] { FillStopBits(m_pDataBits->currentData().toInt(), m_pStopBits->currentData().toInt()); });

    auto* form = new QFormLayout;
    form->addRow(tr("&Bits per second:"), m_pBaud);
    form->addRow(tr("&Data bits:"), m_pDataBits);
    form->addRow(tr("&Parity:"), m_pParity);
    form->addRow(tr("&Stop bits:"), m_pStopBits);
    form->addRow(tr("&Flow control:"), m_pFlow);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            &CLineSettingsDlg::RestoreDefaults);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_pWriteAll);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CSmallDialog::Apply(*this);

    LynDcb defaults;
    defaults.BaudRate = 9600;
    defaults.ByteSize = 8;
    SetSettings(defaults);
}

void CLineSettingsDlg::SelectData(QComboBox* box, int value) {
    const int index = box->findData(value);
    if (index >= 0) box->setCurrentIndex(index);
}

void CLineSettingsDlg::FillStopBits(int dataBits, int stopCode) {
    const QSignalBlocker block(m_pStopBits);
    m_pStopBits->clear();
    m_pStopBits->addItem(QStringLiteral("1"), LYN_ONESTOPBIT);
    if (dataBits == 5)
        m_pStopBits->addItem(QStringLiteral("1.5"), LYN_ONE5STOPBITS);
    else
        m_pStopBits->addItem(QStringLiteral("2"), LYN_TWOSTOPBITS);
    // 1.5 and 2 are both "more than one" on the line: keep that choice across the change.
    if (stopCode != LYN_ONESTOPBIT) m_pStopBits->setCurrentIndex(1);
}

void CLineSettingsDlg::SetSettings(const LynDcb& settings) {
    m_settings = settings;
    if (m_pBaud->findData(static_cast<int>(settings.BaudRate)) < 0 && settings.BaudRate > 0)
        m_pBaud->addItem(QString::number(settings.BaudRate), static_cast<int>(settings.BaudRate));
    SelectData(m_pBaud, static_cast<int>(settings.BaudRate));
    {
        const QSignalBlocker block(m_pDataBits);
        SelectData(m_pDataBits, settings.ByteSize);
    }
    FillStopBits(m_pDataBits->currentData().toInt(), settings.StopBits);
    SelectData(m_pParity, settings.Parity);
    Flow flow = FlowNone;
    if (settings.fOutxCtsFlow || settings.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE)
        flow = FlowHardware;
    else if (settings.fOutX || settings.fInX)
        flow = FlowXonXoff;
    SelectData(m_pFlow, flow);
}

LynDcb CLineSettingsDlg::GetSettings() const {
    LynDcb dcb = m_settings;
    dcb.BaudRate = static_cast<std::uint32_t>(m_pBaud->currentData().toInt());
    dcb.ByteSize = static_cast<std::uint8_t>(m_pDataBits->currentData().toInt());
    dcb.Parity = static_cast<std::uint8_t>(m_pParity->currentData().toInt());
    dcb.StopBits = static_cast<std::uint8_t>(m_pStopBits->currentData().toInt());
    const int flow = m_pFlow->currentData().toInt();
    dcb.fOutxCtsFlow = flow == FlowHardware ? 1 : 0;
    if (flow == FlowHardware)
        dcb.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    else if (dcb.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE)
        dcb.fRtsControl = LYN_RTS_CONTROL_ENABLE;
    // Only CTS/RTS is offered, so no other handshake may stay switched on unseen.
    dcb.fOutxDsrFlow = 0;
    if (dcb.fDtrControl == LYN_DTR_CONTROL_HANDSHAKE) dcb.fDtrControl = LYN_DTR_CONTROL_ENABLE;
    dcb.fOutX = flow == FlowXonXoff ? 1 : 0;
    dcb.fInX = flow == FlowXonXoff ? 1 : 0;
    if (flow == FlowXonXoff && dcb.XonChar == dcb.XoffChar) {
        dcb.XonChar = kXon;
        dcb.XoffChar = kXoff;
    }
    return dcb;
}

void CLineSettingsDlg::RestoreDefaults() {
    SelectData(m_pBaud, 9600);
    SelectData(m_pDataBits, 8);
    SelectData(m_pParity, LYN_NOPARITY);
    FillStopBits(8, LYN_ONESTOPBIT);
    SelectData(m_pFlow, FlowNone);
}
