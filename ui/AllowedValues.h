#pragma once

#include <string>

class CDataSheet;

// The second line of a refusal: what the cell takes ("Allowed: 1 to 62", "Allowed: OFF, 1 to 24"), so
// that the technician can act on the message. Empty where the cell takes free text or no range is known.
// `setupType` is the sheet's SETUP_TYPE; texts are the document's Windows-1252 bytes.
std::string AllowedValuesText(int setupType, const CDataSheet& sheet, int row, int col);
