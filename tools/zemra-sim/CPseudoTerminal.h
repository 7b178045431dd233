#pragma once

#include <string>

// A pseudo-terminal in raw mode that plays the far end of a serial cable: the simulator reads and writes the
// master side, the programmer opens the slave path as its port. The slave is held open as well, so the master
// keeps working while no programmer is connected.
class CPseudoTerminal {
public:
    CPseudoTerminal() = default;
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    // Opens the terminal; the master is non-blocking. Returns 0 with a reason on failure.
    int Open(std::string& error);
    void Close();

    int MasterFd() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

    // Makes `path` a symlink to the slave. A symlink already there is replaced when no running simulator
    // owns it (one that died left it); a running simulator's link and any other file are left alone and the
    // call fails.
    int PlaceLink(const std::string& path, std::string& error);
    // Removes the symlink, unless something else has replaced it meanwhile.
    void RemoveLink();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::string m_linkPath;
    int m_linkClaim = -1; // held while the link is ours (see PlaceLink)
};
