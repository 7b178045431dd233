#include "tools/tavik-cli/CliPrompt.h"

#include "model/Cp1252.h"

namespace {
// One message a line: the sheets' texts hold "\n\r" line breaks.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : Utf8FromCp1252(text)) {
        if (c == '\r') continue;
        line.push_back(c == '\n' ? ' ' : c);
    }
    return line;
}
} // namespace

CCliPrompt::CCliPrompt(std::ostream& err, bool answerYes)
    : m_err(err), m_bAnswerYes(answerYes), m_pPrevious(SetPrompt(this)) {}

CCliPrompt::~CCliPrompt() {
    SetPrompt(m_pPrevious);
}

void CCliPrompt::ShowMessage(const std::string& text, Icon) {
    m_err << "message: " << OneLine(text) << '\n';
}

bool CCliPrompt::AskOkCancel(const std::string& text) {
    m_err << "message: " << OneLine(text) << '\n';
    if (!m_bAnswerYes) m_bCancelled = true;
    return m_bAnswerYes;
}
