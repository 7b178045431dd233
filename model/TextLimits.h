#pragma once

// Characters the unit's display holds: the unit text after a value and an alarm's display text. The cells'
// maximum text lengths (and through them the grid and the command line) and the device images all take
// their limits from here.
constexpr int LCD_UNIT_LEN = 4;
constexpr int LCD_TEXT_LEN = 10;
