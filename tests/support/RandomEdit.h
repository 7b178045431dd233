#pragma once

#include "unit/CZemUnit.h"

#include <random>
#include <string>

// The random edit walk over every sheet that the document tests and the command-line tests share.

// Distinct LCD unit names of four characters, as the grid allows.
inline std::string UnitName(int n) {
    std::string text = "u";
    for (int i = 0; i < 3; ++i, n /= 62)
        text += "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"[n % 62];
    return text;
}

// One random edit of any sheet as the grid makes it: an item of the cell's list, a number, a new unit name,
// or (with long texts) a text far beyond any cell's length; without them mostly list items.
inline void RandomEdit(CZemUnit& unit, std::mt19937& random, int& units, bool longTexts) {
    const auto any = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    IBrantSetupType& sheet = *unit.GetSetupType(static_cast<int>(any(SETUP_TYPE_COUNT)));
    const CDataSheet& cells = *sheet.GetDataSheet();
    const int row = 1 + static_cast<int>(any(static_cast<std::size_t>(cells.GetNumSections() - 1)));
    const int col = 1 + static_cast<int>(any(static_cast<std::size_t>(cells.GetNumCells(row) - 1)));
    const std::vector<std::string>& items = cells.GetProperty(row, col)->GetData();
    const std::size_t kind = any(longTexts ? 6 : 12);
    sheet.ValidateData(row, col,
                       kind == 0 && longTexts
                           ? std::string(any(2) ? 300 : 70000, static_cast<char>('A' + any(26)))
                       : kind <= 1 ? std::to_string(static_cast<int>(any(400)) - 100) + (any(2) ? "" : ".5")
                       : kind == 2 ? UnitName(units++)
                       : items.empty() ? std::string()
                                       : items[any(items.size())]);
}
