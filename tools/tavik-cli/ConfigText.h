#pragma once

// The configuration as text that people keep and edit: every editable cell by sheet, row title and column
// title, as JSON in a fixed order with one value a line, so that a diff shows which cell changed. Importing
// applies the values through the same rules as an edit.

#include <string>

class CZemUnit;

// Names the format in its first member, "format"; "version" follows.
extern const char* const g_strConfigFormat;
constexpr int CONFIG_FORMAT_VERSION = 1;

// The configuration of `unit` as the text form (UTF-8, ending in a line feed).
std::string ExportConfig(CZemUnit& unit);
