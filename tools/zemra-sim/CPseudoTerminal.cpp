#include "tools/zemra-sim/CPseudoTerminal.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// A running simulator owns its link through a socket in Linux's abstract namespace named after the link's
// full path: the name is free again the moment the simulator ends, however it ends, and leaves no file
// behind. Returns the socket, or -1 with `error` set (another simulator holds the name).
int ClaimLinkName(const std::string& path, std::string& error) {
    std::string full = path;
    if (full.empty() || full.front() != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd)) {
            error = SystemError("cannot read the current folder");
            return -1;
        }
        full = std::string(cwd) + "/" + path;
    }
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a: the same name in every simulator
    for (unsigned char c : full)
        hash = (hash ^ c) * 1099511628211ull;
    char name[64];
    const int length =
        std::snprintf(name, sizeof name, "zemra-sim-link-%016llx", static_cast<unsigned long long>(hash));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = SystemError("cannot claim the link " + path);
        return -1;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name, static_cast<std::size_t>(length)); // sun_path[0] 0: abstract
    const auto size =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(length));
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        error = errno == EADDRINUSE ? path + " is the link of a running simulator; not taking it over"
                                    : SystemError("cannot claim the link " + path);
        ::close(fd);
        return -1;
    }
    return fd;
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
    const int claim = ClaimLinkName(path, error);
    if (claim < 0) return 0;
    struct stat st {};
    const auto fail = [&](const std::string& why) {
        error = why;
        ::close(claim);
        return 0;
    };
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) return fail(path + " exists and is not a symlink; not replacing it");
        // No running simulator owns it: one that died left it.
        if (unlink(path.c_str()) != 0) return fail(SystemError("cannot remove the old link " + path));
    }
    if (symlink(m_slavePath.c_str(), path.c_str()) != 0)
        return fail(SystemError("cannot create the link " + path));
    m_linkPath = path;
    m_linkClaim = claim;
    return 1;
}

void CPseudoTerminal::RemoveLink() {
    if (!m_linkPath.empty()) {
        char target[PATH_MAX];
        const ssize_t n = readlink(m_linkPath.c_str(), target, sizeof target - 1);
        if (n >= 0) {
            target[n] = '\0';
            if (m_slavePath == target) unlink(m_linkPath.c_str());
        }
        m_linkPath.clear();
    }
    // The link is free for another simulator only once it is gone.
    if (m_linkClaim >= 0) ::close(m_linkClaim);
    m_linkClaim = -1;
}
