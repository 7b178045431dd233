// tavik-cli never waits on a path and never finds a bad one after the work: outputs are checked before a
// transfer or an edit, inputs come from any file or pipe, every failed write counts, and a bad command line
// names what is wrong. Each test runs under a watchdog, since the faults it looks for are hangs.
#include "tools/tavik-cli/CliCommands.h"

#include "support/SimulatedUnit.h"
#include "tools/CliFixture.h"
#include "tools/zemra-sim/CZemraSimOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using ::testing::HasSubstr;

constexpr int kWatchdogSeconds = 60;

// Ends the test program when a test blocks, naming it: a command that waits on a pipe would hang the run.
class Watchdog {
public:
    Watchdog() : m_thread([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bDone = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    void Watch() {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_done.wait_for(lock, std::chrono::seconds(kWatchdogSeconds), [this] { return m_bDone; })) return;
        std::fprintf(stderr, "watchdog: %s still runs after %d s: it hangs\n", name.c_str(),
                     kWatchdogSeconds);
        std::_Exit(3);
    }

    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_bDone = false;
    std::thread m_thread;
};

// The command-line fixture, with a watchdog, and the read-only folder a test makes given back to be removed.
class TavikCliFailFast : public TavikCli {
protected:
    ~TavikCliFailFast() override {
        std::error_code ignored;
        fs::permissions(dir / "readonly", fs::perms::owner_all, ignored);
    }

    Watchdog watchdog;
};

// Every output that cannot take the result is refused before the unit is asked anything; a pipe without a
// reader and a pipe named as a document are never opened to wait.
TEST_F(TavikCliFailFast, BadPathsAreRefusedAtOnceAndBeforeTheWork) {
    SimulatedUnit unit;
    unit.Start();
    const std::string document = NewDocument("unit.zmg");
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(Path("folder"));
    // A file in a folder that takes no new file: the save's temporary file could not be made beside it.
    fs::create_directory(Path("readonly"));
    fs::copy_file(document, Path("readonly/unit.zmg"));
    fs::permissions(Path("readonly"), fs::perms::owner_read | fs::perms::owner_exec);
    const bool ownerBound = ::access(Path("readonly").c_str(), W_OK) != 0; // not for root
    const std::string readOnly = ownerBound ? Path("readonly/unit.zmg") : "/sys/tavik-cli-test.zmg";
    // clang-format off
    const std::pair<std::string, std::string> outputs[] = {
        {Path("fifo"), "is not a regular file"}, {"/dev/null", "is not a regular file"},
        {Path("folder"), "Is a directory"}, {readOnly, "Cannot write"},
        {Path("no/folder.zmg"), "No such file or directory"}};
    // clang-format on
    for (const auto& [output, says] : outputs) {
        SCOPED_TRACE(output);
        const CliResult download = Cli({"download", output, "--port", unit.Path()});
        EXPECT_EQ(download.code, CLI_FAILED);
        EXPECT_THAT(download.err, HasSubstr(says));
        EXPECT_EQ(unit.Requests(), 0u) << "refused before the first request";
        for (const std::vector<std::string>& line : {std::vector<std::string>{"export", document, output},
                                                     {"new", "--force", output},
                                                     {"import", Path("unused.json"), output}}) {
            const CliResult result = Cli(line);
            EXPECT_EQ(result.code, CLI_FAILED) << line[0];
            EXPECT_THAT(result.err, HasSubstr(says)) << line[0];
        }
    }
    if (ownerBound) {
        const CliResult edit = Cli({"edit", readOnly, "general", "3", "1", "7"});
        EXPECT_EQ(edit.code, CLI_FAILED);
        EXPECT_EQ(edit.out, "") << "no edit is answered that could not be saved";
    }

    // A pipe that nothing writes to, named as a document or a configuration.
    for (const std::vector<std::string>& line : {std::vector<std::string>{"dump", Path("fifo")},
                                                 {"edit", Path("fifo"), "general", "3", "1", "7"},
                                                 {"upload", Path("fifo"), "--port", unit.Path()},
                                                 {"diff", document, Path("fifo")},
                                                 {"import", Path("fifo"), Path("out.zmg")}}) {
        const CliResult result = Cli(line);
        EXPECT_EQ(result.code, CLI_BAD_FILE) << line[0];
        EXPECT_THAT(result.err, HasSubstr("is a pipe that nothing writes to")) << line[0];
    }
    EXPECT_EQ(unit.Requests(), 0u);

    // A link that points nowhere yet: the download creates its target and keeps the link.
    fs::create_symlink("later.zmg", Path("current.zmg"));
    const CliResult download = Cli({"download", Path("current.zmg"), "--port", unit.Path()});
    EXPECT_EQ(download.code, CLI_OK) << download.err;
    EXPECT_TRUE(fs::is_symlink(Path("current.zmg")));
    EXPECT_EQ(Cli({"diff", Path("later.zmg"), document}).out, "No differences.\n");
    EXPECT_FALSE(fs::exists(Path("no"))) << "the checks leave nothing behind";
    EXPECT_EQ(fs::directory_iterator(Path("folder")), fs::directory_iterator());
}

// A document or a configuration from a pipe, as a shell's process substitution gives it (/dev/fd/N).
TEST_F(TavikCliFailFast, DocumentsAndConfigurationsComeFromPipes) {
    const std::string document = NewDocument("unit.zmg");
    ASSERT_EQ(Cli({"edit", document, "general", "Device Number", "9"}).code, CLI_OK);
    const std::string bytes = ReadFile(document);
    const std::string config = Cli({"export", document}).out;
    // Each command reads a pipe that a thread fills in pieces, as a slow producer does.
    const auto throughPipe = [](const std::string& text, const std::function<CliResult(std::string)>& run) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        std::thread writer([&text, fd = ends[1]] {
            for (std::size_t at = 0; at < text.size(); at += 4096) {
                const std::size_t size = std::min<std::size_t>(4096, text.size() - at);
                EXPECT_EQ(::write(fd, text.data() + at, size), static_cast<ssize_t>(size));
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ::close(fd);
        });
        const CliResult result = run("/dev/fd/" + std::to_string(ends[0]));
        writer.join();
        ::close(ends[0]);
        return result;
    };
    const CliResult diff = throughPipe(bytes, [&](std::string pipe) {
        return Cli({"diff", pipe, document});
    });
    EXPECT_EQ(diff.code, CLI_OK) << diff.err;
    EXPECT_EQ(diff.out, "No differences.\n");
    const CliResult dump = throughPipe(bytes, [](std::string pipe) { return Cli({"dump", pipe}); });
    EXPECT_THAT(dump.out, HasSubstr("== Alarm =="));
    const CliResult import = throughPipe(config, [&](std::string pipe) {
        return Cli({"import", pipe, Path("back.zmg")});
    });
    EXPECT_EQ(import.code, CLI_OK) << import.err;
    EXPECT_EQ(Cli({"diff", Path("back.zmg"), document}).out, "No differences.\n");
}

// A list that does not arrive on standard output is a failure, also when it says the documents differ.
TEST_F(TavikCliFailFast, DiffAndCompareReportAFailedStandardOutput) {
    SimulatedUnit unit;
    unit.Start();
    const std::string same = NewDocument("same.zmg");
    const std::string other = NewDocument("other.zmg");
    ASSERT_EQ(Cli({"edit", other, "general", "Device Number", "9"}).code, CLI_OK);
    for (const std::vector<std::string>& line : {std::vector<std::string>{"diff", same, other},
                                                 {"diff", same, same},
                                                 {"compare", other, "--port", unit.Path()}}) {
        std::ostringstream full, err;
        full.setstate(std::ios::badbit);
        std::vector<std::string> args{"tavik-cli"};
        args.insert(args.end(), line.begin(), line.end());
        EXPECT_EQ(RunCli(args, full, err), CLI_FAILED) << line[0];
        EXPECT_THAT(err.str(), HasSubstr("tavik-cli: cannot write to standard output\n"));
    }
}

// An unknown command names itself and the commands; help works for each command; counts say their range.
TEST_F(TavikCliFailFast, UsageNamesWhatIsWrong) {
    const std::string commands =
        "Commands: new dump export import columns edit upload download compare diff help\n";
    // clang-format off
    const struct { std::vector<std::string> line; int code; std::string out, err; } cases[] = {
        {{"bogus"}, CLI_USAGE, "", "tavik-cli: unknown command 'bogus'\n" + commands},
        {{"dupm", "unit.zmg"}, CLI_USAGE, "", "tavik-cli: unknown command 'dupm' (nearest: dump)\n" + commands},
        {{}, CLI_USAGE, "", "tavik-cli: give a command\n" + commands},
        {{"help"}, CLI_OK, "\nCommands:\n  new   ", ""},
        {{"help", "download"}, CLI_OK, "Usage: tavik-cli download [OPTIONS] OUT\n", ""},
        {{"help", "download"}, CLI_OK, "--retries N=0", ""},
        {{"help", "frob"}, CLI_USAGE, "", "unknown command 'frob'"},
        {{"--help-all"}, CLI_OK, "--strict", ""},
        {{"download", "x.zmg", "--port", "/dev/null", "--retries", "-1"}, CLI_USAGE, "",
         "tavik-cli: --retries takes 0 or more\n"},
        {{"upload", "x.zmg", "--port", "/dev/null", "--retries", std::string(300, '9')}, CLI_USAGE, "",
         "tavik-cli: --retries takes at most 999999\n"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.line));
        const CliResult result = Cli(c.line);
        EXPECT_EQ(result.code, c.code);
        EXPECT_THAT(result.out, HasSubstr(c.out));
        EXPECT_THAT(result.err, HasSubstr(c.err));
    }

