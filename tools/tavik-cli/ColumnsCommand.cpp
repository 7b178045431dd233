// columns: what each column of a sheet takes, for a user who has only --help to go by.
#include "tools/tavik-cli/CellNames.h"
#include "tools/tavik-cli/CliCommands.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "unit/CZemUnit.h"

#include <algorithm>

namespace {
// What a column takes where its cells do not list it: free text, numbers, and lists that follow the inputs.
std::string Described(int sheet, int col) {
    static const char* const physical[] = {
        "",
        "",
        "a unit of up to 4 characters; a new one is added to every input's list",
        "0 to the input type's upper end (20 mA, 10 V, 24 V), at most three decimals",
        "a number the unit holds: a sign, at most three decimals, at most 65535",
        "",
        "a number the unit holds: a sign, at most three decimals, at most 65535",
        "a number the unit holds: a sign, at most three decimals, at most 65535"};
    static const char* const alarm[] = {
        "",
        "OFF, or an active input: IN 11..IN 83 (or its two digits) or LOG1..LOG7",
        "OFF, or an active logical input whose parameters are the alarm's input's",
        "", // from the list
        "a number within the input's LCDLo..LCDUp",
        "text of up to 10 characters",
        "0.3 to 918000 seconds",
        "",
        "",
        "the letters B (Block), C (Control), H (Hysteresis), or ... for none"};
    switch (sheet) {
    case SETUP_PHYSICAL_INPUT:
        if (col == 5) return physical[3];
        return col < 8 ? physical[col] : "";
    case SETUP_LOGICAL_INPUT:
        return "OFF, an active physical input, or an active logical input with a lower number; every source "
               "of a "
               "logical input has the same parameters";
    case SETUP_ALARM:
        return col < 10 ? alarm[col] : "";
    default:
        return "";
    }
}

// The items of a list cell, a run of numbers shortened: "OFF, 1..24".
std::string ListText(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::size_t run = i;
        while (run + 1 < items.size() && items[run] == std::to_string(std::atoi(items[run].c_str())) &&
               items[run + 1] == std::to_string(std::atoi(items[run].c_str()) + 1))
            ++run;
        if (!text.empty()) text += ", ";
        const std::string item = items[i].empty() ? "\"\"" : Utf8FromCp1252(items[i]);
        if (run >= i + 2) {
            text += item + ".." + items[run];
            i = run;
        } else {
            text += item;
        }
    }
    return text;
}

void ListSheet(CZemUnit& unit, int sheet, std::ostream& out) {
    CBrantSetupType& setup = *unit.GetSetupType(sheet);
    const CDataSheet& data = *setup.GetDataSheet();
    const int rows = LastEditableRow(setup);
    out << SheetWords()[static_cast<std::size_t>(sheet)] << ": the " << Utf8FromCp1252(setup.GetTitle())
        << " sheet; rows 1.." << rows << " (" << RowKey(setup, 1) << ".." << RowKey(setup, rows) << ")\n";
    struct Line {
        std::string number, title, editable, values;
    };
    std::vector<Line> lines;
    if (sheet == SETUP_GENERAL) {
        // One value column: each row takes its own values.
        for (int row = 1; row <= rows; ++row) {
            const CBrChnData* cell = data.GetCellChecked(row, 1);
            std::string values = cell && cell->GetData().size() > 1 ? ListText(cell->GetData()) : "";
            if (row == 3) values = "1..62";
            if (row == 14) values = "0..12.5, in steps of 0.05";
            if (row == 1) values += " (CONFIG and CONF + GEN need --yes)";
            lines.push_back({std::to_string(row), RowKey(setup, row), "editable", values});
        }
    } else {
        for (int col = 1; col < data.GetNumCells(1); ++col) {
            const bool editable = IsEditableColumn(setup, col);
            std::string values = Described(sheet, col);
            const CBrChnData* cell = data.GetCellChecked(1, col);
            if (values.empty() && editable && cell) values = ListText(cell->GetData());
            if (!editable) values = "shows the input's " + ColumnKey(setup, col);
            lines.push_back(
                {std::to_string(col), ColumnKey(setup, col), editable ? "editable" : "read-only", values});
        }
    }
    // Widths in characters: "±" is two bytes of UTF-8.
    const auto length = [](const std::string& text) {
        return static_cast<std::size_t>(
            std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    std::size_t width = 0;
    for (const Line& line : lines)
        width = std::max(width, length(line.title));
    for (const Line& line : lines)
        out << "  " << std::string(line.number.size() < 2 ? 1 : 0, ' ') << line.number << "  " << line.title
            << std::string(width - length(line.title) + 2, ' ') << line.editable
            << std::string(line.editable == "editable" ? 3 : 2, ' ') << line.values << '\n';
}
} // namespace

int RunColumns(const std::string& sheetWord, std::ostream& out, std::ostream& err) {
    CZemUnit unit;
    unit.Initialize();
    if (sheetWord.empty()) {
        for (int sheet = 0; sheet < SETUP_TYPE_COUNT; ++sheet) {
            if (sheet) out << '\n';
            ListSheet(unit, sheet, out);
        }
    } else {
        const int sheet = FindSheet(sheetWord);
        if (sheet < 0) {
            err << "tavik-cli: unknown sheet '" << sheetWord
                << "' (general, physical, logical, alarm or 0..3; nearest: "
                << NearestName(sheetWord, SheetWords()) << ")\n";
            return CLI_USAGE;
        }
        ListSheet(unit, sheet, out);
    }
    out << "Rows and columns count from 1; edit takes their numbers or names, in any letter case.\n";
    return CLI_OK;
}
