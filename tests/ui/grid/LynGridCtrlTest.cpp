#include "ui/grid/CLynGridCtrl.h"
#include "ui/grid/CLynGridModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {
struct Notice {
    int code, row, col;
    bool pasting;
};

// A 4 x 4 grid with a fixed header row and column: column 1 editable, 2 a list, 3 read-only.
class GridTest : public ::testing::Test {
protected:
    GridTest() {
        grid.SetRowCount(4);
        grid.SetColumnCount(4);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        for (int row = 1; row < 4; ++row) {
            grid.SetCellType(row, 1, CLynGridCtrl::GVET_EDIT);
            grid.SetCellType(row, 2, CLynGridCtrl::GVET_LIST);
            grid.FillListItems(row, 2, {QStringLiteral("OFF"), QStringLiteral("ON")});
            grid.SetItemText(row, 2, QStringLiteral("OFF"));
            grid.SetCellType(row, 3, CLynGridCtrl::GVET_READONLY);
            grid.SetItemText(row, 3, QStringLiteral("ro"));
        }
        QObject::connect(&grid, &CLynGridCtrl::notify, [this](int code, int row, int col) {
            notices.push_back({code, row, col, grid.GetPastMode() != 0});
        });
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Notice& notice : notices)
            codes.push_back(notice.code);
        return codes;
    }

    CLynGridCtrl grid{nullptr, 500};
    std::vector<Notice> notices;
};
constexpr int kBegin = CLynGridCtrl::GVN_BEGINLABELEDIT;
constexpr int kEnd = CLynGridCtrl::GVN_ENDLABELEDIT;
} // namespace

// Header and read-only cells take no edit; a background word has red in its low byte, its top byte set
// means none.
TEST_F(GridTest, HeaderAndReadOnlyCellsTakeNoEdit) {
    EXPECT_EQ(grid.EditCell(0, 1, QStringLiteral("x")) + grid.EditCell(1, 3, QStringLiteral("x")), 0);
    EXPECT_TRUE(notices.empty());
    grid.SetItemBkColour(1, 3, 0x0000FF);
    EXPECT_EQ(grid.GetItemBkColour(1, 3), QColor(0xFF, 0, 0));
    grid.SetItemBkColour(1, 3, 0xFF000000UL);
    EXPECT_FALSE(grid.GetItemBkColour(1, 3).isValid());
}

// A list cell opens with one click on its arrow. A typed key opens the cell's editor (a list stays shut):
// a text takes as many characters as its length allows, a letter picks a list item, a list that takes new
// values keeps the typed text; Enter ends the edit with one end-edit notice, Escape without one.
TEST_F(GridTest, KeyboardAndMouseEditing) {
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

    grid.SetItemText(2, 1, QStringLiteral("old"));
    grid.SetTextLen(2, 1, 4);
    grid.FillListItems(3, 2, {QStringLiteral("OFF"), QStringLiteral("ON"), QStringLiteral("AUTO")});
    grid.SetListEditable(2, 2, 1);
    for (const auto& [row, col, typed, key, taken, codes] :
         {std::tuple{2, 1, "4bcdefg", Qt::Key_Escape, "old", std::vector<int>{kBegin}},
          std::tuple{2, 1, "4bcdefg", Qt::Key_Return, "4bcd", std::vector<int>{kBegin, kEnd}},
          std::tuple{3, 2, "a", Qt::Key_Return, "AUTO", std::vector<int>{kBegin, kEnd}},
          std::tuple{2, 2, "psi", Qt::Key_Return, "psi", std::vector<int>{kBegin, kEnd}}}) {
        notices.clear();
        grid.SetFocusCell(row, col);
        grid.setFocus();
        QTest::keyClick(&grid, typed[0]);
        QApplication::processEvents(); // a person types slower than the editor opens
        QWidget* editor = grid.indexWidget(grid.currentIndex());
        ASSERT_NE(editor, nullptr) << typed;
        if ((combo = qobject_cast<QComboBox*>(editor))) {
            EXPECT_FALSE(combo->view()->isVisible()) << "typing does not open the list";
            if (combo->lineEdit()) editor = combo->lineEdit();
        }
        QWidget* keys = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : editor;
        QTest::keyClicks(keys, QLatin1String(typed + 1));
        QTest::keyClick(keys, key);
        QApplication::processEvents();
        EXPECT_EQ(grid.GetItemText(row, col), QLatin1String(taken));
        EXPECT_EQ(Codes(), codes) << typed;
        EXPECT_FALSE(notices.back().pasting);
        EXPECT_EQ(grid.indexWidget(grid.currentIndex()), nullptr) << "the editor is closed";
    }
}

// A paste sends one end-edit per cell, in paste mode, from the focus cell on; read-only cells are skipped
// unless they have a popup; what lies beyond the grid is dropped.
TEST_F(GridTest, PasteSendsOneEndEditPerCell) {
    grid.SetCellPopup(3, 3, 1);
    const struct {
        int row;
        int col;
        const char* text;
        std::vector<std::pair<int, int>> cells;
        const char* shown; // at the last cell
    } rows[] = {
        {1, 1, "a\tON\tz\r\nb\tOFF\tz\r\n", {{1, 1}, {1, 2}, {2, 1}, {2, 2}}, "OFF"},
        {3, 2, "ON\tBH\textra\nlost\n", {{3, 2}, {3, 3}}, "BH"},
    };
    for (const auto& row : rows) {
        notices.clear();
        grid.SetFocusCell(row.row, row.col);
        grid.PasteText(QLatin1String(row.text));
        std::vector<std::pair<int, int>> cells;
        for (const Notice& notice : notices) {
            EXPECT_EQ(notice.code, kEnd);
            EXPECT_TRUE(notice.pasting);
            cells.emplace_back(notice.row, notice.col);
        }
        EXPECT_EQ(cells, row.cells) << row.text;
        EXPECT_EQ(grid.GetItemText(cells.back().first, cells.back().second), QLatin1String(row.shown));
        EXPECT_EQ(grid.GetPastMode(), 0);
    }
    EXPECT_EQ(grid.GetItemText(1, 2), QStringLiteral("ON"));
    EXPECT_EQ(grid.GetItemText(2, 1), QStringLiteral("b"));
    EXPECT_EQ(grid.GetItemText(1, 3), QStringLiteral("ro"));
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

// One click opens a list (released in the cell it was pressed in); a drag or Shift only selects. After
// Escape, Enter keeps the value and opens nothing; the next Enter opens the cell again.
TEST_F(GridTest, OneClickOpensAListAndEnterAfterEscapeDoesNot) {
    grid.resize(400, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const QPoint list = grid.visualRect(grid.GetModel()->IndexOf(1, 2)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, list);
    EXPECT_TRUE(notices.empty()) << "Shift+click selects";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, list);
    EXPECT_EQ(Codes(), std::vector<int>{kBegin});
    EXPECT_NE(grid.indexWidget(grid.currentIndex()), nullptr) << "the list's editor is open";
    grid.CommitOpenEditor();
    notices.clear();
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Escape);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_TRUE(notices.empty());
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(Codes(), std::vector<int>{kBegin});
    grid.CommitOpenEditor();
}
