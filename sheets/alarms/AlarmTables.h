#pragma once

#include "model/CBrChnData.h"
#include "model/TextLimits.h"

// Texts, defaults and coordinates of the Alarm sheet: 48 alarms, one row each, 17 cells per row.
constexpr int ALARM_COUNT = 48;
constexpr int ALARM_ROWS = ALARM_COUNT + 1; // the title row and the 48 alarms
constexpr int ALARM_CELLS = 17;
constexpr int ALARM_EDIT_CELLS = 10;  // cells 0..9 are made from the defaults table, 10..16 mirror the input
constexpr int ALARM_FLAG_COUNT = 3;   // Block, Control, Hysteresis
constexpr int ALARM_MIRROR_COUNT = 7; // the seven characteristic parameters of an input

enum AlarmColumn {
    ALM_COL_INPREF = 1,
    ALM_COL_DYNREF = 2,
    ALM_COL_SIGN = 3,
    ALM_COL_SETPOINT = 4,
    ALM_COL_TEXT = 5,
    ALM_COL_DELAY = 6,
    ALM_COL_LED = 7,
    ALM_COL_OUTPUT = 8,
    ALM_COL_FLAGS = 9,
    ALM_COL_MIRROR = 10, // first of the seven mirror columns 10..16
};

// Where an input keeps its seven characteristic parameters in its own sheet.
constexpr int PHINP_FIRST_PARM_COL = 1;   // Physical Inputs columns 1..7
constexpr int LOGINP_FIRST_PARM_COL = 13; // Logical Inputs columns 13..19
constexpr int PHINP_LCD_LO_COL = 4;
constexpr int PHINP_LCD_UP_COL = 6;
constexpr int LOGINP_LCD_LO_COL = 16;
constexpr int LOGINP_LCD_UP_COL = 18;
// The General sheet's "Block" row, whose value decides whether the Block flags take effect.
constexpr int GENERAL_BLOCK_ROW = 11;

constexpr int ALARM_TEXT_LEN = LCD_TEXT_LEN;
constexpr double ALARM_MIN_DELAY = 0.3;
constexpr double ALARM_MAX_DELAY = 918000.0; // 255 hours

extern const char* const g_AlarmLabels[ALARM_CELLS];
extern const char* const g_AlarmInp[ALARM_COUNT];
extern const _PROPINFO g_AlDefault[ALARM_EDIT_CELLS - 1];
extern const char* const g_LEDs;
extern const char* const g_Outputs;
extern const char* const g_Signs[3];
extern const char* const g_flags[ALARM_FLAG_COUNT];
