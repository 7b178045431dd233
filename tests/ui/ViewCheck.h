#pragma once

// Compares what a sheet view shows with the parameter cells of its setup type.

#include "model/CDataSheet.h"
#include "model/IBrantSetupType.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CLynGridModel.h"
#include "ui/CTavikView.h"
#include "ui/Cp1252.h"

#include <gtest/gtest.h>

namespace view_check {

// Every grid cell holds its parameter cell's text, choices, editability, text length and colour, and the
// grid has one row per channel.
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
            const int type = list                ? CLynGridCtrl::GVET_LIST
                             : cell->m_bEditable ? CLynGridCtrl::GVET_EDIT
                                                 : CLynGridCtrl::GVET_READONLY;
            const QColor colour = (cell->m_clrBk & 0xFF000000UL) != 0
                                      ? QColor()
                                      : QColor(static_cast<int>(cell->m_clrBk & 0xFF),
                                               static_cast<int>((cell->m_clrBk >> 8) & 0xFF),
                                               static_cast<int>((cell->m_clrBk >> 16) & 0xFF));
            const char* differs = nullptr;
            if (shown->text != FromCp1252(cell->GetDataAsString()))
                differs = "text";
            else if (shown->type != type)
                differs = "type";
            else if (shown->items != (list ? items : QStringList()))
                differs = "items";
            else if (shown->listEditable != (list && cell->m_bEditable))
                differs = "typed list value";
            else if (shown->textLen != cell->m_nMaxTextLen)
                differs = "text length";
            else if (shown->popup != (cell->m_nStyle == CTRL_STYLE_POPUP))
                differs = "popup";
            else if (shown->background != colour)
                differs = "colour";
            if (differs)
                return ::testing::AssertionFailure()
                       << "setup " << view.GetSetupIndex() << " row " << row << " col " << col << ": "
                       << differs << " (grid \"" << shown->text.toStdString() << "\" type " << shown->type
                       << ", " << shown->items.size() << " items; sheet \"" << cell->GetDataAsString()
                       << "\" type " << type << ", " << (list ? items.size() : 0) << " items)";
        }
    return ::testing::AssertionSuccess();
}

} // namespace view_check
