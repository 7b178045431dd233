#include "unit/ConfigCompare.h"

#include "model/CBrantSetupType.h"
#include "model/CDownloadCorrections.h"
#include "sheets/physical/PhysicalTables.h"
#include "unit/CZemUnit.h"

#include <algorithm>

namespace {
const std::string& At(const std::vector<std::string>& row, std::size_t col) {
    static const std::string none;
    return col < row.size() ? row[col] : none;
}

// Titles and row names as a reader wants them in a list: without the blanks that align them in the grid.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}
} // namespace

bool IsMirrorColumn(const std::string& sheet, const std::string& column) {
    if (sheet != "Logical Input" && sheet != "Alarm") return false;
    // The mirrored parameters carry the physical inputs' column titles on both sheets.
    for (int col = PH_COL_TYPE; col <= PH_COL_MISC; ++col)
        if (Trimmed(g_PhInpLabels[col]) == Trimmed(column)) return true;
    return false;
}

std::vector<FoldedDifference> FoldMirrorColumns(const std::vector<ConfigDifference>& differences) {
    std::vector<FoldedDifference> folded;
    // Differences come sheet by sheet and row by row, so one row's differences are neighbours.
    for (std::size_t first = 0, end = 0; first < differences.size(); first = end) {
        end = first + 1;
        while (end < differences.size() && differences[end].sheet == differences[first].sheet &&
               differences[end].row == differences[first].row)
            ++end;
        const std::size_t rowStart = folded.size();
        std::vector<ConfigDifference> mirrors;
        for (std::size_t i = first; i < end; ++i) {
            if (IsMirrorColumn(differences[i].sheet, differences[i].column))
                mirrors.push_back(differences[i]);
            else
                folded.push_back({differences[i], {}});
        }
        if (mirrors.empty()) continue;
        // Under the row's first changed value; a row where only mirrors changed is one entry all the same.
        if (folded.size() == rowStart) {
            folded.push_back({mirrors.front(), {}});
            mirrors.erase(mirrors.begin());
        }
        folded[rowStart].mirrors = std::move(mirrors);
    }
    return folded;
}

ConfigValues ReadConfigValues(CZemUnit& unit) {
    ConfigValues values;
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
        CBrantSetupType* setup = unit.GetSetupType(type);
        const CDataSheet* data = setup ? setup->GetDataSheet() : nullptr;
        ConfigValues::Sheet sheet;
        sheet.title = setup ? setup->GetTitle() : std::string();
        const int rows = data ? std::min(setup->GetNumChannels(), data->GetNumSections()) : 0;
        for (int row = 0; row < rows; ++row) {
            std::vector<std::string>& line = sheet.rows.emplace_back();
            for (int col = 0; col < data->GetNumCells(row); ++col) {
                const CBrChnData* cell = data->GetCellChecked(row, col);
                line.push_back(cell ? cell->GetDataAsString() : std::string());
            }
        }
        values.sheets.push_back(std::move(sheet));
    }
    return values;
}

void TakeUnitValues(ConfigValues& values, const std::vector<CORRECTION>& corrections) {
    for (const CORRECTION& c : corrections) {
        if (c.type < 0 || static_cast<std::size_t>(c.type) >= values.sheets.size()) continue;
        auto& rows = values.sheets[static_cast<std::size_t>(c.type)].rows;
        if (c.row < 0 || static_cast<std::size_t>(c.row) >= rows.size()) continue;
        auto& row = rows[static_cast<std::size_t>(c.row)];
        if (c.col >= 0 && static_cast<std::size_t>(c.col) < row.size())
            row[static_cast<std::size_t>(c.col)] = c.unitValue;
    }
}

std::vector<ConfigDifference> CompareConfigValues(const ConfigValues& first, const ConfigValues& second) {
    std::vector<ConfigDifference> differences;
    const std::size_t sheets = std::min(first.sheets.size(), second.sheets.size());
    for (std::size_t s = 0; s < sheets; ++s) {
        const auto& a = first.sheets[s].rows;
        const auto& b = second.sheets[s].rows;
        if (a.empty()) continue;
        const std::vector<std::string>& titles = a.front();
        for (std::size_t row = 1; row < std::max(a.size(), b.size()); ++row) {
            static const std::vector<std::string> none;
            const auto& rowA = row < a.size() ? a[row] : none;
            const auto& rowB = row < b.size() ? b[row] : none;
            // Cells hold the canonical text of their values, so equal values are equal texts.
            for (std::size_t col = 1; col < std::max(rowA.size(), rowB.size()); ++col)
                if (At(rowA, col) != At(rowB, col))
                    differences.push_back(
                        {first.sheets[s].title, Trimmed(rowA.empty() ? At(rowB, 0) : At(rowA, 0)),
                         Trimmed(At(titles, col)), At(rowA, col), At(rowB, col), static_cast<int>(s),
                         static_cast<int>(row), static_cast<int>(col)});
        }
    }
    return differences;
}

std::string FormatDifferences(const std::vector<ConfigDifference>& differences, const std::string& firstTitle,
                              const std::string& secondTitle) {
    std::string text = "Sheet\tRow\tColumn\t" + firstTitle + '\t' + secondTitle + '\n';
    for (const ConfigDifference& d : differences)
        text += d.sheet + '\t' + d.row + '\t' + d.column + '\t' + d.first + '\t' + d.second + '\n';
    return text;
}
