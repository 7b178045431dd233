#pragma once

#include "link/ITransferUI.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <condition_variable>
#include <memory>
#include <mutex>

// Answers the transfer worker's retry question with the "Upload/Download" dialog. The worker calls
// AskRetry on its own thread; the dialog is shown on the window thread (the thread of this object) and
// the worker waits until the user has answered. Once closed, every question is answered Cancel at once,
// so a worker never waits for a window that is gone.
class CUpDownPrompt : public QObject, public ITransferUI {
    Q_OBJECT
public:
    explicit CUpDownPrompt(QObject* parent = nullptr);
    ~CUpDownPrompt() override;

    bool AskRetry(const std::string& message, const std::string& reason) override;
    bool AskRetry(const std::string& message) { return AskRetry(message, std::string()); }
    // The window the dialog is shown over (the progress window while a transfer runs); none by default.
    void SetParentWindow(QWidget* parent) { m_pParent = parent; }
    // Answers Cancel to the question being asked, if any, and to every later one.
    void Close();
    bool IsClosed() const;

signals:
    // The retry question is about to be shown (on the window thread).
    void questionAsked();

private:
    struct Question {
        std::mutex lock;
        std::condition_variable answered;
        bool done = false;
        bool retry = false;
    };
    static void Answer(const std::shared_ptr<Question>& question, bool retry);
    bool RunDialog(const std::string& message, const std::string& reason);

    mutable std::mutex m_lock;
    bool m_bClosed = false;
    std::shared_ptr<Question> m_pPending;
    QPointer<QWidget> m_pParent;
};
