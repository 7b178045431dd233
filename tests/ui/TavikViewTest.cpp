#include "model/CScriptedPrompt.h"
#include "unit/CTavikDoc.h"
#include "model/Cp1252.h"
#include "model/IBrantSetupType.h"
#include "model/Messages.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CLynGridModel.h"
#include "ui/CPropertyDlg.h"
#include "ui/CTavikView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <utility>

namespace {
const std::string g_pasteMessage = "Erroneous values have been detected. Appropriate values will be used.";

// A new document with one view per setup type, ready as the main frame leaves them.
class ViewTest : public ::testing::Test {
protected:
    ViewTest() {
        doc.OnNewDocument();
        for (int i = 0; i < 4; ++i) {
            views[i] = std::make_unique<CTavikView>(&doc);
            views[i]->InitalizeView(i);
            views[i]->SetReady(true);
        }
        doc.SetModifiedFlag(0);
    }

    CLynGridCtrl& Grid(int setup) { return *views[setup]->GetGrid(); }
    IBrantSetupType& Setup(int setup) { return *views[setup]->GetSetup(); }
    std::string Value(int setup, int row, int col) {
        return Setup(setup).GetDataSheet()->GetProperty(row, col)->GetDataAsString();
    }
    // IN 11 as a 20 mA input showing 0 to 100, watched by alarm 1 (and alarm 2 when asked).
    void ActivateAlarms(int count = 1) {
        ASSERT_TRUE(Grid(1).EditCell(1, 1, QStringLiteral("20 mA")));
        Grid(1).EditCell(1, 6, QStringLiteral("100"));
        ASSERT_EQ(Value(1, 1, 1), "20 mA");
        views[3]->UpdateAllRows();
        for (int row = 1; row <= count; ++row) {
            Grid(3).EditCell(row, 1, QStringLiteral("IN 11"));
            ASSERT_EQ(Value(3, row, 1), "IN 11");
        }
        prompt.Clear();
    }
    std::string Flag(int row, int index) {
        CBrChnData* properties[CPropertyDlg::kMaxProperties] = {};
        int count = 0;
        Setup(3).GetPopupProperties(row, 9, properties, count);
        std::string value = index < count ? properties[index]->GetDataAsString() : std::string();
        for (int i = 0; i < count; ++i)
            delete properties[i];
        return value;
    }

    CTavikDoc doc;
    CScriptedPrompt prompt{false};
    std::unique_ptr<CTavikView> views[4];
};
} // namespace

TEST_F(ViewTest, GridShowsEverySheetInItsShape) {
    EXPECT_EQ(Grid(0).GetRowCount(), 15);
    EXPECT_EQ(Grid(0).GetColumnCount(), 2);
    EXPECT_EQ(Grid(1).GetRowCount(), 25);
    EXPECT_EQ(Grid(1).GetColumnCount(), 8);
    EXPECT_EQ(Grid(2).GetRowCount(), 8);
    EXPECT_EQ(Grid(3).GetRowCount(), 49);
    EXPECT_EQ(Grid(3).GetColumnCount(), 17);
    EXPECT_EQ(Grid(0).GetItemText(4, 0), QStringLiteral("Protocol"));
    EXPECT_EQ(Grid(0).GetItemText(4, 1), QStringLiteral("MODBUS"));
    EXPECT_EQ(Grid(3).GetItemText(10, 0), QStringLiteral("10 (A24)"));
    const int minimum = 6 * views[0]->fontMetrics().averageCharWidth();
    for (int col = 0; col < Grid(3).GetColumnCount(); ++col)
        EXPECT_GE(Grid(3).GetColumnWidth(col), minimum) << "column " << col;
}

