#pragma once

#include "model/IPrompt.h"

#include <ostream>
#include <utility>

// Message boxes of the sheets as lines on stderr ("message: <text>"); confirmations answered as told on
// the command line (--yes or --no).
class CCliPrompt : public IPrompt {
public:
    CCliPrompt(std::ostream& err, bool answerYes);
    ~CCliPrompt() override;
    CCliPrompt(const CCliPrompt&) = delete;
    CCliPrompt& operator=(const CCliPrompt&) = delete;

    void ShowMessage(const std::string& text, Icon icon) override;
    bool AskOkCancel(const std::string& text) override;
    // True when a confirmation was answered Cancel since the last call.
    bool TakeCancelled() { return std::exchange(m_bCancelled, false); }

private:
    std::ostream& m_err;
    bool m_bAnswerYes;
    IPrompt* m_pPrevious;
    bool m_bCancelled = false;
};
