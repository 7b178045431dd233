#pragma once

#include <string>

// The question the transfer worker asks when a setup type fails. Called on the worker thread: the desktop
// program shows its "Upload/Download" dialog on the window thread and blocks the worker until answered.
class ITransferUI {
public:
    virtual ~ITransferUI() = default;
    // True for Retry (the whole transfer again from General), false for Cancel.
    virtual bool AskRetry(const std::string& message) = 0;
};
