#pragma once

// Texts and device codes of the General sheet. Coded lists have two rows: the texts shown in the cell and
// the codes the unit stores for them, position by position.
constexpr int GENERAL_ROWS = 65; // 15 shown rows and 50 hidden unused-constant rows
constexpr int GENERAL_SHOWN_ROWS = 15;
constexpr int GENERAL_CONSTANTS = 64;
constexpr int UNUSED_CONSTANTS = 50;

extern const char* const g_ColTitle[2];
extern const char* const g_GenLabels[GENERAL_SHOWN_ROWS];
extern const char* const g_GenInit[2][3];
extern const char* const g_GenFuncTest[2][2];
extern const char* const g_Protocol[2][2];
extern const char* const g_GenResetFunc[2][3];
extern const char* const g_GenBlockMode[2][3];
extern const char* const g_GenRS485BR[9];
extern const char* const g_GenRS232BR[9];
extern const char* const g_GenRemLEDTest[2];
extern const char* const g_GenRemReset[2];
extern const char* const g_GenOutpFolInp[2];
extern const char* const g_ALOutInvert[2];
extern const char* const g_2ndALPuls[2];
extern const char* const g_unusedConstants[UNUSED_CONSTANTS];

// Rows of the General sheet.
enum GeneralRow {
    GEN_ROW_INIT = 1,
    GEN_ROW_FUNC_TEST = 2,
    GEN_ROW_DEVICE_NUMBER = 3,
    GEN_ROW_PROTOCOL = 4,
    GEN_ROW_RS485_BAUD = 5,
    GEN_ROW_RS232_BAUD = 6,
    GEN_ROW_REMOTE_LED_TEST = 7,
    GEN_ROW_REMOTE_RESET = 8,
    GEN_ROW_RESET_FUNC = 9,
    GEN_ROW_OUTPUT_FOLLOWS = 10,
    GEN_ROW_BLOCK = 11,
    GEN_ROW_ALARM_OUT_INVERTED = 12,
    GEN_ROW_SECOND_PULSE = 13,
    GEN_ROW_HYSTERESIS = 14,
};
