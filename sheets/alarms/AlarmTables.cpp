#include "sheets/alarms/AlarmTables.h"

const char* const g_AlarmLabels[ALARM_CELLS] = {
    "Alarms", "InpRef", "DynRef", "<>\xB1", "SetPoint", "LCD Text", "Delay (s)", "LED",  "Output",
    "Flags",  "InpTp",  "LCDU",   "InpLo",  "LCDLo",    "InpUp",    "LCDUp",     "Misc."};

// Leading blanks line the row titles up: "1  (A11)" above "10 (A24)".
const char* const g_AlarmInp[ALARM_COUNT] = {
    "  (A11)", "  (A12)", "  (A13)", "  (A14)", "  (A15)", "  (A16)", "  (A21)", "  (A22)",
    "  (A23)", " (A24)",  " (A25)",  " (A26)",  " (A31)",  " (A32)",  " (A33)",  " (A34)",
    " (A35)",  " (A36)",  " (A41)",  " (A42)",  " (A43)",  " (A44)",  " (A45)",  " (A46)",
    " (A51)",  " (A52)",  " (A53)",  " (A54)",  " (A55)",  " (A56)",  " (A61)",  " (A62)",
    " (A63)",  " (A64)",  " (A65)",  " (A66)",  " (A71)",  " (A72)",  " (A73)",  " (A74)",
    " (A75)",  " (A76)",  " (A81)",  " (A82)",  " (A83)",  " (A84)",  " (A85)",  " (A86)"};

const char* const g_LEDs = "OFF;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23;24";
const char* const g_Outputs = "OFF;1;2;3;4;5;6;7;8;9;10;11;12;13;14";
const char* const g_Signs[3] = {"<", ">", "\xB1"};
const char* const g_flags[ALARM_FLAG_COUNT] = {"Block", "Control", "Hysteresis"};

const _PROPINFO g_AlDefault[ALARM_EDIT_CELLS - 1] = {
    {"InpRef", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, "OFF"},
    {"DynRef", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, "OFF"},
    {"<>\xB1", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, "<;>;\xB1"},
    {"SetPoint", DATA_TYPE_FLOAT, 1, CTRL_STYLE_PLAIN, "0"},
    {"LCD Text", DATA_TYPE_TEXT, 1, CTRL_STYLE_PLAIN, ""},
    {"Delay", DATA_TYPE_FLOAT, 1, CTRL_STYLE_PLAIN, "0.3"},
    {"LED", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, g_LEDs},
    {"Output", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, g_Outputs},
    {"Flags", DATA_TYPE_TEXT, 0, CTRL_STYLE_POPUP, "..."},
};
