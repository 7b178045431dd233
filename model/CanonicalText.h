#pragma once

#include <string>
#include <vector>

// The one text of a value: the text a download of the unit's image gives back for it. Every path that
// stores a value (typing, paste, popup, the command line, a download, a cascade, an older document) stores
// this text, so that the sheets' own image decodes to exactly their cells and comparing two configurations
// is comparing texts. Each function leaves a text that is no value of its kind unchanged, for the sheet's
// checks to refuse.

// A 3-byte number: no plus sign, no blanks, no leading zeros, "-0" as "0", the decimals kept ("5.0" and "5"
// are different numbers on the unit: the scale is part of the value).
std::string CanonicalNumber(const std::string& text);
// A 4-character unit text: the unit pads with blanks and gives none back, wherever they stood; its degree
// sign 0xDF reads back as 0xB0. Not cut: the caller decides whether a longer text is cut or refused.
std::string CanonicalUnitText(const std::string& text);
// A display text: the unit pads with blanks, so trailing ones are not part of the value.
std::string WithoutTrailingBlanks(std::string text);
// A list value in the list's own spelling: the item equal to `text`, else the one equal to it but for
// letter case and blanks around it ("modbus", " in 11 "); `text` when none is.
std::string ListSpelling(const std::vector<std::string>& items, const std::string& text);
// A decimal of `decimals` places for `steps` of 10^-decimals, without trailing zeros: 50 steps of 0.01 are
// "0.5", 300 are "3".
std::string ShortDecimal(long long steps, int decimals);
// True when `text` holds a control character (C0: tab, line feed, ...; DEL): no cell value may, as they
// break copied ranges, the text form and the unit's display.
bool HasControlCharacter(const std::string& text);
