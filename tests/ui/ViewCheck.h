#pragma once

// Compares what a sheet view shows with the parameter cells of its setup type.

#include "model/CDataSheet.h"
#include "model/IBrantSetupType.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/grid/CLynGridModel.h"
#include "ui/sheet/CTavikView.h"
#include "ui/sheet/Cp1252.h"

#include <gtest/gtest.h>

#include <tuple>

namespace view_check {

// Every grid cell holds its parameter cell's text, choices, editability, text length and colour (red in
// the low byte; the top byte set means none), and the grid has one row per channel.
inline ::testing::AssertionResult ShowsItsSheet(const CTavikView& view) {
    const CLynGridCtrl* grid = view.GetGrid();
    IBrantSetupType* setup = view.GetSetup();
    const CDataSheet* sheet = setup ? setup->GetDataSheet() : nullptr;
    if (!grid || !sheet) return ::testing::AssertionFailure() << "view without a grid or a sheet";
    if (grid->GetRowCount() != std::min(setup->GetNumChannels(), sheet->GetNumSections()))
        return ::testing::AssertionFailure() << "row count " << grid->GetRowCount();
    for (int row = 0; row < grid->GetRowCount(); ++row)
        for (int col = 0; col < grid->GetColumnCount(); ++col) {
            const CBrChnData* cell = sheet->GetCellChecked(row, col);
            const GridCell* shown = grid->GetModel()->Cell(row, col);
            if (!cell || !shown) return ::testing::AssertionFailure() << "no cell at " << row << "," << col;
            QStringList items;
            for (const std::string& item : cell->GetData())
                items << FromCp1252(item);
            const bool list = items.size() > 1;
            // A locked cell (an alarm without input, a copied value) is read-only whatever the sheet says.
            const bool locked = !view.LockReason(row, col).isEmpty();
            const int type =
                locked ? CLynGridCtrl::GVET_READONLY
                : list ? CLynGridCtrl::GVET_LIST
                       : (cell->m_bEditable ? CLynGridCtrl::GVET_EDIT : CLynGridCtrl::GVET_READONLY);
            const unsigned long bk = cell->m_clrBk;
            const QColor colour = (bk & 0xFF000000UL) != 0 ? QColor()
                                                           : QColor(static_cast<int>(bk & 0xFF),
                                                                    static_cast<int>((bk >> 8) & 0xFF),
                                                                    static_cast<int>((bk >> 16) & 0xFF));
            if (std::tie(shown->text, shown->type, shown->items, shown->listEditable, shown->textLen,
                         shown->popup, shown->background) !=
                std::make_tuple(FromCp1252(cell->GetDataAsString()), type, list ? items : QStringList(),
                                list && cell->m_bEditable, cell->m_nMaxTextLen,
                                !locked && cell->m_nStyle == CTRL_STYLE_POPUP, colour))
                return ::testing::AssertionFailure()
                       << "setup " << view.GetSetupIndex() << " row " << row << " col " << col << ": grid \""
                       << shown->text.toStdString() << "\" type " << shown->type << ", "
                       << shown->items.size() << " items; sheet \"" << cell->GetDataAsString() << "\" type "
                       << type << ", " << (list ? items.size() : 0) << " items";
        }
    return ::testing::AssertionSuccess();
}

} // namespace view_check
