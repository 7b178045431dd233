#pragma once

#include <string>
#include <vector>

// The items of a list as a refusal's "Allowed:" line gives them: "OFF, 1 to 24" - runs of three or more
// consecutive whole numbers are told by their ends. Texts are the document's Windows-1252 bytes.
std::string AllowedListText(const std::vector<std::string>& items);
