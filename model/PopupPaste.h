#pragma once

#include <string>

class IBrantSetupType;

// Applies pasted text to a popup-style cell: each letter names a property by its first letter; walking the
// text and the properties in step, a matching property is turned "ON", a skipped one "OFF"; properties past
// the end of the text keep their values. Returns 0 when the setup type offers no properties.
int ApplyPopupPasteText(IBrantSetupType& setup, int row, int col, const std::string& text);
