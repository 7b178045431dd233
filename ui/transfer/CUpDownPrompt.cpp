#include "ui/transfer/CUpDownPrompt.h"

#include "ui/sheet/Cp1252.h"
#include "ui/transfer/CUpDown.h"

#include <QThread>

CUpDownPrompt::CUpDownPrompt(QObject* parent) : QObject(parent) {}

CUpDownPrompt::~CUpDownPrompt() {
    Close();
}

void CUpDownPrompt::Answer(const std::shared_ptr<Question>& question, bool retry) {
    std::lock_guard<std::mutex> lock(question->lock);
    if (question->done) return;
    question->retry = retry;
    question->done = true;
    question->answered.notify_all();
}

bool CUpDownPrompt::RunDialog(const std::string& message, const std::string& reason) {
    CUpDown dialog(m_pParent);
    dialog.SetMessage(FromCp1252(message));
    dialog.SetReason(FromCp1252(reason));
    return dialog.exec() == QDialog::Accepted;
}

bool CUpDownPrompt::AskRetry(const std::string& message, const std::string& reason) {
    if (QThread::currentThread() == thread()) {
        if (IsClosed()) return false;
        emit questionAsked();
        return RunDialog(message, reason);
    }

    auto question = std::make_shared<Question>();
    {
        // Posting under the lock: Close (and so the destructor) cannot run between the check and the post.
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bClosed) return false;
        m_pPending = question;
        QMetaObject::invokeMethod(
            this,
            [this, question, message, reason] {
                bool retry = false;
                if (!IsClosed()) {
                    emit questionAsked();
                    retry = RunDialog(message, reason);
                }
                Answer(question, retry);
            },
            Qt::QueuedConnection);
    }
    std::unique_lock<std::mutex> wait(question->lock);
    question->answered.wait(wait, [&question] { return question->done; });
    return question->retry;
}

void CUpDownPrompt::Close() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bClosed = true;
    if (m_pPending) Answer(m_pPending, false);
    m_pPending.reset();
}

bool CUpDownPrompt::IsClosed() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_bClosed;
}
