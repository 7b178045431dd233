#pragma once

#include "link/IComSetupUI.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// The COM port setup as the user sees it: the "COM Port Setup" dialog, the line-settings dialog and the
// message box for a port that cannot be used, all over the main window.
class CComSetupUI : public IComSetupUI {
public:
    explicit CComSetupUI(QWidget* parent = nullptr, const QString& deviceRoot = QStringLiteral("/dev"));

    bool AskPortName(std::string& portName) override;
    bool EditLineSettings(const std::string& portName, LynDcb& settings) override;
    void ShowError(const std::string& message, const std::string& detail) override;

    void SetParentWindow(QWidget* parent) { m_pParent = parent; }
    // The line-settings dialog's "Write every block" choice, off until the user sets it in this run.
    bool WriteEveryBlock() const { return m_bWriteAll; }

private:
    QPointer<QWidget> m_pParent;
    QString m_strDeviceRoot;
    bool m_bWriteAll = false;
};
