#include "model/IPrompt.h"

namespace {
class CSilentPrompt : public IPrompt {
public:
    void ShowMessage(const std::string&, Icon) override {}
    bool AskOkCancel(const std::string&) override { return false; }
};

CSilentPrompt g_silentPrompt;
IPrompt* g_pPrompt = &g_silentPrompt;
} // namespace

IPrompt& GetPrompt() {
    return *g_pPrompt;
}

IPrompt* SetPrompt(IPrompt* prompt) {
    IPrompt* previous = g_pPrompt == &g_silentPrompt ? nullptr : g_pPrompt;
    g_pPrompt = prompt ? prompt : &g_silentPrompt;
    return previous;
}
