#include "tools/tavik-cli/DocumentDump.h"

#include "tools/tavik-cli/CellNames.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "sheets/alarms/CAlarm.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <algorithm>
#include <iomanip>

namespace {
// `editable` is what edit takes (the columns that `columns` calls editable, in the rows it counts), not the
// cell's own flag, which tells the grid whether it types into the cell: cells picked from a list or through
// the property popup carry 0 there.
nlohmann::ordered_json CellJson(const CBrChnData* cell, bool editable) {
    nlohmann::ordered_json json;
    if (!cell) return json;
    json["name"] = Utf8FromCp1252(cell->GetName());
    json["dataType"] = cell->m_nDataType;
    json["editable"] = editable ? 1 : 0;
    json["selection"] = cell->m_nSel;
    json["style"] = static_cast<int>(cell->m_nStyle);
    auto items = nlohmann::ordered_json::array();
    for (const std::string& item : cell->GetData())
        items.push_back(Utf8FromCp1252(item));
    json["items"] = std::move(items);
    json["value"] = Utf8FromCp1252(cell->GetDataAsString());
    return json;
}
} // namespace

nlohmann::ordered_json DumpJson(CTavikDoc& document) {
    CZemUnit& unit = *document.GetZemUnit();
    nlohmann::ordered_json json;
    json["version"] = unit.GetReadVersion();
    auto sheets = nlohmann::ordered_json::array();
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
        CBrantSetupType* setup = unit.GetSetupType(type);
        nlohmann::ordered_json sheet;
        sheet["title"] = Utf8FromCp1252(setup->GetTitle());
        sheet["type"] = static_cast<int>(setup->GetSetupType());
        auto rows = nlohmann::ordered_json::array();
        const CDataSheet* data = setup->GetDataSheet();
        for (int row = 0; data && row < data->GetNumSections(); ++row) {
            auto cells = nlohmann::ordered_json::array();
            for (int col = 0; col < data->GetNumCells(row); ++col)
                cells.push_back(CellJson(data->GetCellChecked(row, col), row >= 1 &&
                                                                             row <= LastEditableRow(*setup) &&
                                                                             IsEditableColumn(*setup, col)));
            rows.push_back(std::move(cells));
        }
        sheet["rows"] = std::move(rows);
        sheets.push_back(std::move(sheet));
    }
    json["sheets"] = std::move(sheets);

    auto flags = nlohmann::ordered_json::array();
    auto* alarm = dynamic_cast<CAlarm*>(unit.GetSetupType(SETUP_ALARM));
    // The flags are edited as the alarm's Flags column.
    const bool flagsEditable = alarm && IsEditableColumn(*alarm, ALM_COL_FLAGS);
    for (int row = 1; alarm && row <= ALARM_COUNT; ++row) {
        auto group = nlohmann::ordered_json::array();
        if (const CAlarm::CFlagGroup* cells = alarm->GetFlagGroup(row))
            for (const auto& cell : *cells)
                group.push_back(CellJson(cell.get(), flagsEditable));
        flags.push_back(std::move(group));
    }
    json["alarmFlags"] = std::move(flags);
    return json;
}

// One table per sheet, the rows the program shows, each column as wide as its widest text.
void DumpText(CTavikDoc& document, std::ostream& out) {
    CZemUnit& unit = *document.GetZemUnit();
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
        CBrantSetupType* setup = unit.GetSetupType(type);
        const CDataSheet* data = setup->GetDataSheet();
        if (!data) continue;
        const int rows = std::min(setup->GetNumChannels(), data->GetNumSections());
        std::vector<std::vector<std::string>> table;
        std::vector<std::size_t> widths;
        for (int row = 0; row < rows; ++row) {
            std::vector<std::string> line;
            for (int col = 0; col < data->GetNumCells(row); ++col) {
                const CBrChnData* cell = data->GetCellChecked(row, col);
                std::string text = cell ? Utf8FromCp1252(cell->GetDataAsString()) : std::string();
                // Display width in characters, not bytes.
                const std::size_t width = static_cast<std::size_t>(
                    std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
                if (widths.size() <= static_cast<std::size_t>(col))
                    widths.resize(static_cast<std::size_t>(col) + 1, 0);
                widths[static_cast<std::size_t>(col)] =
                    std::max(widths[static_cast<std::size_t>(col)], width);
                line.push_back(std::move(text));
            }
            table.push_back(std::move(line));
        }
        out << "== " << Utf8FromCp1252(setup->GetTitle()) << " ==\n";
        for (const auto& line : table) {
            for (std::size_t col = 0; col < line.size(); ++col) {
                const std::string& text = line[col];
                const std::size_t width = static_cast<std::size_t>(
                    std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
                out << text;
                if (col + 1 < line.size()) out << std::string(widths[col] - width + 2, ' ');
            }
            out << '\n';
        }
        out << '\n';
    }
}
