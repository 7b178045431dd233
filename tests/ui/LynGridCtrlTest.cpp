#include "ui/CLynGridCtrl.h"
#include "ui/CLynGridModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {
struct Notice {
    int code;
    int row;
    int col;
    bool pasting;
    QString text;
};

// A 4 x 4 grid with a fixed header row and column: column 1 editable, 2 a list, 3 read-only.
class GridTest : public ::testing::Test {
protected:
    GridTest() {
        grid.SetRowCount(4);
        grid.SetColumnCount(4);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        grid.SetItemText(0, 0, QStringLiteral("Name"));
        for (int col = 1; col < 4; ++col)
            grid.SetItemText(0, col, QStringLiteral("C%1").arg(col));
        for (int row = 1; row < 4; ++row) {
            grid.SetItemText(row, 0, QStringLiteral("R%1").arg(row));
            grid.SetCellType(row, 1, CLynGridCtrl::GVET_EDIT);
            grid.SetCellType(row, 2, CLynGridCtrl::GVET_LIST);
            grid.FillListItems(row, 2, {QStringLiteral("OFF"), QStringLiteral("ON")});
            grid.SetItemText(row, 2, QStringLiteral("OFF"));
            grid.SetCellType(row, 3, CLynGridCtrl::GVET_READONLY);
            grid.SetItemText(row, 3, QStringLiteral("ro"));
        }
        QObject::connect(&grid, &CLynGridCtrl::notify, [this](int code, int row, int col) {
            notices.push_back({code, row, col, grid.GetPastMode() != 0, grid.GetItemText(row, col)});
        });
    }

    CLynGridCtrl grid{nullptr, 500};
    std::vector<Notice> notices;
};
} // namespace

TEST_F(GridTest, HeaderRowAndColumnAreHeadersNotCells) {
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->columnCount(), 3);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("C1"));
    EXPECT_EQ(grid.model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("R3"));
    EXPECT_TRUE(grid.IsCellFixed(0, 2));
    EXPECT_TRUE(grid.IsCellFixed(2, 0));
    EXPECT_EQ(grid.EditCell(0, 1, QStringLiteral("x")), 0);
    EXPECT_EQ(grid.EditCell(1, 0, QStringLiteral("x")), 0);
    EXPECT_TRUE(notices.empty());
}

TEST_F(GridTest, CellTypesDecideWhatCanBeEdited) {
    const auto flags = [this](int row, int col) {
        return grid.model()->flags(grid.GetModel()->IndexOf(row, col));
    };
    EXPECT_TRUE(flags(1, 1) & Qt::ItemIsEditable);
    EXPECT_TRUE(flags(1, 2) & Qt::ItemIsEditable);
    EXPECT_FALSE(flags(1, 3) & Qt::ItemIsEditable);
    EXPECT_EQ(grid.SetCellType(1, 1, 2), 0) << "only the types 0, 1 and 4 exist";
    EXPECT_EQ(grid.GetCellType(1, 1), CLynGridCtrl::GVET_EDIT);
}

TEST_F(GridTest, BackgroundWordIsRedInTheLowByteAndDefaultMeansNone) {
    grid.SetItemBkColour(1, 3, 0xD3D3D3);
    EXPECT_EQ(grid.GetItemBkColour(1, 3), QColor(0xD3, 0xD3, 0xD3));
    grid.SetItemBkColour(1, 3, 0x0000FF);
    EXPECT_EQ(grid.GetItemBkColour(1, 3), QColor(0xFF, 0, 0));
    grid.SetItemBkColour(1, 3, 0xFF000000UL);
    EXPECT_FALSE(grid.GetItemBkColour(1, 3).isValid());
}

TEST_F(GridTest, TypingAndEnterSendBeginThenEndEdit) {
    grid.show();
    grid.SetFocusCell(2, 1);
    grid.setFocus();
    QTest::keyClicks(&grid, QStringLiteral("4"));
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("2"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].code, CLynGridCtrl::GVN_BEGINLABELEDIT);
    EXPECT_EQ(notices[1].code, CLynGridCtrl::GVN_ENDLABELEDIT);
    EXPECT_EQ(std::tie(notices[1].row, notices[1].col), std::make_tuple(2, 1));
    EXPECT_EQ(notices[1].text, QStringLiteral("42"));
    EXPECT_FALSE(notices[1].pasting);
}

TEST_F(GridTest, EscapeCancelsWithoutEndEdit) {
    grid.show();
    grid.SetItemText(1, 1, QStringLiteral("old"));
    grid.SetFocusCell(1, 1);
    QTest::keyClicks(&grid, QStringLiteral("n"));
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].code, CLynGridCtrl::GVN_BEGINLABELEDIT);
    EXPECT_EQ(grid.GetItemText(1, 1), QStringLiteral("old"));
}

