#pragma once

// Framing of the messages exchanged with the unit over RS-232. Every setup type derives from it.
class CZemProtocol {
public:
    CZemProtocol() = default;
    virtual ~CZemProtocol() = default;
};
