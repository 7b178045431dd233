#pragma once

// One value typed into one cell, as in the grid, and what came of it (judged by CEditJudge, as the grid
// judges it): stored, stored corrected, or refused, with the cells the sheets changed besides it. Both edit
// and import go through it, and print one line per value: "PLACE: ANSWER".

#include "unit/ConfigCompare.h"

#include <string>
#include <vector>

class CCliPrompt;
class CZemUnit;

struct EditOutcome {
    enum Kind { Stored, Corrected, Refused };
    Kind kind = Stored;
    std::string value;                    // Corrected: what the cell holds now (UTF-8)
    unsigned id = 0;                      // the sheet's message id; 0 when the message is the tool's own
    std::string message;                  // why it was corrected or refused (UTF-8)
    std::vector<ConfigDifference> others; // cells changed besides the edited one (when asked for)
};

// Applies `text` (UTF-8) to cell (row, col) of setup type `type`: characters the document cannot hold and
// read-only columns are refused, a text longer than the cell takes is cut (a correction), a popup cell takes
// letters naming its properties, and the sheet's own rules decide the rest. A text equal to the cell's value
// changes nothing.
EditOutcome ApplyCellEdit(CZemUnit& unit, int type, int row, int col, const std::string& text,
                          CCliPrompt& prompt, bool listOthers);

// "ok", "corrected to \"V\": MESSAGE" or "refused ID: MESSAGE" ("refused: MESSAGE" without an id).
std::string AnswerText(const EditOutcome& outcome);
// "alarm A11 SetPoint", "general Device Number": a cell by the names edit and import take (UTF-8).
std::string PlaceText(CZemUnit& unit, int type, int row, int col);
// "alarm A11 DynRef: \"LOG1\" -> \"OFF\"": a changed cell by its place, with both values.
std::string ChangeText(CZemUnit& unit, const ConfigDifference& change);
