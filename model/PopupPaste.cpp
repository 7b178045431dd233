#include "model/PopupPaste.h"

#include "model/IBrantSetupType.h"

#include <array>

int ApplyPopupPasteText(IBrantSetupType& setup, int row, int col, const std::string& text) {
    // The popup never holds more than 100 properties.
    std::array<CBrChnData*, 100> properties{};
    int count = 0;
    if (!setup.GetPopupProperties(row, col, properties.data(), count)) return 0;
    if (count < 0 || count > static_cast<int>(properties.size())) count = 0;
    std::size_t letter = 0;
    for (int p = 0; p < count && letter < text.size(); ++p) {
        CBrChnData* property = properties[static_cast<std::size_t>(p)];
        if (!property) continue;
        const std::string& name = property->GetName();
        if (!name.empty() && name[0] == text[letter]) {
            property->SetSelText("ON");
            ++letter;
        } else {
            property->SetSelText("OFF");
        }
    }
    setup.UpdateProperties(row, col, properties.data(), count);
    for (int p = 0; p < count; ++p)
        delete properties[static_cast<std::size_t>(p)];
    return 1;
}
