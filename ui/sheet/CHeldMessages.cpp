#include "ui/sheet/CHeldMessages.h"

#include <algorithm>

CHeldMessages::CHeldMessages() : m_pPrevious(SetPrompt(this)) {}

CHeldMessages::~CHeldMessages() {
    Release();
}

void CHeldMessages::ShowMessage(const std::string& text, Icon icon) {
    const bool known = std::any_of(m_messages.begin(), m_messages.end(),
                                   [&text](const Message& held) { return held.text == text; });
    if (!known) m_messages.push_back({text, icon});
}

bool CHeldMessages::AskOkCancel(const std::string& text) {
    return m_pPrevious ? m_pPrevious->AskOkCancel(text) : false;
}

std::vector<CHeldMessages::Message> CHeldMessages::Release() {
    if (!m_bReleased) {
        SetPrompt(m_pPrevious);
        m_bReleased = true;
    }
    return std::move(m_messages);
}