TEST_F(ViewTest, CellsArePresentedByTheirItemsAndEditableFlag) {
    EXPECT_EQ(Grid(0).GetCellType(3, 1), CLynGridCtrl::GVET_EDIT); // device number
    EXPECT_EQ(Grid(0).GetCellType(4, 1), CLynGridCtrl::GVET_LIST); // protocol
    EXPECT_EQ(Grid(0).GetListItems(11, 1), (QStringList{"OFF", "+REF", "-REF"}));
    EXPECT_EQ(Grid(3).GetCellType(1, 10), CLynGridCtrl::GVET_READONLY); // mirror column
    EXPECT_EQ(Grid(3).GetItemBkColour(1, 10), QColor(0xD3, 0xD3, 0xD3));
    EXPECT_EQ(Grid(3).GetTextLen(1, 5), 10); // LCD text
    EXPECT_EQ(Grid(3).GetItemText(0, 3), QString::fromUtf8("<>±"));
    EXPECT_TRUE(Grid(1).GetListItems(1, 2).contains(QString::fromUtf8("°C")));
}

TEST_F(ViewTest, AnEditReachesValidateDataAndARefusalShowsTheMessage) {
    ASSERT_TRUE(Grid(0).EditCell(3, 1, QStringLiteral("99")));
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], LoadMessage(IDS_INVALID_VALUE));
    EXPECT_EQ(Value(0, 3, 1), "1");
    EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("1")) << "the grid shows the value that was kept";
    EXPECT_TRUE(doc.IsModified());

    prompt.Clear();
    Grid(0).EditCell(3, 1, QStringLiteral("7"));
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_EQ(Value(0, 3, 1), "7");
}

TEST_F(ViewTest, AnEditRedrawsOtherRowsTheSetupTypeChanged) {
    ActivateAlarms();
    EXPECT_EQ(Grid(3).GetItemText(1, 10), QStringLiteral("20 mA")) << "mirror of the referenced input";
    Grid(3).EditCell(1, 4, QStringLiteral("250"));
    EXPECT_EQ(Grid(3).GetItemText(1, 4), QStringLiteral("100")) << "set point clamped to the display range";
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], LoadMessage(IDS_OUT_OF_RANGE_NEAREST));
}

TEST_F(ViewTest, NotificationBeforeTheViewIsReadyChangesNothing) {
    views[0]->SetReady(false);
    Grid(0).EditCell(3, 1, QStringLiteral("7"));
    EXPECT_EQ(Value(0, 3, 1), "1");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(prompt.Log().empty());
}

TEST_F(ViewTest, PasteIntoASwitchedOffChannelReportsNothing) {
    Grid(1).SetFocusCell(2, 3);
    QApplication::clipboard()->setText(QStringLiteral("5\t1\t9\t2\n"));
    views[1]->OnEditPaste();
    EXPECT_TRUE(prompt.Log().empty());
    EXPECT_EQ(Value(1, 2, 3), "0");
}

TEST_F(ViewTest, RefusedPastedValuesInAnActiveChannelGiveOneMessage) {
    Grid(1).EditCell(1, 1, QStringLiteral("10 V"));
    prompt.Clear();
    Grid(1).SetFocusCell(1, 3);
    QApplication::clipboard()->setText(QStringLiteral("-1\t0\t12\n"));
    views[1]->OnEditPaste();
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], g_pasteMessage);
    EXPECT_EQ(Value(1, 1, 5), "10") << "the upper limit takes the nearest allowed value";
}

TEST_F(ViewTest, PastedLettersSetTheFlags) {
    ActivateAlarms();
    Grid(3).SetFocusCell(1, 9);
    QApplication::clipboard()->setText(QStringLiteral("BH"));
    views[3]->OnEditPaste();
    EXPECT_EQ(Flag(1, 0), "ON");
    EXPECT_EQ(Flag(1, 1), "OFF");
    EXPECT_EQ(Flag(1, 2), "ON");
    EXPECT_EQ(Grid(3).GetItemText(1, 9), QStringLiteral("BH"));
    for (const std::string& message : prompt.Messages())
        EXPECT_NE(message, g_pasteMessage);

    // "..." (a copied empty flag cell) turns every flag off.
    QApplication::clipboard()->setText(QStringLiteral("..."));
    views[3]->OnEditPaste();
    EXPECT_EQ(Flag(1, 0), "OFF");
    EXPECT_EQ(Flag(1, 2), "OFF");
    EXPECT_EQ(Grid(3).GetItemText(1, 9), QStringLiteral("..."));
}

