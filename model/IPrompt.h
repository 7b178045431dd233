#pragma once

#include <string>

// Message boxes the model raises. The desktop program shows real ones; tests and the command-line tool
// script the answers. Called on the window thread only.
class IPrompt {
public:
    enum Icon { Information, Warning, Error };

    virtual ~IPrompt() = default;
    virtual void ShowMessage(const std::string& text, Icon icon) = 0;
    // True when the user pressed OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
};

// The prompt the model uses; a silent one that answers Cancel until the program installs its own.
IPrompt& GetPrompt();
// Installs `prompt` (not owned; null restores the silent one) and returns the previous one.
IPrompt* SetPrompt(IPrompt* prompt);
