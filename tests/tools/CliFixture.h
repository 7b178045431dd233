#pragma once

// The command-line tests' shared fixture: tavik-cli run in-process through RunCli, each test in its own
// folder, transfers with short pauses.

#include "tools/tavik-cli/CliCommands.h"

#include "link/TransferWaits.h"
#include "support/SimulatedUnit.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// In each test program's own unnamed namespace: the helpers are small and header-only.
namespace {
namespace fs = std::filesystem;
using Json = nlohmann::json;

// Transfers run with short pauses (a download takes under two seconds instead of nine).
constexpr int kShortWaitMs = 20;

// "°C" and "±" as a user types them (UTF-8).
const std::string kDegreesC = "\xC2\xB0"
                              "C";
const std::string kPlusMinus = "\xC2\xB1";

struct CliResult {
    int code;
    std::string out, err;
};

inline CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "tavik-cli");
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// "edit PATH" followed by SHEET ROW COL TEXT for each edit.
inline std::vector<std::string> EditCommand(const std::string& path,
                                            const std::vector<std::array<std::string, 4>>& edits) {
    std::vector<std::string> args{"edit", path};
    for (const auto& edit : edits)
        args.insert(args.end(), edit.begin(), edit.end());
    return args;
}

class TavikCli : public ::testing::Test {
protected:
    TavikCli() {
        dir = fs::path(::testing::TempDir()) /
              ("tavik-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        TransferWaits::SetBlockWaitMsForTests(kShortWaitMs);
        // Uploads keep the unit's previous configuration here, never in the real home.
        ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    }
    ~TavikCli() override {
        TransferWaits::SetBlockWaitMsForTests(TransferWaits::UNIT_BLOCK_WAIT_MS);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // A new document at name.
    std::string NewDocument(const std::string& name) {
        const std::string path = Path(name);
        EXPECT_EQ(Cli({"new", path}).code, CLI_OK);
        return path;
    }

    Json Dump(const std::string& path) {
        const CliResult result = Cli({"dump", path, "--json"});
        EXPECT_EQ(result.code, CLI_OK) << result.err;
        return Json::parse(result.out);
    }

    static std::string Value(const Json& dump, int sheet, int row, int col) {
        return dump["sheets"][sheet]["rows"][row][col]["value"].get<std::string>();
    }

    fs::path dir;
};
// Runs `action` on a thread of its own once the unit has taken `requests` requests.
class AtRequest {
public:
    AtRequest(SimulatedUnit& unit, std::size_t requests, std::function<void()> action)
        : m_thread([&unit, requests, action = std::move(action), this] {
              while (!m_bDone && unit.Requests() < requests)
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              if (!m_bDone) action();
          }) {}
    ~AtRequest() {
        m_bDone = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};

} // namespace
