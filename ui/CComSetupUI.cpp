#include "ui/CComSetupUI.h"

#include "ui/CComPortDlg.h"
#include "ui/CLineSettingsDlg.h"
#include "ui/Cp1252.h"

#include <QMessageBox>

CComSetupUI::CComSetupUI(QWidget* parent, const QString& deviceRoot)
    : m_pParent(parent), m_strDeviceRoot(deviceRoot) {}

bool CComSetupUI::AskPortName(std::string& portName) {
    // Made anew each time, so adapters plugged in since the last setup are offered.
    CComPortDlg dialog(m_pParent, m_strDeviceRoot);
    dialog.Refresh(QString::fromLocal8Bit(portName));
    if (dialog.exec() != QDialog::Accepted) return false;
    // Device names are file names: keep their bytes as the system gives them.
    portName = dialog.GetPortName().toLocal8Bit().toStdString();
    return true;
}

bool CComSetupUI::EditLineSettings(const std::string& portName, LynDcb& settings) {
    CLineSettingsDlg dialog(QString::fromLocal8Bit(portName), m_pParent);
    dialog.SetSettings(settings);
    if (dialog.exec() != QDialog::Accepted) return false;
    settings = dialog.GetSettings();
    return true;
}

void CComSetupUI::ShowError(const std::string& message, const std::string& detail) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tavik Programmer"), FromCp1252(message).trimmed(),
                    QMessageBox::Ok, m_pParent);
    if (!detail.empty()) box.setInformativeText(QString::fromLocal8Bit(detail));
    box.exec();
}
