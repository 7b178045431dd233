#pragma once

#include "link/IComSetupUI.h"

#include <functional>
#include <string>
#include <vector>

// A COM setup UI that answers from a script and records what it was shown. Until told otherwise it
// confirms the port dialog with "COM1" (what pressing "Config" without touching the list gives) and accepts
// the line settings unchanged.
class CScriptedComSetupUI : public IComSetupUI {
public:
    struct Error {
        std::string message;
        std::string detail;
    };

    bool AskPortName(std::string& portName) override;
    bool EditLineSettings(const std::string& portName, LynDcb& settings) override;
    void ShowError(const std::string& message, const std::string& detail) override;

    // Answers to the port dialog: confirm with name, or leave it.
    void AnswerPortName(const std::string& name);
    void CancelPortName() { m_bConfirmPort = false; }
    // Answers to the line-settings dialog: OK unchanged, OK after edit changed the settings, or Cancel.
    void AcceptLineSettings() { AnswerLineSettings(nullptr); }
    void AnswerLineSettings(std::function<void(LynDcb&)> edit);
    void CancelLineSettings() { m_bConfirmSettings = false; }

    int PortNameAsks() const { return m_nPortNameAsks; }
    // The settings each line-settings dialog started from, and the ports it was shown for.
    const std::vector<LynDcb>& LineSettingsShown() const { return m_settingsShown; }
    const std::vector<std::string>& LineSettingsPorts() const { return m_settingsPorts; }
    const std::vector<Error>& Errors() const { return m_errors; }
    std::vector<std::string> Messages() const;
    void Clear();

private:
    bool m_bConfirmPort = true;
    std::string m_strPortName = "COM1";
    bool m_bConfirmSettings = true;
    std::function<void(LynDcb&)> m_editSettings;
    int m_nPortNameAsks = 0;
    std::vector<LynDcb> m_settingsShown;
    std::vector<std::string> m_settingsPorts;
    std::vector<Error> m_errors;
};