    const char* const version[] = {"zemra-sim", "--version"};
    CZemraSimOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse(2, version, error)) << error;
    EXPECT_TRUE(options.version);
    EXPECT_EQ(CZemraSimOptions::VersionText(), std::string("zemra-sim ") + TAVIK_VERSION_TEXT);
}

// dump --json marks as editable exactly the cells that columns lists as editable, in the rows it counts.
TEST_F(TavikCliFailFast, DumpJsonEditableAgreesWithColumns) {
    const nlohmann::json dump = nlohmann::json::parse(Cli({"dump", NewDocument("unit.zmg"), "--json"}).out);
    const char* const sheets[] = {"general", "physical", "logical", "alarm"};
    for (std::size_t type = 0; type < 4; ++type) {
        SCOPED_TRACE(sheets[type]);
        std::istringstream lines(Cli({"columns", sheets[type]}).out);
        std::string line;
        std::getline(lines, line);
        const std::size_t rows = std::stoul(line.substr(line.find("rows 1..") + 8));
        std::set<std::size_t> editable;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::size_t col = 0;
            if (words >> col && line.find("  editable  ") != std::string::npos) editable.insert(col);
        }
        ASSERT_FALSE(editable.empty());
        const nlohmann::json& grid = dump["sheets"][type]["rows"];
        for (std::size_t row = 0; row < grid.size(); ++row)
            for (std::size_t col = 0; col < grid[row].size(); ++col)
                EXPECT_EQ(grid[row][col]["editable"], row >= 1 && row <= rows && editable.count(col) ? 1 : 0)
                    << "row " << row << ", column " << col;
    }
}

} // namespace
