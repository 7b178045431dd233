#include "model/PopupPaste.h"

#include "model/IBrantSetupType.h"

int ApplyPopupPasteText(IBrantSetupType& setup, int row, int col, const std::string& text) {
    return setup.ValidateData(row, col, text);
}
