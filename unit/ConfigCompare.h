#pragma once

#include <string>
#include <vector>

class CZemUnit;
struct CORRECTION;

// Comparing two configurations cell by cell, as the grids show them: the document against the unit, or
// two documents. Texts are the document's Windows-1252 bytes.
struct ConfigDifference {
    std::string sheet;  // "General", "Physical Input", ...
    std::string row;    // the row's channel name, e.g. "IN 11" or "(A11)"
    std::string column; // the column title
    std::string first;  // the value in the first configuration (the document)
    std::string second; // the value in the second one (the unit, or the other document)
    int type = -1;      // where the cell is: setup type, row and column
    int rowIndex = -1;
    int colIndex = -1;
};

// Every value of a configuration: per sheet, per row, per column, with the row names and column titles.
struct ConfigValues {
    struct Sheet {
        std::string title;
        std::vector<std::vector<std::string>> rows; // rows[0] holds the column titles, cell 0 the row name
    };
    std::vector<Sheet> sheets;
};

// The cells' texts, which are the canonical texts of their values.
ConfigValues ReadConfigValues(CZemUnit& unit);
// Where a download had to correct a value, the unit holds its own value, not the one the sheet now shows.
void TakeUnitValues(ConfigValues& values, const std::vector<CORRECTION>& corrections);
// The cells whose values differ, sheet by sheet, row by row, column by column, with the canonical texts of
// both sides. A text is the value: "100" and "100.0" are different numbers on the unit.
std::vector<ConfigDifference> CompareConfigValues(const ConfigValues& first, const ConfigValues& second);
// A difference with the mirror columns it caused: the columns an alarm copies from its input (and a logical
// input from its sources) follow the value that was changed, so a list shows "LOG2 I1" once, not eight rows.
struct FoldedDifference {
    ConfigDifference difference;
    std::vector<ConfigDifference> mirrors; // folded under `difference`, in column order
};
std::vector<FoldedDifference> FoldMirrorColumns(const std::vector<ConfigDifference>& differences);
// Whether `column` of sheet `sheet` (titles as in ConfigDifference) is a mirror column.
bool IsMirrorColumn(const std::string& sheet, const std::string& column);

// One line per difference, tab-separated, under a title line naming the two sides:
// "Sheet\tRow\tColumn\t<firstTitle>\t<secondTitle>".
std::string FormatDifferences(const std::vector<ConfigDifference>& differences, const std::string& firstTitle,
                              const std::string& secondTitle);
