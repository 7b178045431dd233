// tavik-cli upload against the simulated unit: what it writes, where it keeps the unit's previous
// configuration, and what it says when a signal stops it.
#include "tools/tavik-cli/CliCommands.h"

#include "support/SimulatedUnit.h"
#include "tools/CliFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class TavikCliUpload : public TavikCli {
protected:
    TavikCliUpload() {
        unit.Start();
        doc = NewDocument("unit.zmg");
    }

    CliResult Upload(std::vector<std::string> options = {}) {
        std::vector<std::string> args{"upload", doc, "--port", unit.Path()};
        args.insert(args.end(), options.begin(), options.end());
        return Cli(args);
    }
    // The unit's configuration as a download saves it.
    std::string UnitHolds() {
        const CliResult download = Cli({"download", Path("held.zmg"), "--port", unit.Path()});
        EXPECT_EQ(download.code, CLI_OK) << download.err;
        return ReadFile(Path("held.zmg"));
    }
    static std::string Summary(int written) {
        return "wrote " + std::to_string(written) + " of 87 blocks; " + std::to_string(87 - written) +
               " already held these values\n";
    }

    SimulatedUnit unit;
    std::string doc;
};

TEST_F(TavikCliUpload, WritesOnlyWhatDiffersAndKeepsWhatTheUnitHeld) {
    ASSERT_EQ(Cli({"edit", doc, "physical", "1", "1", "20 mA", "physical", "1", "6", "100", "alarm", "1", "1",
                   "IN 11", "alarm", "1", "4", "40"})
                  .code,
              CLI_OK);
    const std::string factory = UnitHolds();
    const CliResult first = Upload();
    ASSERT_EQ(first.code, CLI_OK) << first.err;
    const std::string folder = Path("state") + "/tavik/backups/";
    EXPECT_THAT(first.err, HasSubstr("previous configuration: " + folder + "unit-1-"));
    EXPECT_THAT(first.err, HasSubstr(Summary(2))) << "IN 11 and alarm 1";
    const std::string kept = first.err.substr(first.err.find(folder));
    EXPECT_EQ(ReadFile(kept.substr(0, kept.find('\n'))), factory) << "diff-equal to a download before";

    const CliResult again = Upload({"--backup", "-"});
    ASSERT_EQ(again.code, CLI_OK) << again.err;
    EXPECT_THAT(again.err, HasSubstr("previous configuration: standard output\n" + Summary(0)));
    EXPECT_EQ(again.out, UnitHolds()) << "the backup on standard output";

    ASSERT_EQ(Cli({"edit", doc, "alarm", "1", "4", "41"}).code, CLI_OK);
    const CliResult setPoint = Upload({"--backup", Path("prev.zmg")});
    EXPECT_THAT(setPoint.err, HasSubstr("previous configuration: " + Path("prev.zmg") + "\n" + Summary(1)));
    EXPECT_EQ(ReadFile(Path("prev.zmg")), again.out);

    const CliResult all = Upload({"--all-blocks", "--no-backup"});
    EXPECT_THAT(all.err, HasSubstr(Summary(87)));
    EXPECT_THAT(all.err, Not(HasSubstr("previous configuration")));
    EXPECT_EQ(Upload({"--backup", "x.zmg", "--no-backup"}).code, CLI_USAGE);
}

// The first Ctrl-C (or SIGTERM, SIGHUP) ends an upload after the block in flight and names the blocks
// written, and where the unit's previous configuration is; stopped while the unit is read, nothing was
// written and no backup kept. The exit status tells the signal.
TEST_F(TavikCliUpload, ASignalStopsAnUploadAndNamesTheBlocksItWrote) {
    ASSERT_EQ(Cli({"edit", doc, "physical", "1", "1", "24 V", "alarm", "47", "1", "IN 11", "alarm", "48", "1",
                   "IN 11"})
                  .code,
              CLI_OK);
    const struct {
        int signal, code;
        std::size_t atRequest; // the unit is read in 87 requests; then the first block is written, read back
        const char* says;
    } cases[] = {{SIGTERM, 143, 12, "Nothing was written to the unit; it holds what it held before"},
                 {SIGINT, 130, 88, "1 block was written: Physical Input IN 11\n"},
                 {SIGHUP, 129, 88, "1 block was written: Alarm 47 (A85)\n"}}; // IN 11 is held now
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        CliResult result;
        {
            const AtRequest interrupt(unit, unit.Requests() + c.atRequest, [&c] { std::raise(c.signal); });
            result = Upload({"--retries", "3"});
        }
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_THAT(result.err, HasSubstr(c.signal == SIGINT ? "stopped by Ctrl-C" : "stopped by SIG"));
        EXPECT_THAT(result.err, HasSubstr(c.says));
        EXPECT_THAT(result.err, HasSubstr(c.atRequest < 87 ? "no backup was kept"
                                                           : "previous configuration: " + Path("state")));
        EXPECT_THAT(result.err, Not(HasSubstr("mix")));
        EXPECT_THAT(result.err, Not(HasSubstr("retrying"))) << "a stop is not retried";
    }
}

} // namespace
