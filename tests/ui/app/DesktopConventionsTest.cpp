// What people who know other desktop programs expect of the main window: the usual keys, typing into a
// list, messages that wait for the end of a paste and for the stored value, copies without padding, file
// dialogs that start where the documents are, and a window that comes back where it was left.
#include "ViewCheck.h"

#include "model/CScriptedPrompt.h"
#include "model/Messages.h"
#include "sheets/alarms/AlarmTables.h"
#include "sheets/general/GeneralTables.h"
#include "ui/app/AppProfile.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CTavikApp.h"
#include "ui/app/CommandIds.h"
#include "unit/CTavikDoc.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
class QuietApp : public CTavikApp {
public:
    QString saveName;

protected:
    int AskSaveChanges(const QString&) override { return QMessageBox::Discard; }
    QString AskOpenFileName() override { return {}; }
    QString AskSaveFileName(const QString&) override { return saveName; }
};

// Remembers what a cell of the grid showed at the moment each message box opened.
class CellAtMessage : public IPrompt {
public:
    CellAtMessage(CLynGridCtrl& grid, int row, int col)
        : m_grid(grid), m_row(row), m_col(col), m_pPrevious(SetPrompt(this)) {}
    ~CellAtMessage() override { SetPrompt(m_pPrevious); }
    void ShowMessage(const std::string&, Icon) override { shown << m_grid.GetItemText(m_row, m_col); }
    bool AskOkCancel(const std::string&) override { return true; }
    QStringList shown;

private:
    CLynGridCtrl& m_grid;
    int m_row, m_col;
    IPrompt* m_pPrevious;
};

class Conventions : public ::testing::Test {
protected:
    Conventions() {
        app = std::make_unique<QuietApp>();
        EXPECT_TRUE(app->InitInstance({QStringLiteral("tavik")}, false));
        for (int i = 0; i < 4; ++i)
            View(i).SetReportRunner([this](const CTavikView::PasteReport& report) {
                reports.push_back(report);
                prompt.ShowMessage(report.message.toStdString(), IPrompt::Warning);
            });
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CTavikView& View(int index) { return *Frame().GetTavikView(index); }
    CLynGridCtrl& Grid(int index) { return *View(index).GetGrid(); }
    IBrantSetupType& Setup(int index) { return *View(index).GetSetup(); }
    std::string Value(int setup, int row, int col) {
        return Setup(setup).GetDataSheet()->GetProperty(row, col)->GetDataAsString();
    }
    // IN 11 as a 20 mA input, watched by alarm 1.
    void ActivateAlarm() {
        ASSERT_TRUE(Grid(1).EditCell(1, 1, QStringLiteral("20 mA")));
        View(3).UpdateAllRows();
        ASSERT_TRUE(Grid(3).EditCell(1, ALM_COL_INPREF, QStringLiteral("IN 11")));
        prompt.Clear();
    }
    void ShowActive() {
        Frame().show();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }

    QTemporaryDir dir;
    std::vector<CTavikView::PasteReport> reports;
    CScriptedPrompt prompt{true};
    std::unique_ptr<QuietApp> app;
};
} // namespace

// Ctrl+A selects the whole sheet (Save As has Ctrl+Shift+S and F12); Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn
// and Ctrl+PgUp go through the sheets, around at the ends. No two commands share a key.
TEST_F(Conventions, TheUsualKeys) {
    const QList<QKeySequence> saveAs = Frame().GetAction(ID_FILE_SAVE_AS)->shortcuts();
    EXPECT_TRUE(saveAs.contains(QKeySequence(QStringLiteral("Ctrl+Shift+S"))) &&
                saveAs.contains(QKeySequence(Qt::Key_F12)));
    QSet<QString> keys;
    for (QAction* action : Frame().actions())
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_FALSE(keys.contains(key.toString())) << key.toString().toStdString();
            keys.insert(key.toString());
        }

    ShowActive();
    Grid(0).setFocus();
    QTest::keyClick(&Grid(0), Qt::Key_A, Qt::ControlModifier);
    int minRow = 0, minCol = 0, maxRow = 0, maxCol = 0;
    ASSERT_TRUE(Grid(0).GetSelRange(minRow, minCol, maxRow, maxCol));
    EXPECT_EQ(QList<int>({minRow, minCol, maxRow, maxCol}),
              QList<int>({1, 1, Grid(0).GetRowCount() - 1, Grid(0).GetColumnCount() - 1}));

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } steps[] = {{Qt::Key_Tab, Qt::ControlModifier, 1},
                 {Qt::Key_PageDown, Qt::ControlModifier, 2},
                 {Qt::Key_PageDown, Qt::ControlModifier, 3},
                 {Qt::Key_Tab, Qt::ControlModifier, 0},
                 {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 3},
                 {Qt::Key_PageUp, Qt::ControlModifier, 2}};
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        EXPECT_EQ(Frame().GetActiveIndex(), step.tab) << step.key;
        EXPECT_EQ(Frame().GetTabCtrl()->currentIndex(), step.tab);
    }
    Frame().hide();
}

