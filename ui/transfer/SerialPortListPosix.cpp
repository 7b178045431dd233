#ifndef _WIN32

#include "ui/transfer/SerialPortList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The names in folder that pass `wanted`, as folder/name; directories and hidden names are left out.
template <typename Wanted>
void AddEntries(const std::string& folder, Wanted wanted, std::vector<std::string>& out) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || it->is_directory(error) || !wanted(name)) continue;
        out.push_back(folder + "/" + name);
    }
}

} // namespace

std::vector<std::string> ListSerialPorts(const std::string& deviceRoot) {
    std::string root = deviceRoot;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    std::vector<std::string> ports;
    AddEntries(
        root,
        [](const std::string& name) { return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0; },
        ports);
    // The by-id names stay the same whichever order adapters are plugged in.
    AddEntries(
        root + "/serial/by-id", [](const std::string&) { return true; }, ports);
    std::sort(ports.begin(), ports.end());
    return ports;
}

#endif
