#include "sheets/general/GeneralTables.h"

const char* const g_ColTitle[2] = {"Constants", "Selections  "};

const char* const g_GenLabels[GENERAL_SHOWN_ROWS] = {
    "",
    "Initialization",
    "Function Test",
    "Device Number",
    "Protocol",
    "RS 485 Baud Rate",
    "RS 232 Baud Rate",
    "Remote LED Test",
    "Remote Reset",
    "Reset Function",
    "Output Follows Alarm  ",
    "Block",
    "Alarm Out Inverted",
    "Second Alarm Pulse",
    "Hysteresis in %",
};

const char* const g_GenInit[2][3] = {{"OFF", "CONFIG", "CONF + GEN"}, {"0", "3000", "3033"}};
const char* const g_GenFuncTest[2][2] = {{"OFF", "ON"}, {"0", "33"}};
const char* const g_Protocol[2][2] = {{"BRANT BUS", "MODBUS"}, {"0", "1"}};
const char* const g_GenResetFunc[2][3] = {{"DEFAULT", "RESET 2", "RESET 3"}, {"0", "1", "2"}};
const char* const g_GenBlockMode[2][3] = {{"OFF", "+REF", "-REF"}, {"0", "1", "2"}};
const char* const g_GenRS485BR[9] = {"110", "150", "300", "600", "1200", "2400", "4800", "9600", "19200"};
const char* const g_GenRS232BR[9] = {"110", "150", "300", "600", "1200", "2400", "4800", "9600", "19200"};
const char* const g_GenRemLEDTest[2] = {"OFF", "ON"};
const char* const g_GenRemReset[2] = {"OFF", "ON"};
const char* const g_GenOutpFolInp[2] = {"OFF", "ON"};
const char* const g_ALOutInvert[2] = {"OFF", "ON"};
const char* const g_2ndALPuls[2] = {"OFF", "ON"};

const char* const g_unusedConstants[UNUSED_CONSTANTS] = {
    "GEN_CONST_4",  "GEN_CONST_12", "GEN_CONST_16", "GEN_CONST_17", "GEN_CONST_18", "GEN_CONST_19",
    "GEN_CONST_20", "GEN_CONST_21", "GEN_CONST_22", "GEN_CONST_23", "GEN_CONST_24", "GEN_CONST_25",
    "GEN_CONST_26", "GEN_CONST_27", "GEN_CONST_28", "GEN_CONST_29", "GEN_CONST_30", "GEN_CONST_31",
    "GEN_CONST_32", "GEN_CONST_33", "GEN_CONST_34", "GEN_CONST_35", "GEN_CONST_36", "GEN_CONST_37",
    "GEN_CONST_38", "GEN_CONST_39", "GEN_CONST_40", "GEN_CONST_41", "GEN_CONST_42", "GEN_CONST_43",
    "GEN_CONST_44", "GEN_CONST_45", "GEN_CONST_46", "GEN_CONST_47", "GEN_CONST_48", "GEN_CONST_49",
    "GEN_CONST_50", "GEN_CONST_51", "GEN_CONST_52", "GEN_CONST_53", "GEN_CONST_54", "GEN_CONST_55",
    "GEN_CONST_56", "GEN_CONST_57", "GEN_CONST_58", "GEN_CONST_59", "GEN_CONST_60", "GEN_CONST_61",
    "GEN_CONST_62", "GEN_CONST_63"};