// A list cell opens with one click on its arrow; a typed letter picks an item that one Enter takes; a list
// that takes new values keeps the typed text.
TEST_F(GridTest, ListCellsOpenOnTheArrowAndTakeWhatIsTyped) {
    grid.resize(420, 200);
    grid.show();
    const QRect cell = grid.visualRect(grid.GetModel()->IndexOf(1, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 4, cell.center().y()));
    QApplication::processEvents();
    auto* combo = grid.findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr) << "one click on the arrow edits the cell";
    EXPECT_TRUE(combo->view()->isVisible()) << "and opens its list";
    combo->hidePopup();
    QTest::keyClick(combo, Qt::Key_Escape);
    QApplication::processEvents();

    grid.FillListItems(3, 2, {QStringLiteral("OFF"), QStringLiteral("ON"), QStringLiteral("AUTO")});
    grid.SetListEditable(2, 2, 1);
    struct Case {
        int row;
        QString typed;
        QString taken;
    };
    for (const Case& c : {Case{3, QStringLiteral("a"), QStringLiteral("AUTO")},
                          Case{2, QStringLiteral("psi"), QStringLiteral("psi")}}) {
        notices.clear();
        grid.SetFocusCell(c.row, 2);
        grid.setFocus();
        QTest::keyClick(&grid, c.typed[0].toLatin1());
        QApplication::processEvents(); // a person types slower than the editor opens
        combo = qobject_cast<QComboBox*>(grid.indexWidget(grid.currentIndex()));
        ASSERT_NE(combo, nullptr) << c.typed.toStdString();
        EXPECT_FALSE(combo->view()->isVisible()) << "typing does not open the list";
        QWidget* keys = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                        : combo->lineEdit()               ? static_cast<QWidget*>(combo->lineEdit())
                                                          : combo;
        QTest::keyClicks(keys, c.typed.mid(1));
        QTest::keyClick(keys, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(grid.GetItemText(c.row, 2), c.taken);
        ASSERT_EQ(notices.size(), 2u) << "one Enter ends the edit";
        EXPECT_EQ(notices[1].code, CLynGridCtrl::GVN_ENDLABELEDIT);
        EXPECT_EQ(grid.indexWidget(grid.currentIndex()), nullptr) << "the editor is closed";
    }
}

TEST_F(GridTest, TextLengthLimitsTheEditor) {
    grid.show();
    grid.SetTextLen(1, 1, 4);
    grid.SetFocusCell(1, 1);
    QTest::keyClicks(&grid, QStringLiteral("a"));
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("bcdefg"));
    EXPECT_EQ(editor->text(), QStringLiteral("abcd"));
}

TEST_F(GridTest, PasteSendsOneEndEditPerCellInPasteModeAndSkipsReadOnlyCells) {
    grid.SetFocusCell(1, 1);
    grid.PasteText(QStringLiteral("a\tON\tz\r\nb\tOFF\tz\r\n"));
    ASSERT_EQ(notices.size(), 4u);
    for (const Notice& notice : notices) {
        EXPECT_EQ(notice.code, CLynGridCtrl::GVN_ENDLABELEDIT);
        EXPECT_TRUE(notice.pasting);
        EXPECT_NE(notice.col, 3);
    }
    EXPECT_EQ(grid.GetItemText(1, 2), QStringLiteral("ON"));
    EXPECT_EQ(grid.GetItemText(2, 1), QStringLiteral("b"));
    EXPECT_EQ(grid.GetItemText(1, 3), QStringLiteral("ro"));
    EXPECT_EQ(grid.GetPastMode(), 0);
}

TEST_F(GridTest, PasteReachesPopupCellsAndStopsAtTheGridEdge) {
    grid.SetCellPopup(3, 3, 1);
    grid.SetFocusCell(3, 2);
    grid.PasteText(QStringLiteral("ON\tBH\textra\nlost\n"));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(grid.GetItemText(3, 3), QStringLiteral("BH"));
}

TEST_F(GridTest, CopyGivesTabSeparatedRowsOfTheSelection) {
    grid.SetItemText(1, 1, QStringLiteral("a"));
    grid.SetItemText(2, 1, QStringLiteral("b"));
    ASSERT_TRUE(grid.SetSelectedRange(1, 1, 2, 2));
    grid.OnEditCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\tOFF\nb\tOFF\n"));
    int minRow = 0, minCol = 0, maxRow = 0, maxCol = 0;
    ASSERT_TRUE(grid.GetSelRange(minRow, minCol, maxRow, maxCol));
    EXPECT_EQ(std::make_tuple(minRow, minCol, maxRow, maxCol), std::make_tuple(1, 1, 2, 2));
}

TEST_F(GridTest, SelectAllCoversEveryCell) {
    grid.OnEditSelectAll();
    int minRow = 0, minCol = 0, maxRow = 0, maxCol = 0;
    ASSERT_TRUE(grid.GetSelRange(minRow, minCol, maxRow, maxCol));
    EXPECT_EQ(std::make_tuple(minRow, minCol, maxRow, maxCol), std::make_tuple(1, 1, 3, 3));
}

TEST_F(GridTest, PrintingSpreadsRowsOverPages) {
    grid.SetRowCount(200);
    for (int row = 4; row < 200; ++row)
        grid.SetItemText(row, 1, QString::number(row));
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("grid.pdf")));
    QPainter painter(&pdf);
    grid.SetColsToPrint(2);
    const int pages = grid.OnBeginPrinting(painter, QRect(0, 0, pdf.width(), pdf.height()));
    EXPECT_GT(pages, 1);
    EXPECT_EQ(grid.GetPrintPageCount(), pages);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) pdf.newPage();
        grid.OnPrint(painter, page);
    }
    grid.OnEndPrinting();
    painter.end();
    EXPECT_GT(QFileInfo(dir.filePath(QStringLiteral("grid.pdf"))).size(), 1000);
}

TEST_F(GridTest, ChangedCellsWidenTheirColumnAndNeverNarrowIt) {
    grid.FitChangedColumns();
    const int listWidth = grid.GetColumnWidth(2);
    const QString wide = QStringLiteral("A much longer text than any column holds");
    grid.SetItemText(3, 1, wide);
    grid.FitChangedColumns();
    EXPECT_GE(grid.GetColumnWidth(1), grid.fontMetrics().horizontalAdvance(wide));
    EXPECT_EQ(grid.GetColumnWidth(2), listWidth) << "an unchanged column keeps its width";
    const int wideWidth = grid.GetColumnWidth(1);
    grid.SetItemText(3, 1, QStringLiteral("x"));
    grid.FitChangedColumns();
    EXPECT_EQ(grid.GetColumnWidth(1), wideWidth);
}
