// The dialogs and the progress window of a transfer, each on its own; TransferWithUnitTest runs them
// together against the simulated unit.
#include "TransferTestHelpers.h"

#include "ui/transfer/CProgressWnd.h"
#include "ui/transfer/CUpDown.h"
#include "ui/transfer/CUpDownPrompt.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using transfer_test::PumpUntil;
using transfer_test::ScriptedUser;

namespace {} // namespace

// The title carries the whole percentage of the position, clamped to the range, and changes only with it.
TEST(TransferProgressWnd, TitleCarriesTheWholePercentage) {
    const struct {
        int upper, pos;
        const char* title;
        int bar;
    } rows[] = {{200, 1, "Progress [0%]", 1},    {200, 2, "Progress [1%]", 2},
                {200, 90, "Progress [45%]", 90}, {1000, 1500, "Progress [100%]", 1000},
                {1000, -5, "Progress [0%]", 0},  {0, 5, "Progress [0%]", 0}};
    for (const auto& row : rows) {
        CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
        wnd.SetRange(0, row.upper, 1);
        wnd.SetPos(row.pos);
        EXPECT_EQ(wnd.windowTitle(), QLatin1String(row.title)) << row.pos << " of " << row.upper;
        EXPECT_EQ(wnd.GetProgressBar()->value(), row.bar) << row.pos << " of " << row.upper;
    }
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.SetRange(0, 200);
    QSignalSpy titles(&wnd, &QWidget::windowTitleChanged);
    for (int pos : {1, 2, 3})
        wnd.SetPos(pos);
    EXPECT_EQ(titles.count(), 2) << "1.5 % is still 1 %";
}

// With a handler (a transfer's stop question) Stop, Escape and the window manager's close ask it; without
// one, Escape cancels, and a cancelled window still handles events while it waits, so a transfer's loop can
// end.
TEST(TransferProgressWnd, EscapeAsksTheHandlerOrCancels) {
    CProgressWnd asking(nullptr, QStringLiteral("Progress"));
    int asked = 0;
    asking.SetEscapeHandler([&asked] { ++asked; });
    QTest::keyClick(&asking, Qt::Key_Escape);
    EXPECT_FALSE(asking.close()) << "the window manager's close is refused";
    QTest::mouseClick(asking.GetStopButton(), Qt::LeftButton);
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(asking.GetStopButton()->geometry().right() < asking.width() &&
                asking.GetStopButton()->geometry().left() > asking.GetProgressBar()->geometry().right())
        << "Stop sits beside the bar, inside the window";
    EXPECT_FALSE(asking.GetCancelled());
    EXPECT_TRUE(asking.isVisible());

    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    ASSERT_TRUE(wnd.PeekAndPump(true));
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_TRUE(wnd.GetCancelled());
    EXPECT_FALSE(wnd.isVisible());
    int handled = 0;
    QTimer::singleShot(0, &wnd, [&handled] { ++handled; });
    EXPECT_FALSE(wnd.PeekAndPump(true));
    EXPECT_EQ(handled, 0) << "a cancelled window handles nothing in PeekAndPump";
    EXPECT_FALSE(wnd.WaitAndPump(20));
    EXPECT_EQ(handled, 1);
}

// The worker asks on its own thread; the dialog runs on the window thread and the worker waits for it.
// Closing the prompt frees a waiting worker.
TEST(TransferRetryDialog, WorkerWaitsForTheAnswerOnTheWindowThreadOrAClose) {
    CUpDownPrompt prompt;
    QThread* dialogThread = nullptr;
    QStringList shown;
    std::atomic<int> answered{0};
    bool answeredBeforeClick = true;
    ScriptedUser user;
    user.onDialog = [&](QWidget* dialog) {
        auto* upDown = qobject_cast<CUpDown*>(dialog);
        ASSERT_NE(upDown, nullptr);
        dialogThread = QThread::currentThread();
        shown = QStringList{upDown->windowTitle(), upDown->GetMessage(), upDown->GetReason(),
                            upDown->GetRetryButton()->text(), upDown->GetCancelButton()->text()};
        QTimer::singleShot(30, upDown, [&, upDown] {
            answeredBeforeClick = answered.load() != 0;
            upDown->GetRetryButton()->click();
        });
    };
    bool retry = false;
    std::thread worker([&] {
        retry = prompt.AskRetry("Error to download Physical Input data", "no answer (message 64, block 3)");
        answered = 1;
    });
    EXPECT_TRUE(PumpUntil([&] { return answered.load() != 0; }));
    worker.join();
    EXPECT_TRUE(retry);
    EXPECT_FALSE(answeredBeforeClick);
    EXPECT_EQ(dialogThread, QApplication::instance()->thread());
    EXPECT_EQ(shown, (QStringList{"Upload/Download", "Error to download Physical Input data",
                                  "no answer (message 64, block 3)", "Retry", "Cancel"}));

    // Closing (the window thread busy elsewhere, never showing the dialog) answers Cancel, now and later.
    user.onDialog = [](QWidget*) { ADD_FAILURE() << "a dialog after Close"; };
    retry = true;
    std::thread waiting([&] { retry = prompt.AskRetry("Error to upload General data"); });
    QThread::msleep(50);
    prompt.Close();
    waiting.join();
    EXPECT_FALSE(retry);
    EXPECT_FALSE(prompt.AskRetry("Error to upload General data"));
    QApplication::processEvents();
}
