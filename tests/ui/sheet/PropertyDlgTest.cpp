#include "model/CBrChnData.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CPropertyDlg.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <iterator>

// One row per property (name, value) above OK and Cancel: a list, a text, or a read-only property showing
// its first item in grey. OK writes the values back row by row; Cancel leaves every property alone.
TEST(PropertyDlg, RowsShowThePropertiesAndOkWritesThemBack) {
    const struct {
        int editable;
        CTRL_STYLE style;
        const char *items, *typed;
        int type;
        const char *shown, *afterOk;
    } rows[] = {
        {1, CTRL_STYLE_LIST, "OFF;ON", "ON", CLynGridCtrl::GVET_LIST, "OFF", "ON"},
        {1, CTRL_STYLE_LIST, "OFF;ON", "OFF", CLynGridCtrl::GVET_LIST, "OFF", "OFF"},
        {0, CTRL_STYLE_LIST, "OFF;ON", "ON", CLynGridCtrl::GVET_READONLY, "OFF", "OFF"},
        {1, CTRL_STYLE_PLAIN, "abc", "xyz", CLynGridCtrl::GVET_EDIT, "abc", "xyz"},
    };
    constexpr int count = static_cast<int>(std::size(rows));
    for (const bool ok : {true, false}) {
        std::vector<CBrChnData> cells;
        for (const auto& row : rows) {
            cells.emplace_back(30, row.editable, row.style, 0xFF000000UL);
            cells.back().SetPropName("P" + std::to_string(cells.size()));
            cells.back().AddData(row.items);
            if (!row.editable) cells.back().SetSelText("ON"); // shown as its first item all the same
        }
        const std::vector<CBrChnData> before = cells;
        CBrChnData* properties[count] = {&cells[0], &cells[1], &cells[2], &cells[3]};
        CPropertyDlg dlg;
        dlg.SetProperties(properties, count);
        dlg.show();
        CLynGridCtrl& grid = *dlg.GetGrid();
        ASSERT_EQ(grid.GetRowCount(), count);
        EXPECT_GE(dlg.GetOkButton()->geometry().top(), grid.geometry().bottom());
        EXPECT_GT(dlg.GetCancelButton()->geometry().left(), dlg.GetOkButton()->geometry().right());
        for (int r = 0; r < count; ++r) {
            EXPECT_EQ(grid.GetItemText(r, 0), QStringLiteral("P%1").arg(r + 1));
            EXPECT_EQ(grid.GetCellType(r, 1), rows[r].type) << r;
            EXPECT_EQ(grid.GetItemText(r, 1), QLatin1String(rows[r].shown)) << r;
            EXPECT_EQ(grid.GetItemBkColour(r, 1), rows[r].editable ? QColor() : QColor(0xE2, 0xE2, 0xE2))
                << r;
            EXPECT_EQ(grid.EditCell(r, 1, QLatin1String(rows[r].typed)), rows[r].editable) << r;
        }
        if (ok)
            dlg.OnOK();
        else
            dlg.reject();
        EXPECT_EQ(dlg.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        for (int r = 0; r < count; ++r)
            EXPECT_EQ(cells[r].GetDataAsString(), ok ? rows[r].afterOk : before[r].GetDataAsString()) << r;
    }
}