// Typing into a list cell takes the text as a paste of it would be taken: two digits name an input, an
// item is found in any letter case and by its beginning.
TEST_F(Conventions, TypingIntoAListCell) {
    ActivateAlarm();
    ShowActive();
    Frame().SetActiveView(3);
    const struct {
        const char* typed;
        const char* stored;
    } entries[] = {{"11", "IN 11"}, {"off", "OFF"}, {"in 1", "IN 11"}, {"Of", "OFF"}};
    for (const auto& entry : entries) {
        Grid(3).SetFocusCell(1, ALM_COL_INPREF);
        Grid(3).setFocus();
        QTest::keyClick(&Grid(3), entry.typed[0]);
        QApplication::processEvents();
        auto* combo = qobject_cast<QComboBox*>(Grid(3).indexWidget(Grid(3).currentIndex()));
        ASSERT_TRUE(combo && combo->lineEdit())
            << entry.typed << ": a typed key opens a list that takes text";
        QTest::keyClicks(combo->lineEdit(), QLatin1String(entry.typed + 1));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(Value(3, 1, ALM_COL_INPREF), entry.stored) << entry.typed;
        EXPECT_TRUE(view_check::ShowsItsSheet(View(3))) << entry.typed;
    }
    Frame().hide();
}

// While a transfer holds the window (disabled), the rows look as they do outside one.
TEST_F(Conventions, RowsLookTheSameDuringATransfer) {
    ActivateAlarm();
    Frame().SetActiveView(3);
    Frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Grid(3).clearSelection();
    Grid(3).setCurrentIndex(QModelIndex());
    Frame().setFocus();
    const QImage outside = Grid(3).grab().toImage();
    Frame().setEnabled(false);
    const QImage during = Grid(3).grab().toImage();
    Frame().setEnabled(true);
    EXPECT_EQ(outside, during);
    Frame().hide();
}

