#include "unit/ConfigChanges.h"

#include <algorithm>

std::vector<ConfigDifference> OtherChangedCells(const ConfigValues& before, CZemUnit& unit, int type, int row,
                                                int col) {
    std::vector<ConfigDifference> changes = CompareConfigValues(before, ReadConfigValues(unit, false));
    std::erase_if(changes, [&](const ConfigDifference& change) {
        return change.type == type && change.rowIndex == row && change.colIndex == col;
    });
    return changes;
}
