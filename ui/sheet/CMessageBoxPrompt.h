#pragma once

#include "model/IPrompt.h"

// The model's message boxes shown as Qt message boxes over the active window.
class CMessageBoxPrompt : public IPrompt {
public:
    void ShowMessage(const std::string& text, Icon icon) override;
    bool AskOkCancel(const std::string& text) override;
};
