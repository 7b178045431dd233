#include "tools/tavik-cli/ConfigText.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "tools/tavik-cli/CellNames.h"
#include "unit/CZemUnit.h"

#include <nlohmann/json.hpp>

const char* const g_strConfigFormat = "tavik-configuration";

std::string ExportConfig(CZemUnit& unit) {
    nlohmann::ordered_json root;
    root["format"] = g_strConfigFormat;
    root["version"] = CONFIG_FORMAT_VERSION;
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
        CBrantSetupType& setup = *unit.GetSetupType(type);
        const CDataSheet& data = *setup.GetDataSheet();
        const std::vector<int> columns = EditableColumns(setup);
        auto sheet = nlohmann::ordered_json::object();
        for (int row = 1; row <= LastEditableRow(setup); ++row) {
            const auto value = [&](int col) {
                const CBrChnData* cell = data.GetCellChecked(row, col);
                return Utf8FromCp1252(cell ? cell->GetDataAsString() : std::string());
            };
            // A sheet with one value column (General) is a list of named values.
            if (columns.size() == 1) {
                sheet[RowKey(setup, row)] = value(columns.front());
                continue;
            }
            auto cells = nlohmann::ordered_json::object();
            for (int col : columns)
                cells[ColumnKey(setup, col)] = value(col);
            sheet[RowKey(setup, row)] = std::move(cells);
        }
        root[SheetWords()[static_cast<std::size_t>(type)]] = std::move(sheet);
    }
    return root.dump(2) + '\n';
}
