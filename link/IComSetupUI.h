#pragma once

#include "serial/CLynSerial.h"

#include <string>

// The dialogs and message box of the COM port setup. The desktop program shows real ones; tests and the
// command-line tool script the answers. Called on the window thread only.
class IComSetupUI {
public:
    virtual ~IComSetupUI() = default;

    // The "COM Port Setup" dialog: "COM1" to "COM4" are offered, "COM1" selected, and any other name may be
    // typed. True when the user pressed "Config", with the chosen name in portName; false when the dialog
    // was left any other way (portName is then left alone).
    virtual bool AskPortName(std::string& portName) = 0;
    // The line-settings dialog for portName, starting from settings. True on OK with the edited settings in
    // settings; false when cancelled.
    virtual bool EditLineSettings(const std::string& portName, LynDcb& settings) = 0;
    // A message box with an OK button. detail is the port's own reason for the failure (it may say that the
    // user must join the 'dialout' group); it may be empty.
    virtual void ShowError(const std::string& message, const std::string& detail) = 0;
};
