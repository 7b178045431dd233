#include "model/ConfigCompare.h"

#include "model/CBrantSetupType.h"
#include "model/CZemUnit.h"

#include <algorithm>

namespace {
const std::string& At(const std::vector<std::string>& row, std::size_t col) {
    static const std::string none;
    return col < row.size() ? row[col] : none;
}
} // namespace

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
            for (std::size_t col = 1; col < std::max(rowA.size(), rowB.size()); ++col)
                if (At(rowA, col) != At(rowB, col))
                    differences.push_back({first.sheets[s].title, rowA.empty() ? At(rowB, 0) : At(rowA, 0),
                                           At(titles, col), At(rowA, col), At(rowB, col)});
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
