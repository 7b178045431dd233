#include "ui/transfer/CComSetupUI.h"

#include "ui/sheet/CSmallDialog.h"
#include "ui/sheet/Cp1252.h"
#include "ui/transfer/CComPortDlg.h"
#include "ui/transfer/CLineSettingsDlg.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QSettings>

namespace {
// The port and line settings used last, offered first at the next setup, also after a restart.
QSettings Profile() {
    return QSettings(QStringLiteral("Tavik"), QStringLiteral("Tavik Programmer"));
}
const QString g_strPortKey = QStringLiteral("Port/Name");
const QString g_strLineKey = QStringLiteral("Port/Line");

// Flow control as the line-settings dialog offers it: 0 none, 1 Xon/Xoff, 2 CTS/RTS.
int FlowOf(const LynDcb& dcb) {
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE) return 2;
    return dcb.fOutX || dcb.fInX ? 1 : 0;
}

void SetFlow(LynDcb& dcb, int flow) {
    dcb.fOutxCtsFlow = flow == 2 ? 1 : 0;
    if (flow == 2)
        dcb.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    else if (dcb.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE)
        dcb.fRtsControl = LYN_RTS_CONTROL_ENABLE;
    dcb.fOutX = dcb.fInX = flow == 1 ? 1 : 0;
}
} // namespace

CComSetupUI::CComSetupUI(QWidget* parent, const QString& deviceRoot)
    : m_pParent(parent), m_strDeviceRoot(deviceRoot) {}

bool CComSetupUI::AskPortName(std::string& portName) {
    // Made anew each time, so adapters plugged in since the last setup are offered.
    CComPortDlg dialog(m_pParent, m_strDeviceRoot);
    const QString last = Profile().value(g_strPortKey).toString();
    dialog.Refresh(portName.empty() ? last : QString::fromLocal8Bit(portName));
    if (dialog.exec() != QDialog::Accepted) return false;
    // Device names are file names: keep their bytes as the system gives them.
    portName = dialog.GetPortName().toLocal8Bit().toStdString();
    Profile().setValue(g_strPortKey, dialog.GetPortName());
    return true;
}

bool CComSetupUI::EditLineSettings(const std::string& portName, LynDcb& settings) {
    CLineSettingsDlg dialog(QString::fromLocal8Bit(portName), m_pParent);
    // The settings used last on this port come first; only the fields the dialog edits are taken.
    LynDcb offered = settings;
    const QStringList last = Profile().value(g_strLineKey).toStringList();
    if (last.size() == 6 && last[0] == QString::fromLocal8Bit(portName)) {
        offered.BaudRate = last[1].toUInt();
        offered.ByteSize = static_cast<std::uint8_t>(last[2].toUInt());
        offered.Parity = static_cast<std::uint8_t>(last[3].toUInt());
        offered.StopBits = static_cast<std::uint8_t>(last[4].toUInt());
        SetFlow(offered, last[5].toInt());
    }
    dialog.SetSettings(offered);
    dialog.GetWriteEveryBlock()->setChecked(m_bWriteAll);
    if (dialog.exec() != QDialog::Accepted) return false;
    settings = dialog.GetSettings();
    m_bWriteAll = dialog.GetWriteEveryBlock()->isChecked();
    Profile().setValue(g_strLineKey,
                       QStringList{QString::fromLocal8Bit(portName), QString::number(settings.BaudRate),
                                   QString::number(settings.ByteSize), QString::number(settings.Parity),
                                   QString::number(settings.StopBits), QString::number(FlowOf(settings))});
    return true;
}

void CComSetupUI::ShowError(const std::string& message, const std::string& detail) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tavik Programmer"), FromCp1252(message).trimmed(),
                    QMessageBox::Ok, m_pParent);
    if (!detail.empty()) box.setInformativeText(QString::fromLocal8Bit(detail));
    CSmallDialog::FitTitle(box);
    box.exec();
}
