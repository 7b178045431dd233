#include "sheets/logical/LogicalTables.h"

const char* const g_LgInpLables[LOGICAL_SHOWN_COLUMNS] = {
    "Logical Input", "I1", "I2", "I3", "I4", "I5", "I6", "I7", "I8", "I9", "I10", "I11", "I12"};
