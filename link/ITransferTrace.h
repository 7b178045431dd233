#pragma once

#include <cstdint>

// Sees every message of a transfer as it goes to or comes from the unit (for diagnosing a unit in the
// field). Called on the transfer worker thread.
class ITransferTrace {
public:
    virtual ~ITransferTrace() = default;
    virtual void OnMessage(bool sent, const std::uint8_t* data, int count) = 0;
};
