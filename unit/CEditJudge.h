#pragma once

#include "unit/CAlsoChanged.h"
#include "unit/ConfigCompare.h"

#include <string>
#include <vector>

class CZemUnit;

// What one value given to one cell came to, judged the same way wherever it was given: typed or pasted
// into the grid, given to tavik-cli edit or read by import.
struct EditVerdict {
    enum Kind {
        Ok,        // the value is stored; another spelling of the same value counts ("07" stored as "7")
        Corrected, // another value was stored in its place: the nearest allowed one, or the text cut
        Refused,   // the cell keeps what it held
    };
    Kind kind = Ok;
    std::string stored;                   // the cell's text afterwards (Windows-1252)
    unsigned id = 0;                      // the message the sheet recorded; 0 for none
    std::string allowed;                  // what the sheet's rule takes in the cell now, when not Ok
    std::vector<ConfigDifference> others; // the other cells the edit changed, sheet by sheet
};

// Made just before the edit of cell (type, row, col): keeps the configuration as it is, then judges the
// edit once the sheet has taken it.
class CEditJudge {
public:
    CEditJudge(CZemUnit& unit, int type, int row, int col);
    // `given` is the text as given (before a cut to the cell's length); `accepted` what ValidateData said.
    EditVerdict Judge(const std::string& given, bool accepted);

private:
    CZemUnit& m_unit;
    int m_nType, m_nRow, m_nCol;
    std::string m_strBefore;
    CAlsoChanged m_changes;
};
