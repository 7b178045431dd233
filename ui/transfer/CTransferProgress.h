#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class CTavikDoc;
class CUpDownPrompt;

// The window side of a running transfer: shows the progress window over the main window, which stays
// disabled, and polls the unit until its worker has ended. Stop, Escape and the close box pause the
// transfer after the block in flight; once the worker is held there (and nothing moves on the line) the
// window says "Paused" and asks whether to stop: Yes ends the transfer as Cancel in the retry dialog does,
// No lets it go on. A transfer that finishes meanwhile asks nothing.
class CTransferProgress {
public:
    static constexpr int kPollMs = 50;

    // The retry dialog is shown over the progress window while it is up.
    CTransferProgress(QWidget* mainWindow, CUpDownPrompt* prompt);

    // Runs until the worker started for doc's unit has ended; returns 0.
    unsigned StartTrans(CTavikDoc& doc);
    // "Uploading General data ..." or "Downloading Alarm data ...".
    static QString ProgressText(int direction, const QString& setupTitle);
    static QString StopQuestionText();
    static QString PausingText();
    static QString PausedText();

private:
    QPointer<QWidget> m_pMainWnd;
    CUpDownPrompt* m_pPrompt;
};
