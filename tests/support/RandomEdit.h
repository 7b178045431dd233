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

// Another spelling of `text` as people type it: a number with a plus sign, a leading zero, a leading blank
// or another trailing zero; any text in lower case or with trailing blanks. Some texts stand for no value
// ("0.50" as a hysteresis is one, as a set point another), which the sheets correct or refuse.
inline std::string Respelled(const std::string& text, std::mt19937& random) {
    const bool number = !text.empty() && text.find_first_not_of("-.0123456789") == std::string::npos;
    switch (random() % 6) {
    case 0:
        return number && text[0] != '-' ? "+" + text : text + "  ";
    case 1:
        return number && text[0] != '-' ? "0" + text : text;
    case 2:
        return " " + text;
    case 3:
        return number && text.find('.') != std::string::npos ? text + "0" : text + " ";
    case 4: {
        std::string lower = text;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return lower;
    }
    default:
        return text;
    }
}

// One random edit of any sheet as the grid makes it: an item of the cell's list, a number, a new unit name,
// or (with long texts) a text far beyond any cell's length; without them mostly list items. With `respell`
// each text is given in another spelling now and then.
inline void RandomEdit(CZemUnit& unit, std::mt19937& random, int& units, bool longTexts,
                       bool respell = false) {
    const auto any = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    IBrantSetupType& sheet = *unit.GetSetupType(static_cast<int>(any(SETUP_TYPE_COUNT)));
    const CDataSheet& cells = *sheet.GetDataSheet();
    const int row = 1 + static_cast<int>(any(static_cast<std::size_t>(cells.GetNumSections() - 1)));
    const int col = 1 + static_cast<int>(any(static_cast<std::size_t>(cells.GetNumCells(row) - 1)));
    const std::vector<std::string>& items = cells.GetProperty(row, col)->GetData();
    const std::size_t kind = any(longTexts ? 6 : 12);
    std::string text = kind == 0 && longTexts
                           ? std::string(any(2) ? 300 : 70000, static_cast<char>('A' + any(26)))
                       : kind <= 1 ? std::to_string(static_cast<int>(any(400)) - 100) + (any(2) ? "" : ".5")
                       : kind == 2 ? UnitName(units++)
                       : items.empty() ? std::string()
                                       : items[any(items.size())];
    sheet.ValidateData(row, col, respell && any(2) ? Respelled(text, random) : text);
}
