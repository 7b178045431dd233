#pragma once

#include "unit/ConfigCompare.h"

#include <string>
#include <vector>

class CZemUnit;

// What a change did to the configuration, cell by cell: the values as they were after the last change
// are kept, and the next change is compared with them. The frame uses it to tell what an edit changed on
// other sheets, and where Undo goes.
class CAlsoChanged {
public:
    // The configuration as it is now becomes the one the next change is compared with.
    void Reset(CZemUnit& unit);
    // The cells that differ from the kept values (sheet by sheet, row by row), which are then replaced by
    // the current ones.
    std::vector<ConfigDifference> Take(CZemUnit& unit);

    // "Also changed: 3 cells on Logical Input and Alarm" for the differences outside `sheet`; empty when
    // there are none. `others` receives those differences.
    static std::string Summary(const std::vector<ConfigDifference>& differences, const std::string& sheet,
                               std::vector<ConfigDifference>& others);

private:
    ConfigValues m_values;
    bool m_bValid = false;
};
