#include "ui/transfer/CTransferProgress.h"

#include "ui/sheet/Cp1252.h"
#include "ui/transfer/CProgressWnd.h"
#include "ui/transfer/CUpDownPrompt.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <QMessageBox>

#include <algorithm>

CTransferProgress::CTransferProgress(QWidget* mainWindow, CUpDownPrompt* prompt)
    : m_pMainWnd(mainWindow), m_pPrompt(prompt) {}

QString CTransferProgress::StopQuestionText() {
    return QObject::tr("The transfer is paused after the block being transferred.\n\nStop the transfer?");
}

QString CTransferProgress::PausingText() {
    return QObject::tr("Pausing after the block being transferred ...");
}

QString CTransferProgress::PausedText() {
    return QObject::tr("Paused");
}

QString CTransferProgress::ProgressText(int direction, const QString& setupTitle) {
    return (direction == 1 ? QStringLiteral("Downloading %1 data ...")
                           : QStringLiteral("Uploading %1 data ..."))
        .arg(setupTitle);
}

unsigned CTransferProgress::StartTrans(CTavikDoc& doc) {
    CZemUnit* unit = doc.GetZemUnit();
    if (!unit) return 0;

    CProgressWnd progress;
    progress.Create(m_pMainWnd, QStringLiteral("Progress"));
    progress.GoModal(QStringLiteral("Progress"));
    if (m_pPrompt) m_pPrompt->SetParentWindow(&progress);

    const int direction = doc.m_nDirection;
    int total = static_cast<int>(std::min<unsigned long>(unit->GetTotalTransBytes(direction), 0x7FFFFFFF));
    progress.SetRange(0, total, 1);

    // Stop, Escape or the close box pause the transfer after the block in flight and ask whether to stop:
    // Yes ends it there, No goes on. While the question is open the worker waits and the line is quiet.
    bool stopping = false;
    bool pausing = false; // Stop was pressed; the question waits until the worker is held
    QString shown;        // the progress text shown last
    QPointer<QMessageBox> stopQuestion;
    const auto dropStopQuestion = [&stopQuestion] {
        if (stopQuestion) stopQuestion->done(QMessageBox::No);
        delete stopQuestion;
    };
    const auto askStop = [&] {
        progress.SetText(PausedText());
        stopQuestion = new QMessageBox(QMessageBox::Question, QStringLiteral("Tavik Programmer"),
                                       StopQuestionText(), QMessageBox::Yes | QMessageBox::No, &progress);
        stopQuestion->setDefaultButton(QMessageBox::Yes);
        stopQuestion->setEscapeButton(QMessageBox::No);
        QObject::connect(stopQuestion, &QMessageBox::finished, &progress, [&](int answer) {
            // Answered: a later Stop asks again.
            stopQuestion->deleteLater();
            stopQuestion = nullptr;
            pausing = false;
            if (stopping || unit->IsTransEnd()) return;
            if (answer == QMessageBox::Yes) {
                stopping = true;
                unit->StopTransfer();
                progress.SetText(QObject::tr("Stopping the transfer ..."));
            } else {
                unit->ResumeTransfer();
                shown.clear(); // the paused text gives way to the progress again
            }
        });
        stopQuestion->open();
    };
    progress.SetEscapeHandler([&] {
        if (stopping || pausing || stopQuestion || unit->IsTransEnd()) return;
        pausing = true;
        unit->PauseTransfer();
        progress.SetText(PausingText());
    });
    // The retry question takes the place of a stop question that was opened meanwhile; it goes on unpaused.
    QMetaObject::Connection retryShown;
    if (m_pPrompt)
        retryShown = QObject::connect(m_pPrompt, &CUpDownPrompt::questionAsked, &progress, dropStopQuestion);

    // Poll until the worker has ended, not merely until the count reached the total: the declared totals
    // differ from the bytes moved, and the main window must stay disabled while the worker runs.
    for (;;) {
        const bool ended = unit->IsTransEnd() != 0;
        const unsigned long count = unit->GetCurSendedNumBytes();
        if (ended) break;
        // The question only once the worker waits between two blocks: from then on the line is quiet.
        if (pausing && !stopQuestion && unit->IsTransferHeld()) askStop();
        // An upload knows how much it writes once it has read the unit.
        if (const int now =
                static_cast<int>(std::min<unsigned long>(unit->GetTotalTransBytes(direction), 0x7FFFFFFF));
            now != total && now > 0) {
            total = now;
            progress.SetRange(0, total, 1);
        }
        if (!pausing && !stopQuestion && !stopping && count < static_cast<unsigned long>(total)) {
            const std::string title = unit->GetTransTitle();
            // Between two setup types none is being transferred: keep the last text.
            if (!title.empty()) {
                const QString text = ProgressText(direction, FromCp1252(title));
                if (text != shown) {
                    progress.SetText(text);
                    shown = text;
                }
            }
        }
        progress.SetPos(static_cast<int>(std::min<unsigned long>(count, static_cast<unsigned long>(total))));
        progress.WaitAndPump(kPollMs);
    }
    dropStopQuestion();
    QObject::disconnect(retryShown);
    unit->JoinWorker();
    if (unit->GetTransferResult()) progress.SetPos(total);

    if (m_pPrompt) m_pPrompt->SetParentWindow(nullptr);
    progress.DestroyWindow();
    return 0;
}