TEST_F(ViewTest, CutCopiesAndResetsWholeRows) {
    ActivateAlarms(2);
    Grid(3).EditCell(1, 4, QStringLiteral("50"));
    Grid(3).EditCell(2, 5, QStringLiteral("Pump"));
    doc.SetModifiedFlag(0);
    ASSERT_TRUE(Grid(3).SetSelectedRange(1, 4, 2, 5));
    views[3]->OnEditCut();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("50\t\n0\tPump\n"));
    for (int row = 1; row <= 2; ++row) {
        EXPECT_EQ(Value(3, row, 1), "OFF");
        EXPECT_EQ(Value(3, row, 4), "0");
        EXPECT_EQ(Value(3, row, 5), "");
        EXPECT_EQ(Grid(3).GetItemText(row, 1), QStringLiteral("OFF"));
    }
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ViewTest, PopupEditsTheFlagsAndASecondPopupIsNotShown) {
    ActivateAlarms();
    int shown = 0;
    views[3]->SetPopupRunner([&](CPropertyDlg& dlg) {
        ++shown;
        views[3]->OnNotifyPopup(CLynGridCtrl::GVN_BEGINLABELEDIT, 1, 9);
        dlg.Fill();
        EXPECT_EQ(dlg.GetGrid()->GetRowCount(), 3);
        EXPECT_EQ(dlg.GetGrid()->GetItemText(1, 0), QStringLiteral("Control"));
        dlg.GetGrid()->SetItemText(1, 1, QStringLiteral("ON"));
        dlg.OnOK();
        return dlg.result();
    });
    ASSERT_TRUE(Grid(3).EditCell(1, 9, QString()));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Flag(1, 1), "ON");
    EXPECT_EQ(Grid(3).GetItemText(1, 9), QStringLiteral("C"));
}

TEST_F(ViewTest, PopupOfAnInactiveAlarmIsNotShown) {
    int shown = 0;
    views[3]->SetPopupRunner([&](CPropertyDlg&) { return ++shown, static_cast<int>(QDialog::Accepted); });
    Grid(3).EditCell(5, 9, QString());
    EXPECT_EQ(shown, 0);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], LoadMessage(IDS_ALARM_DISABLED));
}

// A refresh reports exactly the cells whose text, choices or editability changed, one cell at a time, so the
// window repaints those and nothing else.
TEST_F(ViewTest, ARefreshReportsExactlyTheChangedCells) {
    ActivateAlarms(2);
    const CLynGridModel& model = *Grid(3).GetModel();
    std::set<std::pair<int, int>> reported;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         EXPECT_EQ(from, to) << "one cell per report";
                         reported.insert({model.GridRow(from), model.GridColumn(from)});
                     });
    const auto snapshot = [&model] {
        std::vector<GridCell> cells;
        for (int row = 1; row < model.Rows(); ++row)
            for (int col = 1; col < model.Columns(); ++col)
                cells.push_back(*model.Cell(row, col));
        return cells;
    };
    const auto same = [](const GridCell& a, const GridCell& b) {
        return a.text == b.text && a.type == b.type && a.items == b.items &&
               a.listEditable == b.listEditable && a.textLen == b.textLen && a.background == b.background &&
               a.popup == b.popup && a.dataType == b.dataType;
    };
    const std::function<void()> steps[] = {
        [&] { Grid(3).EditCell(1, 4, QStringLiteral("50")); },
        [&] { // IN 12 joins the choices of every alarm
            Grid(1).EditCell(2, 1, QStringLiteral("24 V"));
            views[3]->UpdateAllRows();
        },
        [&] { // IN 11 leaves them, and alarms 1 and 2 are reset
            Grid(1).EditCell(1, 1, QStringLiteral("OFF"));
            views[3]->UpdateAllRows();
        },
    };
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        const std::vector<GridCell> before = snapshot();
        reported.clear();
        steps[step]();
        const std::vector<GridCell> after = snapshot();
        std::set<std::pair<int, int>> changed;
        for (std::size_t i = 0; i < after.size(); ++i)
            if (!same(before[i], after[i]))
                changed.insert({1 + static_cast<int>(i) / (model.Columns() - 1),
                                1 + static_cast<int>(i) % (model.Columns() - 1)});
        EXPECT_FALSE(changed.empty()) << "step " << step;
        EXPECT_EQ(reported, changed) << "step " << step;
    }
}

