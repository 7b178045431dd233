#include "ui/CProgressWnd.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void SaveProfilePosition(int x, int y) {
    QSettings settings(QStringLiteral("Tavik"), QStringLiteral("Tavik Programmer"));
    settings.setValue(QStringLiteral("Settings/X"), x);
    settings.setValue(QStringLiteral("Settings/Y"), y);
    settings.sync();
}

QPoint ProfilePosition() {
    QSettings settings(QStringLiteral("Tavik"), QStringLiteral("Tavik Programmer"));
    return {settings.value(QStringLiteral("Settings/X"), -1).toInt(),
            settings.value(QStringLiteral("Settings/Y"), -1).toInt()};
}

class TransferProgressWnd : public ::testing::Test {
protected:
    TransferProgressWnd() { SaveProfilePosition(-1, -1); }
    ~TransferProgressWnd() override { SaveProfilePosition(-1, -1); }
};

} // namespace

TEST_F(TransferProgressWnd, TitleCarriesTheWholePercentageAndChangesOnlyWithIt) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.SetRange(0, 200);
    QSignalSpy titles(&wnd, &QWidget::windowTitleChanged);
    wnd.SetPos(1);
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Progress [0%]"));
    wnd.SetPos(2);
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Progress [1%]"));
    wnd.SetPos(3);
    EXPECT_EQ(titles.count(), 2) << "1.5 % is still 1 %";
    wnd.SetPos(90);
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Progress [45%]"));
    EXPECT_EQ(wnd.GetProgressBar()->value(), 90);
}

TEST_F(TransferProgressWnd, EmptyRangeShowsZeroPercent) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.SetRange(0, 0, 1);
    wnd.SetPos(5);
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Progress [0%]"));
}

TEST_F(TransferProgressWnd, PositionStaysWithinTheRangeAndSteps) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.SetRange(0, 1000, 10);
    EXPECT_EQ(wnd.SetPos(1500), 0);
    EXPECT_EQ(wnd.GetPos(), 1000);
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Progress [100%]"));
    wnd.SetPos(-5);
    EXPECT_EQ(wnd.GetPos(), 0);
    wnd.StepIt();
    wnd.OffsetPos(5);
    EXPECT_EQ(wnd.GetPos(), 15);
    EXPECT_EQ(wnd.SetStep(3), 10);
    wnd.StepIt();
    EXPECT_EQ(wnd.GetProgressBar()->value(), 18);
    wnd.SetText(QStringLiteral("Uploading General data ..."));
    wnd.Clear();
    EXPECT_EQ(wnd.GetText(), QString());
    EXPECT_EQ(wnd.GetPos(), 0);
}

TEST_F(TransferProgressWnd, ModalWindowDisablesTheMainWindowUntilDestroyed) {
    QMainWindow main;
    main.show();
    CProgressWnd wnd;
    ASSERT_TRUE(wnd.Create(&main, QStringLiteral("Progress")));
    ASSERT_TRUE(wnd.GoModal());
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(wnd.isEnabled()) << "the progress window still takes Escape";
    EXPECT_TRUE(wnd.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &wnd) << "not even a close request reaches the main window";
    wnd.DestroyWindow();
    EXPECT_TRUE(main.isEnabled());
    EXPECT_FALSE(wnd.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(TransferProgressWnd, PositionIsSavedAndRestoredWhenOnAScreen) {
    {
        CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
        wnd.move(30, 40);
        wnd.DestroyWindow();
    }
    // The inside of the window is kept, so that a title bar cannot make it creep: five transfers later it
    // is still where it was.
    const QPoint inside = ProfilePosition();
    for (int transfer = 0; transfer < 5; ++transfer) {
        CProgressWnd again(nullptr, QStringLiteral("Progress"));
        EXPECT_EQ(again.pos(), QPoint(30, 40));
        again.DestroyWindow();
        EXPECT_EQ(ProfilePosition(), inside);
    }
}

TEST_F(TransferProgressWnd, PositionOffEveryScreenIsCentred) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    SaveProfilePosition(screen.right() + 5000, 10);
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    EXPECT_NE(QGuiApplication::screenAt(wnd.pos()), nullptr);
    EXPECT_NEAR(wnd.frameGeometry().center().x(), screen.center().x(), 2);
    SaveProfilePosition(-300, -300);
    CProgressWnd other(nullptr, QStringLiteral("Progress"));
    EXPECT_NE(QGuiApplication::screenAt(other.pos()), nullptr);
}

TEST_F(TransferProgressWnd, EscapeCancelsAndPeekAndPumpThenReturnsAtOnce) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    ASSERT_TRUE(wnd.PeekAndPump(true));
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_TRUE(wnd.GetCancelled());
    EXPECT_FALSE(wnd.isVisible());
    bool handled = false;
    QTimer::singleShot(0, &wnd, [&handled] { handled = true; });
    EXPECT_FALSE(wnd.PeekAndPump(true));
    EXPECT_FALSE(handled) << "a cancelled window handles nothing in PeekAndPump";
}

TEST_F(TransferProgressWnd, EscapeIgnoredWhenNotAskedFor) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.PeekAndPump(false);
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_FALSE(wnd.GetCancelled());
}

TEST_F(TransferProgressWnd, EscapeHandlerAndWindowCloseAskInsteadOfCancelling) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    int asked = 0;
    wnd.SetEscapeHandler([&asked] { ++asked; });
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_FALSE(wnd.close()) << "the window manager's close is refused";
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(wnd.GetCancelled());
    EXPECT_TRUE(wnd.isVisible());
}

TEST_F(TransferProgressWnd, WaitAndPumpHandlesEventsEvenAfterCancel) {
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.OnCancel();
    int handled = 0;
    QTimer::singleShot(0, &wnd, [&handled] { ++handled; });
    EXPECT_FALSE(wnd.WaitAndPump(20));
    EXPECT_EQ(handled, 1);
}
