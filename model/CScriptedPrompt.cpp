#include "model/CScriptedPrompt.h"

CScriptedPrompt::CScriptedPrompt(bool defaultAnswer)
    : m_defaultAnswer(defaultAnswer), m_pPrevious(SetPrompt(this)) {}

CScriptedPrompt::~CScriptedPrompt() {
    SetPrompt(m_pPrevious);
}

void CScriptedPrompt::ShowMessage(const std::string& text, Icon) {
    m_log.push_back({text, false});
}

bool CScriptedPrompt::AskOkCancel(const std::string& text) {
    m_log.push_back({text, true});
    if (m_answers.empty()) return m_defaultAnswer;
    const bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::vector<std::string> CScriptedPrompt::Messages() const {
    std::vector<std::string> out;
    for (const Entry& entry : m_log)
        if (!entry.question) out.push_back(entry.text);
    return out;
}

std::vector<std::string> CScriptedPrompt::Questions() const {
    std::vector<std::string> out;
    for (const Entry& entry : m_log)
        if (entry.question) out.push_back(entry.text);
    return out;
}
