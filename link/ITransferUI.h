#pragma once

#include <string>

// The question the transfer worker asks when a setup type fails. Called on the worker thread: the desktop
// program shows its "Upload/Download" dialog on the window thread and blocks the worker until answered.
class ITransferUI {
public:
    virtual ~ITransferUI() = default;
    // `message` names the setup type ("Error to download Alarm data"); `reason` says why its block exchange
    // failed ("no answer (message 65, block 3)"), empty when there is none to tell. True for Retry (the whole
    // transfer again from General), false for Cancel.
    virtual bool AskRetry(const std::string& message, const std::string& reason) = 0;
};
