#include "tools/zemra-sim/CPseudoTerminal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

CPseudoTerminal::~CPseudoTerminal() {
    Close();
}

int CPseudoTerminal::Open(std::string& error) {
    Close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        error = SystemError("cannot open a pseudo-terminal");
        return 0;
    }
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = SystemError("cannot unlock the pseudo-terminal");
        Close();
        return 0;
    }
    char name[PATH_MAX];
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        error = SystemError("cannot name the pseudo-terminal");
        Close();
        return 0;
    }
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        error = SystemError("cannot open " + m_slavePath);
        Close();
        return 0;
    }
    // Raw: no echo, no line editing, no CR/LF translation, 8 data bits, like a bare RS-232 line.
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0) {
        error = SystemError("cannot read the terminal settings");
        Close();
        return 0;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0) {
        error = SystemError("cannot set raw mode");
        Close();
        return 0;
    }
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0) {
        error = SystemError("cannot configure the pseudo-terminal");
        Close();
        return 0;
    }
    return 1;
}

void CPseudoTerminal::Close() {
    RemoveLink();
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
    m_slave = m_master = -1;
    m_slavePath.clear();
}

int CPseudoTerminal::PlaceLink(const std::string& path, std::string& error) {
    if (m_slavePath.empty()) {
        error = "the pseudo-terminal is not open";
        return 0;
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + " exists and is not a symlink; not replacing it";
            return 0;
        }
        if (unlink(path.c_str()) != 0) {
            error = SystemError("cannot remove the old link " + path);
            return 0;
        }
    }
    if (symlink(m_slavePath.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot create the link " + path);
        return 0;
    }
    m_linkPath = path;
    return 1;
}

void CPseudoTerminal::RemoveLink() {
    if (m_linkPath.empty()) return;
    char target[PATH_MAX];
    const ssize_t n = readlink(m_linkPath.c_str(), target, sizeof target - 1);
    if (n >= 0) {
        target[n] = '\0';
        if (m_slavePath == target) unlink(m_linkPath.c_str());
    }
    m_linkPath.clear();
}
