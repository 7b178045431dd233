#include "model/AllowedText.h"

#include <cstdlib>

namespace {
// A whole number written plainly ("7", not "07" or "+7"), so runs of them can be told as ranges.
bool PlainNumber(const std::string& text, long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    if (text.size() > 1 && text[0] == '0') return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}
} // namespace

std::string AllowedListText(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size();) {
        std::size_t last = i;
        long first = 0, value = 0;
        if (PlainNumber(items[i], first))
            while (last + 1 < items.size() && PlainNumber(items[last + 1], value) &&
                   value == first + static_cast<long>(last + 1 - i))
                ++last;
        if (!text.empty()) text += ", ";
        if (last >= i + 2) {
            text += items[i] + " to " + items[last];
            i = last + 1;
        } else {
            text += items[i];
            ++i;
        }
    }
    return text;
}
