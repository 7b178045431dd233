#pragma once

#include "model/IPrompt.h"

#include <deque>
#include <string>
#include <vector>

// A prompt that records what it was asked and answers from a script: queued answers first, then the
// default answer. Installs itself for its lifetime.
class CScriptedPrompt : public IPrompt {
public:
    struct Entry {
        std::string text;
        bool question; // OK/Cancel confirmation rather than a message
    };

    explicit CScriptedPrompt(bool defaultAnswer = false);
    ~CScriptedPrompt() override;
    CScriptedPrompt(const CScriptedPrompt&) = delete;
    CScriptedPrompt& operator=(const CScriptedPrompt&) = delete;

    void ShowMessage(const std::string& text, Icon icon) override;
    bool AskOkCancel(const std::string& text) override;

    void QueueAnswer(bool ok) { m_answers.push_back(ok); }
    void SetDefaultAnswer(bool ok) { m_defaultAnswer = ok; }
    std::vector<std::string> Messages() const;
    std::vector<std::string> Questions() const;
    const std::vector<Entry>& Log() const { return m_log; }
    void Clear() { m_log.clear(); }

private:
    bool m_defaultAnswer;
    std::deque<bool> m_answers;
    std::vector<Entry> m_log;
    IPrompt* m_pPrevious;
};
