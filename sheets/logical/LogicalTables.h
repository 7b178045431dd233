#pragma once

// Shape and texts of the Logical Input sheet. Rows 1..8 are LOG1..LOG8; only LOG1..LOG7 are usable, row 8
// is kept for the document file's shape.
constexpr int LOGICAL_ROWS = 9;
constexpr int LOGICAL_USED_ROWS = 7; // LOG1..LOG7
constexpr int LOGICAL_COLUMNS = 20;
constexpr int LOGICAL_SHOWN_COLUMNS = 13;
constexpr int LOGICAL_INPUT_CELLS = 12; // columns 1..12 name the sources
constexpr int LOG_COL_FIRST_INPUT = 1;
constexpr int LOG_COL_LAST_INPUT = 12;
constexpr int LOG_COL_FIRST_DERIVED = 13; // the source's seven parameters, columns 13..19
constexpr int LOG_COL_TYPE = 13;
constexpr int LOG_COL_UNIT = 14;
constexpr int LOG_COL_LAST_DERIVED = 19;
constexpr int LOG_DERIVED_COUNT = 7;

// Background of the read-only parameter cells.
constexpr unsigned long CLR_DERIVED = 0xD3D3D3UL;

// Input reference byte of the device image: physical inputs 0..23, LOG1..LOG8 24..31, none 48.
constexpr int INPREF_FIRST_LOGICAL = 24;
constexpr int INPREF_OFF = 48;

extern const char* const g_LgInpLables[LOGICAL_SHOWN_COLUMNS];
