#pragma once

#include <cstdint>

// Fixed-width names the configuration model uses for device bytes and words.
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
using BOOL = int;

// The four setup types, in unit order: also the order of the tabs, of the document records and of a transfer.
enum SETUP_TYPE : int {
    SETUP_GENERAL = 0,
    SETUP_PHYSICAL_INPUT = 1,
    SETUP_LOGICAL_INPUT = 2,
    SETUP_ALARM = 3,
};
constexpr int SETUP_TYPE_COUNT = 4;

// How the sheet view reacts to an edit of a cell.
enum CTRL_STYLE : std::int32_t {
    CTRL_STYLE_PLAIN = 0, // edited in place
    CTRL_STYLE_LIST = 1,  // picked from the item list; handled exactly like PLAIN
    CTRL_STYLE_POPUP = 2, // edited through the property popup
};

// Cell data types handed to the grid.
constexpr short DATA_TYPE_INT = 3;
constexpr short DATA_TYPE_FLOAT = 4;
constexpr short DATA_TYPE_TEXT = 30;

// Background colour word that lets the grid use its own default.
constexpr unsigned long CLR_DEFAULT = 0xFF000000UL;
