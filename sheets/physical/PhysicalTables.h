#pragma once

#include "model/TextLimits.h"

// Shape and texts of the Physical Input sheet: 24 analog inputs on eight modules of three.
constexpr int PHYSICAL_ROWS = 25; // the title row and the 24 inputs
constexpr int PHYSICAL_INPUTS = 24;
constexpr int PHYSICAL_COLUMNS = 8;
constexpr int LCDU_COUNT = 9;

// Columns of an input row.
enum PhysicalColumn {
    PH_COL_NAME = 0,
    PH_COL_TYPE = 1,
    PH_COL_UNIT = 2,
    PH_COL_INP_LO = 3,
    PH_COL_LCD_LO = 4,
    PH_COL_INP_UP = 5,
    PH_COL_LCD_UP = 6,
    PH_COL_MISC = 7,
};

// Longest unit text the unit's LCD shows.
constexpr int LCDU_MAX_LEN = LCD_UNIT_LEN;

extern const char* const g_PhInpLabels[PHYSICAL_COLUMNS];
// Built-in LCD units; the empty unit first. The degree sign is the byte 0xB0.
extern const char* const g_LCDU[LCDU_COUNT];
