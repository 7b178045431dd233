#pragma once

#include "unit/ConfigCompare.h"

// What one edit changed besides the cell that was edited: the rules of the sheets reset, clamp or switch
// off other cells (an alarm reset with its input, a dynamic reference lost, an input limit clamped to a new
// input type). `before` is ReadConfigValues (unit, false) just before the edit of cell (type, row, col): the
// values as the grid shows them.
std::vector<ConfigDifference> OtherChangedCells(const ConfigValues& before, CZemUnit& unit, int type, int row,
                                                int col);
