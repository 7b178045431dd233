#pragma once

#include <string>

class IBrantSetupType;

// Applies a pasted or typed text to a popup-style cell. The text goes through the setup type's own rule for
// the cell (the Alarm sheet's Flags letters), so that a paste and an edit mean the same. Returns what
// ValidateData returns: nonzero when the text was taken.
int ApplyPopupPasteText(IBrantSetupType& setup, int row, int col, const std::string& text);
