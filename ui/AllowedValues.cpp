#include "ui/AllowedValues.h"

#include "model/CDataSheet.h"
#include "model/IBrantSetupType.h"
#include "sheets/alarms/AlarmTables.h"
#include "sheets/general/GeneralTables.h"

#include <cstdlib>
#include <vector>

namespace {
// A whole number written plainly ("7", not "07" or "+7"), so runs of them can be told as ranges.
bool PlainNumber(const std::string& text, long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    if (text.size() > 1 && text[0] == '0') return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

// "OFF, 1 to 24": runs of three or more consecutive numbers are told by their ends.
std::string ListText(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size();) {
        std::size_t last = i;
        long first = 0, value = 0;
        if (PlainNumber(items[i], first))
            while (last + 1 < items.size() && PlainNumber(items[last + 1], value) &&
                   value == first + static_cast<long>(last + 1 - i))
                ++last;
        if (!text.empty()) text += ", ";
        if (last >= i + 2) {
            text += items[i] + " to " + items[last];
            i = last + 1;
        } else {
            text += items[i];
            ++i;
        }
    }
    return text;
}

std::string Value(const CDataSheet& sheet, int row, int col) {
    const CBrChnData* cell = sheet.GetCellChecked(row, col);
    return cell ? cell->GetDataAsString() : std::string();
}
} // namespace

std::string AllowedValuesText(int setupType, const CDataSheet& sheet, int row, int col) {
    const CBrChnData* cell = sheet.GetCellChecked(row, col);
    if (!cell || row < 1 || col < 1) return {};
    if (cell->GetData().size() > 1) return "Allowed: " + ListText(cell->GetData());
    // The ranges the sheets check numbers against.
    if (setupType == SETUP_GENERAL && row == GEN_ROW_DEVICE_NUMBER) return "Allowed: 1 to 62";
    if (setupType == SETUP_GENERAL && row == GEN_ROW_HYSTERESIS) return "Allowed: 0 to 12.5";
    if (setupType == SETUP_ALARM && col == ALM_COL_DELAY) return "Allowed: 0.3 to 918000";
    if (setupType == SETUP_ALARM && col == ALM_COL_SETPOINT) {
        // The LCD range of the alarm's input, as its mirror columns show it.
        const std::string low = Value(sheet, row, ALM_COL_MIRROR + 3);
        const std::string high = Value(sheet, row, ALM_COL_MIRROR + 5);
        if (!low.empty() && !high.empty()) return "Allowed: " + low + " to " + high;
    }
    return {};
}
