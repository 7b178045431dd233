#include "link/CScriptedComSetupUI.h"

#include <utility>

bool CScriptedComSetupUI::AskPortName(std::string& portName) {
    ++m_nPortNameAsks;
    if (!m_bConfirmPort) return false;
    portName = m_strPortName;
    return true;
}

bool CScriptedComSetupUI::EditLineSettings(const std::string& portName, LynDcb& settings) {
    m_settingsShown.push_back(settings);
    m_settingsPorts.push_back(portName);
    if (!m_bConfirmSettings) return false;
    if (m_editSettings) m_editSettings(settings);
    return true;
}

void CScriptedComSetupUI::ShowError(const std::string& message, const std::string& detail) {
    m_errors.push_back({message, detail});
}

void CScriptedComSetupUI::AnswerPortName(const std::string& name) {
    m_bConfirmPort = true;
    m_strPortName = name;
}

void CScriptedComSetupUI::AnswerLineSettings(std::function<void(LynDcb&)> edit) {
    m_bConfirmSettings = true;
    m_editSettings = std::move(edit);
}

std::vector<std::string> CScriptedComSetupUI::Messages() const {
    std::vector<std::string> messages;
    for (const Error& error : m_errors)
        messages.push_back(error.message);
    return messages;
}

void CScriptedComSetupUI::Clear() {
    m_nPortNameAsks = 0;
    m_settingsShown.clear();
    m_settingsPorts.clear();
    m_errors.clear();
}
