#pragma once

#include <string>

// Identifiers of the rule messages the setup types record; the view shows the text of the last one.
enum : unsigned {
    IDS_INVALID_VALUE_LAST = 61446,
    IDS_INVALID_SELECTION = 62000,
    IDS_LOGINP_PARMS_MISMATCH = 62001,
    IDS_DYNREF_NOT_ACTIVE = 62002,
    IDS_OUT_OF_RANGE_NEAREST = 62003,
    IDS_DELAY_OUT_OF_RANGE = 62004,
    IDS_INVALID_LED = 62005,
    IDS_INVALID_OUTPUT = 62006,
    IDS_ALARM_DISABLED = 62007,
    IDS_DYNREF_INVALID = 62008,
    IDS_BLOCK_DISABLED = 62009,
    IDS_INPUT_NOT_ACTIVE = 62010,
    IDS_LOGINP_NOT_ACTIVE = 62011,
    IDS_INVALID_VALUE = 62012,
    IDS_TURN_OFF_INPUT = 62013,
    IDS_INPUT_PARMS_MISMATCH = 62014,
    IDS_OUT_OFF_RANGE_CLOSEST = 62015,
    IDS_CHANNEL_NOT_ACTIVE = 62016,
    IDS_INVALID_INPUT_TYPE = 62017,
    IDS_TOO_MANY_DECIMALS = 62018,
    IDS_NUMBER_TOO_LARGE = 62019,
    IDS_DELAY_NEAREST = 62020,
    IDS_HYSTERESIS_STEP = 62021,
    IDS_TOO_MANY_UNITS = 62022,
};

// The text of a message identifier; the empty string for an unknown one.
std::string LoadMessage(unsigned id);