// The help names every command of the menus, with its keys.
TEST_F(Conventions, TheHelpCoversEveryMenuCommand) {
    QFile file(QStringLiteral(":/tavik/help.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(file.readAll());
    int commands = 0;
    for (QAction* menu : Frame().menuBar()->actions())
        for (QAction* action : menu->menu()->actions()) {
            const int id = action->data().toInt();
            if (action->isSeparator() || (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) ||
                (!action->isEnabled() && id == 0))
                continue;
            QString name = action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
            if (name.endsWith(QLatin1String("...")))
                name.chop(3);
            else if (name.endsWith(QChar(0x2026))) // "Unit backups…"
                name.chop(1);
            ++commands;
            EXPECT_TRUE(help.contains(name)) << name.toStdString();
            for (const QKeySequence& key : action->shortcuts())
                EXPECT_TRUE(help.contains(key.toString(QKeySequence::PortableText)
                                              .replace(QStringLiteral("PgDown"), QStringLiteral("Page Down"))
                                              .replace(QStringLiteral("PgUp"), QStringLiteral("Page Up"))
                                              .replace(QStringLiteral("Backtab"), QStringLiteral("Tab"))))
                    << name.toStdString() << " " << key.toString().toStdString();
        }
    EXPECT_GE(commands, 25);
}

// A paste does not stop for a message box: what the sheet says while it takes the values (Block chosen
// while the General sheet's Block is off) is in the paste's report, the one thing shown.
TEST_F(Conventions, APastesMessagesAreInItsReport) {
    ActivateAlarm();
    ASSERT_EQ(Value(0, GEN_ROW_BLOCK, 1), "OFF");
    Grid(3).SetFocusCell(1, ALM_COL_FLAGS);
    QApplication::clipboard()->setText(QStringLiteral("hb"));
    View(3).OnEditPaste();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(prompt.Messages(), std::vector<std::string>{reports.front().message.toStdString()})
        << "the report is the one box";
    EXPECT_TRUE(std::any_of(reports.front().entries.begin(), reports.front().entries.end(),
                            [](const CTavikView::PasteReport::Entry& entry) {
                                return entry.what.toStdString() == LoadMessage(IDS_BLOCK_DISABLED);
                            }));
    EXPECT_EQ(Grid(3).GetItemText(1, ALM_COL_FLAGS), QStringLiteral("BH"));
}

// A refused value is gone from its cell when the message box opens: the cell shows the stored value, also
// for a value the sheet names in a box of its own and for a character the document cannot store.
TEST_F(Conventions, ARefusalsBoxOpensOverTheStoredValue) {
    const struct {
        int setup, row, col;
        const char* typed;
        const char* stored;
    } edits[] = {{0, GEN_ROW_DEVICE_NUMBER, 1, "99", "1"}, {0, GEN_ROW_DEVICE_NUMBER, 1, "7\u03A9", "1"}};
    for (const auto& edit : edits) {
        CellAtMessage watch(Grid(edit.setup), edit.row, edit.col);
        Grid(edit.setup).EditCell(edit.row, edit.col, QString::fromUtf8(edit.typed));
        EXPECT_EQ(watch.shown, QStringList{QString::fromUtf8(edit.stored)}) << edit.typed;
    }
}

// Copy gives the values: no blanks a cell is padded with, and an empty text copies as empty.
TEST_F(Conventions, CopyGivesValuesWithoutPadding) {
    ActivateAlarm();
    Setup(3).SetParm(1, ALM_COL_TEXT, "PRESS HI        ");
    Setup(3).SetParm(2, ALM_COL_TEXT, "                ");
    View(3).UpdateAllRows();
    ASSERT_TRUE(Grid(3).SetSelectedRange(1, ALM_COL_TEXT, 2, ALM_COL_TEXT));
    View(3).OnEditCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("PRESS HI\n\n"));
}

// Open and Save As start in the document's folder, else the last folder used, else Documents; never in
// the working directory.
TEST_F(Conventions, FileDialogsStartWhereTheDocumentsAre) {
    std::unique_ptr<QSettings>(NewAppProfile())->remove(QStringLiteral("Settings/LastFolder"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(app->GetDialogFolder(), documents.isEmpty() ? QDir::homePath() : documents);
    QDir(dir.path()).mkdir(QStringLiteral("site"));
    app->saveName = dir.filePath(QStringLiteral("site/site2"));
    ASSERT_TRUE(app->OnFileSaveAs());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("site/site2.zmg"))));
    EXPECT_EQ(app->GetDialogFolder(), dir.filePath(QStringLiteral("site")));
    Frame().OnFileNew(); // no document: the folder last used
    EXPECT_EQ(app->GetDialogFolder(), dir.filePath(QStringLiteral("site")));
}

// The window comes back with its size, place and maximized state; one left on a screen that is gone comes
// back on a screen that is there.
TEST_F(Conventions, TheWindowComesBackAsItWasLeft) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(screen.left() + 40, screen.top() + 30, screen.width() / 2, screen.height() / 2);
    Frame().setGeometry(placed);
    Frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().close();
    app = std::make_unique<QuietApp>();
    ASSERT_TRUE(app->InitInstance({QStringLiteral("tavik")}, false));
    EXPECT_EQ(Frame().geometry().size(), placed.size());
    EXPECT_EQ(Frame().geometry().topLeft(), placed.topLeft());
    EXPECT_FALSE(Frame().windowState() & Qt::WindowMaximized);

    Frame().showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().close();
    app = std::make_unique<QuietApp>();
    ASSERT_TRUE(app->InitInstance({QStringLiteral("tavik")}, false));
    EXPECT_TRUE(Frame().windowState() & Qt::WindowMaximized);

    Frame().showNormal();
    Frame().setGeometry(QRect(screen.right() + 3000, screen.bottom() + 3000, 600, 400));
    Frame().close();
    app = std::make_unique<QuietApp>();
    ASSERT_TRUE(app->InitInstance({QStringLiteral("tavik")}, false));
    EXPECT_TRUE(screen.intersects(Frame().geometry())) << Frame().geometry().x();
}
