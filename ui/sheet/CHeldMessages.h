#pragma once

#include "model/IPrompt.h"

#include <string>
#include <vector>

// Holds the messages the sheets raise while an edit or a paste is applied: an edit shows them once the grid
// shows the stored values again, a paste lists them in its report instead of stopping halfway with a box.
// Questions still go to the user at once. Installs itself for its lifetime.
class CHeldMessages : public IPrompt {
public:
    CHeldMessages();
    ~CHeldMessages() override;
    CHeldMessages(const CHeldMessages&) = delete;
    CHeldMessages& operator=(const CHeldMessages&) = delete;

    void ShowMessage(const std::string& text, Icon icon) override;
    bool AskOkCancel(const std::string& text) override;

    // Puts the previous prompt back and hands over the messages held, each text once, in order.
    struct Message {
        std::string text;
        Icon icon;
    };
    std::vector<Message> Release();

private:
    IPrompt* m_pPrevious;
    bool m_bReleased = false;
    std::vector<Message> m_messages;
};
