#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class CTavikDoc;
class CUpDownPrompt;

// The window side of a running transfer: shows the progress window over the main window, which stays
// disabled, and polls the unit until its worker has ended. Escape asks whether to stop; a stop takes
// effect at the next block and ends the transfer as Cancel in the retry dialog does. The question does not
// halt the polling, and it goes away by itself when the transfer ends or the retry question comes up.
class CTransferProgress {
public:
    static constexpr int kPollMs = 50;

    // The retry dialog is shown over the progress window while it is up.
    CTransferProgress(QWidget* mainWindow, CUpDownPrompt* prompt);

    // Runs until the worker started for doc's unit has ended; returns 0.
    unsigned StartTrans(CTavikDoc& doc);
    // "Uploading General data ..." or "Downloading Alarm data ...".
    static QString ProgressText(int direction, const QString& setupTitle);

private:
    QPointer<QWidget> m_pMainWnd;
    CUpDownPrompt* m_pPrompt;
};