// Escape leaves the document as it was; edits leave every column as wide as it was; a typed unit is kept.
TEST_F(ViewTest, EditingKeepsColumnsInPlaceAndEscapeChangesNothing) {
    views[0]->show();
    Grid(0).SetFocusCell(3, 1);
    QTest::keyClick(&Grid(0), Qt::Key_5);
    auto* editor = Grid(0).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Value(0, 3, 1), "1");

    ActivateAlarms(2);
    std::vector<int> widths;
    for (int col = 0; col < Grid(3).GetColumnCount(); ++col)
        widths.push_back(Grid(3).GetColumnWidth(col));
    const auto expectSameUpTo = [&](int last, const char* after) {
        for (int col = 0; col <= last; ++col)
            EXPECT_EQ(Grid(3).GetColumnWidth(col), widths[static_cast<std::size_t>(col)]) << after << col;
    };
    // A column has room for a value as long as its cells take; columns left of an edit never move.
    Grid(3).EditCell(1, 5, QStringLiteral("PUMP HIGH1"));
    ASSERT_EQ(Value(3, 1, 5), "PUMP HIGH1");
    expectSameUpTo(Grid(3).GetColumnCount() - 1, "a text of the cell's length, column ");
    Grid(3).EditCell(2, 5, QStringLiteral("LOW OIL PRESS"));
    expectSameUpTo(4, "a wide text, column ");
    Grid(1).EditCell(2, 1, QStringLiteral("20 mA")); // a new input for the alarms' lists
    Grid(3).EditCell(2, 4, QStringLiteral("1"));
    expectSameUpTo(3, "new list items, column ");

    views[1]->show();
    Grid(1).SetFocusCell(1, 2);
    Grid(1).setFocus();
    QTest::keyClick(&Grid(1), Qt::Key_P);
    QApplication::processEvents(); // a person types slower than the editor opens
    auto* unit = qobject_cast<QComboBox*>(Grid(1).indexWidget(Grid(1).currentIndex()));
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(unit->lineEdit(), nullptr);
    // The keys go where a keyboard would send them: an open list takes them before the cell's text.
    QWidget* keys = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : unit->lineEdit();
    QTest::keyClicks(keys, QStringLiteral("si"));
    QTest::keyClick(keys, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Value(1, 1, 2), "psi");
}

TEST_F(ViewTest, ATextTheDocumentCannotHoldIsRefusedAndALongOneIsCut) {
    ActivateAlarms();
    Grid(3).EditCell(1, 5, QStringLiteral("Pump"));
    Grid(3).EditCell(1, 5, QString::fromUtf8("5 Ω"));
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], g_strNotCp1252);
    EXPECT_EQ(Value(3, 1, 5), "Pump") << "the last value stays";
    EXPECT_EQ(Grid(3).GetItemText(1, 5), QStringLiteral("Pump"));

    Grid(3).SetFocusCell(1, 5);
    QApplication::clipboard()->setText(QStringLiteral("HIGH LEVEL 2\n"));
    views[3]->OnEditPaste();
    EXPECT_EQ(Value(3, 1, 5), "HIGH LEVEL") << "pasted text is cut where typing stops";
}
