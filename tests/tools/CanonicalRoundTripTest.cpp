// One value, one text, end to end: a document edited with values in other spellings on all four sheets goes
// to the simulated unit and comes back as the same document and the same text; import says what a text
// leaves out, and applies a partial text onto an existing document.
#include "support/SimulatedUnit.h"
#include "tools/CliFixture.h"

#include <gmock/gmock.h>

namespace {
using ::testing::HasSubstr;

// A suite of its own: each test program has its own copy of the fixture.
class CanonicalCli : public TavikCli {};

// Edits in other spellings than the ones the unit gives back, on every sheet.
const std::vector<std::array<std::string, 4>> kSpelledEdits = {
    {"general", "Device Number", "1", "07"}, {"general", "Hysteresis in %", "1", "0.50"},
    {"general", "Protocol", "1", "modbus"},  {"physical", "IN 11", "InpTp", "24 v"},
    {"physical", "IN 11", "LCDU", " bar "},  {"physical", "IN 11", "LCDUp", "+100"},
    {"physical", "IN 11", "InpUp", "024"},   {"physical", "IN 11", "Misc.", "2.000"},
    {"logical", "LOG1", "I1", "in 11"},      {"alarm", "A11", "InpRef", "in 11"},
    {"alarm", "A11", "SetPoint", "+5"},      {"alarm", "A11", "LCD Text", "Pump  "},
    {"alarm", "A11", "Delay", "2.000"},      {"alarm", "A11", "LED", "off"},
    {"alarm", "A11", "Flags", "hc"},         {"alarm", "A12", "InpRef", "log1"},
    {"alarm", "A12", "Delay", "0.300"},      {"alarm", "A12", "SetPoint", " 3"},
};

TEST_F(CanonicalCli, ASpelledDocumentComesBackFromTheUnitAsTheSameDocumentAndText) {
    SimulatedUnit unit;
    unit.Start();
    const std::string path = NewDocument("nc.zmg");
    const CliResult edit = Cli(EditCommand(path, kSpelledEdits));
    ASSERT_EQ(edit.code, CLI_OK) << edit.out << edit.err;
    // Another spelling of the same value is stored as it is: no correction.
    EXPECT_EQ(CountOf(edit.out, ": ok\n"), static_cast<int>(kSpelledEdits.size())) << edit.out;
    EXPECT_THAT(edit.out, HasSubstr("general Device Number: ok\n"));

    ASSERT_EQ(Cli({"upload", path, "--port", unit.Path()}).code, CLI_OK);
    const CliResult compare = Cli({"compare", path, "--port", unit.Path()});
    EXPECT_EQ(compare.code, CLI_OK) << compare.out;
    EXPECT_EQ(compare.out, "No differences.\n");

    const CliResult download = Cli({"download", Path("fresh.zmg"), "--port", unit.Path()});
    ASSERT_EQ(download.code, CLI_OK) << download.err;
    EXPECT_EQ(Cli({"export", Path("fresh.zmg")}).out, Cli({"export", path}).out) << "byte for byte";
    EXPECT_EQ(Cli({"diff", path, Path("fresh.zmg")}).code, CLI_OK);
    const CliResult text = Cli({"export", path});
    for (const char* canonical :
         {"\"Device Number\": \"7\"", "\"Hysteresis in %\": \"0.5\"", "\"Protocol\": \"MODBUS\"",
          "\"LCDU\": \"bar\"", "\"InpUp\": \"24\"", "\"Misc.\": \"2.000\"", "\"I1\": \"IN 11\"",
          "\"SetPoint\": \"5\"", "\"LCD Text\": \"Pump\"", "\"Delay (s)\": \"2\"", "\"Flags\": \"CH\"",
          "\"Delay (s)\": \"0.3\""})
        EXPECT_THAT(text.out, HasSubstr(canonical));
}

TEST_F(CanonicalCli, ImportListsWhatTheTextLeavesOutAndAppliesAPatchOntoADocument) {
    Json config = Json::parse(Cli({"export", NewDocument("new.zmg")}).out);
    config["alarm"]["A12"].erase("SetPoint");
    config["alarm"].erase("A13");
    config["alarm"].erase("A86"); // the last row
    config.erase("logical");
    WriteFile(Path("partial.json"), config.dump(2));
    const CliResult partial = Cli({"import", Path("partial.json"), Path("out.zmg")});
    EXPECT_EQ(partial.code, CLI_OK) << partial.err;
    EXPECT_EQ(partial.err, "logical: not in the configuration; the defaults of the whole sheet are kept\n"
                           "alarm A12 SetPoint: not in the configuration; the default 0 is kept\n"
                           "alarm A13: not in the configuration; the defaults of the row are kept\n"
                           "alarm A86: not in the configuration; the defaults of the row are kept\n");
    const CliResult strict = Cli({"import", "--strict", Path("partial.json"), Path("strict.zmg")});
    EXPECT_EQ(strict.code, CLI_FAILED);
    EXPECT_THAT(strict.err, HasSubstr("4 values refused"));
    EXPECT_FALSE(fs::exists(Path("strict.zmg")));

    // A text of three cells onto a configured document changes those cells and the ones they carry along.
    const std::string base = NewDocument("base.zmg");
    ASSERT_EQ(Cli(EditCommand(base, kSpelledEdits)).code, CLI_OK);
    WriteFile(Path("patch.json"),
              "{\"format\": \"tavik-configuration\", \"version\": 1, \"physical\": {\"IN 12\": "
              "{\"InpTp\": \"10 v\"}}, \"alarm\": {\"A13\": {\"InpRef\": \"in 12\", "
              "\"LCD Text\": \"Tank \"}}}");
    const CliResult patch = Cli({"import", Path("patch.json"), Path("patched.zmg"), "--onto", base});
    ASSERT_EQ(patch.code, CLI_OK) << patch.out << patch.err;
    EXPECT_EQ(patch.err, "") << "nothing is missing from a patch";
    EXPECT_EQ(patch.out, "physical IN 12 InpTp: ok\n"
                         "alarm A13 InpRef: ok\n"
                         "  also changed: alarm A13 InpTp: \"\" -> \"10 V\"\n"
                         "  also changed: alarm A13 InpLo: \"\" -> \"0\"\n"
                         "  also changed: alarm A13 LCDLo: \"\" -> \"0\"\n"
                         "  also changed: alarm A13 InpUp: \"\" -> \"0\"\n"
                         "  also changed: alarm A13 LCDUp: \"\" -> \"0\"\n"
                         "  also changed: alarm A13 Misc.: \"\" -> \"0\"\n"
                         "alarm A13 LCD Text: ok\n");
    const CliResult diff = Cli({"diff", base, Path("patched.zmg")});
    EXPECT_EQ(diff.code, CLI_DIFFERS);
    EXPECT_EQ(CountOf(diff.out, "\n"), 1 + 3 + 6) << diff.out << "the three cells and the six mirrors";
}
} // namespace
