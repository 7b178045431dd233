#include "sheets/physical/PhysicalTables.h"

const char* const g_PhInpLabels[PHYSICAL_COLUMNS] = {"Input", "InpTp", "LCDU",  "InpLo",
                                                     "LCDLo", "InpUp", "LCDUp", "Misc."};

const char* const g_LCDU[LCDU_COUNT] = {"",
                                        "m",
                                        "A",
                                        "V",
                                        "bar",
                                        "C",
                                        "F",
                                        "\xB0"
                                        "C",
                                        "\xB0"
                                        "F"};
