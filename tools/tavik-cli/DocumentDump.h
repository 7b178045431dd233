#pragma once

#include <nlohmann/json.hpp>

#include <ostream>

class CTavikDoc;

// The loaded configuration as one JSON object (text in UTF-8), or as readable tables.
nlohmann::ordered_json DumpJson(CTavikDoc& document);
void DumpText(CTavikDoc& document, std::ostream& out);
