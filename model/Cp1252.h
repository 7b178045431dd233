#pragma once

#include <string>

// The document's text is single-byte Windows-1252 ("°" 0xB0, "±" 0xB1). These convert it to and from
// UTF-8 for everything outside the model: the command-line tool and the window system.
std::string Utf8FromCp1252(const std::string& text);
// Characters Windows-1252 cannot hold become '?'; malformed UTF-8 bytes are taken as Windows-1252 bytes.
std::string Cp1252FromUtf8(const std::string& text);
// For text the user enters: false, with `out` untouched and the first character Windows-1252 cannot hold
// in `refused` (UTF-8), instead of storing '?' in its place.
bool Cp1252FromUtf8(const std::string& text, std::string& out, std::string& refused);

// Why an entered text with such a character is refused, in the grid and on the command line.
extern const char* const g_strNotCp1252;
