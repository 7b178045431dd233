// tavik-cli end to end through RunCli: documents on disk, and transfers against the simulated unit on a
// pseudo-terminal.
#include "tools/tavik-cli/CliCommands.h"

#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/Cp1252.h"
#include "support/RandomEdit.h"
#include "support/SimulatedUnit.h"
#include "tools/CliFixture.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace {

using ::testing::HasSubstr;

// --- new and dump.

TEST_F(TavikCli, NewWritesTheDefaultsAndDumpShowsEverySheetInUtf8) {
    const std::string path = NewDocument("unit.zmg");
    CTavikDoc defaults;
    defaults.OnNewDocument();
    const std::vector<std::uint8_t> bytes = defaults.SaveToBytes();
    EXPECT_EQ(ReadFile(path), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(Cli({"new", Path("no/such/folder/unit.zmg")}).code, CLI_FAILED);

    const CliResult result = Cli({"dump", path, "--json"});
    ASSERT_EQ(result.code, CLI_OK) << result.err;
    Json dump;
    ASSERT_NO_THROW(dump = Json::parse(result.out)) << "the output is one valid JSON value";
    EXPECT_EQ(dump["version"], 3);
    const Json& sheets = dump["sheets"];
    ASSERT_EQ(sheets.size(), 4u);
    // Every section of the data sheet, the title row and the hidden rows included.
    const CDataSheet* alarms = defaults.GetZemUnit()->GetSetupType(SETUP_ALARM)->GetDataSheet();
    EXPECT_EQ(sheets[3]["rows"].size(), static_cast<std::size_t>(alarms->GetNumSections()));
    EXPECT_EQ(sheets[3]["title"], "Alarm");
    EXPECT_EQ(Value(dump, 3, 48, 0), "48 (A86)");
    EXPECT_EQ(dump["alarmFlags"].size(), 48u);
    EXPECT_EQ(dump["alarmFlags"][47][2]["name"], "Hysteresis");
    // Windows-1252 bytes of the document come out as UTF-8.
    const Json& units = sheets[1]["rows"][1][2]["items"];
    EXPECT_NE(std::find(units.begin(), units.end(), kDegreesC), units.end());
    EXPECT_EQ(sheets[3]["rows"][0][3]["value"], "<>" + kPlusMinus);
    EXPECT_THAT(Cli({"dump", path}).out, HasSubstr("== Physical Input ==")) << "as tables";
}

TEST_F(TavikCli, DamagedFilesExitWith2AndAMissingPortWith1) {
    const std::string good = ReadFile(NewDocument("good.zmg"));
    WriteFile(Path("truncated.zmg"), good.substr(0, good.size() / 2));
    WriteFile(Path("empty.zmg"), "");
    WriteFile(Path("garbage.zmg"), std::string(300, '\x7F'));
    fs::create_directory(Path("folder.zmg"));
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"truncated.zmg", "not a valid Tavik document"}, {"empty.zmg", "not a Tavik document"},
        {"garbage.zmg", "not a Tavik document"}, {"folder.zmg", "is not a file"},
        {"missing.zmg", "No such file"}};
    // clang-format on
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const CliResult result = Cli({"dump", Path(name), "--json"});
        EXPECT_EQ(result.code, CLI_BAD_FILE);
        EXPECT_EQ(result.out, "") << "nothing half-printed";
        EXPECT_THAT(result.err, HasSubstr(reason));
        EXPECT_EQ(Cli({"edit", Path(name), "general", "3", "1", "5"}).code, CLI_BAD_FILE);
        EXPECT_EQ(Cli({"upload", Path(name), "--port", Path("no-such-tty")}).code, CLI_BAD_FILE);
    }
    EXPECT_FALSE(fs::exists(Path("missing.zmg"))) << "a failed edit creates nothing";

    const CliResult noPort = Cli({"upload", Path("good.zmg"), "--port", Path("no-such-tty")});
    EXPECT_EQ(noPort.code, CLI_FAILED);
    EXPECT_THAT(noPort.err, HasSubstr("Error to open com port"));
    EXPECT_THAT(noPort.err, HasSubstr("no-such-tty"));
}

// --- edit.

// Each row is one edit on a fresh document: words after "edit PATH", the answer lines, the exit status, the
// cell and the value the saved document then holds, and a note expected on stderr. A confirmation is
// cancelled unless --yes is given; a refused edit saves nothing.
TEST_F(TavikCli, EditTakesEveryTextTheGridTakesAndSaysWhatHappened) {
    const std::string unstorable = "refused: " + std::string(g_strNotCp1252) + " (\u03A9)\n";
    const std::string reset = "message: Warning: This will restore default configuration";
    const std::string confirm = "refused: the sheet asks to confirm this value: give --yes\n";
    const std::string nearest = "Entered value is out of range. The nearest value will be used.\n";
    const std::string nearestDelay =
        "The unit cannot hold this delay exactly. The nearest delay it can hold will be used.\n";
    // clang-format off
    const struct {
        std::vector<std::string> words; std::string answer; int code, sheet, row, col; std::string value, note;
    } cases[] = {
        {{"general", "11", "1", "-REF"}, "ok\n", 0, 0, 11, 1, "-REF", ""},
        {{"general", "1", "1", "CONFIG"}, confirm, 1, 0, 1, 1, "OFF", reset}, // asked, and cancelled
        {{"--no", "general", "1", "1", "CONFIG"}, confirm, 1, 0, 1, 1, "OFF", reset},
        {{"--yes", "general", "1", "1", "CONFIG"}, "ok\n", 0, 0, 1, 1, "CONFIG", reset},
        {{"physical", "1", "1", "20 mA", "physical", "1", "4", "-5"}, "ok\nok\n", 0, 1, 1, 4, "-5", ""},
        // the sheet by its number; rows and columns by their titles, in any case; General without a column
        {{"physical", "1", "1", "24 V", "3", "1", "1", "IN 11"}, "ok\nok\n", 0, 3, 1, 1, "IN 11", ""},
        {{"physical", "in 21", "inptp", "24 V", "physical", "IN 21", "LCDU", "psi"}, "ok\nok\n", 0, 1, 4, 2,
         "psi", ""},
        {{"general", "device number", "7"}, "ok\n", 0, 0, 3, 1, "7", ""},
        {{"general", "Hysteresis in %", "Selections", "2.5"}, "ok\n", 0, 0, 14, 1, "2.5", ""},
        {{"physical", "1", "1", "24 V", "alarm", "1", "1", "IN 11", "alarm", "1", "9", "BH"},
         "ok\nok\nok\n", 0, 3, 1, 9, "BH",
         "message: Block is disabled. Enable BLOCK in General pane for this parameter to take effect.\n"},
        {{"alarm", "2", "3", ">"},
         "refused 62007: This alarm is disabled. Not able to change this parameter.\n", 1, 3, 2, 3, "<", ""},
        {{"general", "3", "1", "99"}, "refused 62012: Invalid value. Last value will be used. Allowed: 1 to 62\n",
         1, 0, 3, 1, "1", ""},
        {{"logical", "LOG1", "I1", "LOG1"}, "refused: the sheet does not take this value here. Allowed: OFF\n", 1, 2, 1, 1,
         "OFF", ""},
        {{"alarm", "A11", "LCDU", "bar"}, "refused: the column \"LCDU\" of the Alarm sheet is read-only\n",
         1, 3, 1, 11, "", ""},
        // stored corrected: cut to the cell's length, or the nearest value the rules allow
        {{"physical", "1", "1", "20 mA", "physical", "1", "2", "kPa\u00B0C"},
         "ok\ncorrected to \"kPa\u00B0\": the cell takes at most 4 characters\n", 0, 1, 1, 2, "kPa\xB0", ""},
        {{"physical", "1", "1", "20 mA", "physical", "1", "InpUp", "25"},
         "ok\ncorrected to \"20\": Out off range. The closest match will be used.\n", 0, 1, 1, 5, "20", ""},
        {{"physical", "1", "1", "24 V", "physical", "1", "LCDUp", "100", "alarm", "A11", "InpRef", "IN 11",
          "alarm", "A11", "SetPoint", "150"}, "ok\nok\nok\ncorrected to \"100\": " + nearest, 0, 3, 1, 4, "100",
         ""},
        {{"physical", "1", "1", "24 V", "alarm", "1", "1", "IN 11", "alarm", "A11", "Delay", "1.234"},
         "ok\nok\ncorrected to \"1.23\": " + nearestDelay, 0, 3, 1, 6, "1.23", ""},
        {{"physical", "1", "1", "20 mA", "physical", "1", "2", "k\u03A9"}, "ok\n" + unstorable, 1, 1, 1, 1,
         "OFF", ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        const std::string path = NewDocument("unit.zmg");
        std::vector<std::string> args{"edit", path};
        args.insert(args.end(), c.words.begin(), c.words.end());
        const CliResult result = Cli(args);
        EXPECT_EQ(result.code, c.code) << result.err;
        std::string answers; // without the places that begin each line, nor the lines of other changed cells
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("  also changed: ", 0) != 0) answers += line.substr(line.find(": ") + 2) + "\n";
        EXPECT_EQ(answers, c.answer);
        EXPECT_THAT(result.err, HasSubstr(c.note));
        EXPECT_EQ(Value(Dump(path), c.sheet, c.row, c.col), Utf8FromCp1252(c.value));
        fs::remove(path);
    }
}

// The cells an edit changes besides its own are listed as edit names them; here an alarm switched off loses
// its dynamic reference, comparison and mirrored input parameters.
TEST_F(TavikCli, EditListsTheOtherCellsItChanged) {
    const std::string path = NewDocument("unit.zmg");
    // clang-format off
    ASSERT_EQ(Cli(EditCommand(path, {{"physical", "1", "1", "24 V"}, {"logical", "1", "1", "IN 11"},
                                     {"alarm", "1", "1", "IN 11"}, {"alarm", "1", "2", "LOG1"},
                                     {"alarm", "1", "6", "5"}})).code, CLI_OK);
    // clang-format on
    const CliResult result = Cli({"edit", path, "alarm", "A11", "InpRef", "OFF"});
    EXPECT_EQ(result.code, CLI_OK) << result.err;
    EXPECT_EQ(result.out, "alarm A11 InpRef: ok\n"
                          "  also changed: alarm A11 DynRef: \"LOG1\" -> \"OFF\"\n"
                          "  also changed: alarm A11 <>\u00B1: \"\u00B1\" -> \"<\"\n"
                          "  also changed: alarm A11 Delay (s): \"5\" -> \"0.3\"\n"
                          "  also changed: alarm A11 InpTp: \"24 V\" -> \"\"\n"
                          "  also changed: alarm A11 InpLo: \"0\" -> \"\"\n"
                          "  also changed: alarm A11 LCDLo: \"0\" -> \"\"\n"
                          "  also changed: alarm A11 InpUp: \"0\" -> \"\"\n"
                          "  also changed: alarm A11 LCDUp: \"0\" -> \"\"\n"
                          "  also changed: alarm A11 Misc.: \"0\" -> \"\"\n");
}

TEST_F(TavikCli, BadUsageExitsWith64AndChangesNothing) {
    const std::string path = NewDocument("unit.zmg");
    const std::string before = ReadFile(path);
    // clang-format off
    const std::vector<std::vector<std::string>> lines = {
        {}, {"frobnicate"}, {"dump"}, {"new"},
        {"edit", path, "physical", "3", "1"},                              // three words of an edit
        {"edit", path, "alarm", "A99", "SetPoint", "1"}, {"edit", path, "alarm", "A11", "SetPiont", "1"},
        {"edit", path, "alarms", "1", "1", "IN 11"}, {"edit", path, "4", "1", "1", "x"}, // no such sheet
        {"edit", path, "alarm", "0", "1", "x"}, {"edit", path, "alarm", "49", "1", "x"}, // no such row
        {"edit", path, "alarm", "1", "0", "x"}, {"edit", path, "general", "1x", "1", "x"}, // nor column
        {"edit", path, "general", "3", "1", "5", "alarm", "99", "1", "x"}, // a bad edit after a good one
        {"edit", path, "--yes", "--no", "general", "3", "1", "5"},
        {"edit", path, "general", "3", "1", "5", "--frob"},                // an option where a sheet stands
        {"edit", path, "general", "-3", "1", "5"},                         // a row is never negative
        {"upload", path}, {"download", Path("out.zmg")},
        {"download", Path("out.zmg"), "--port", "/dev/null", "--retries", "-1"},
        {"download", Path("out.zmg"), "--port", "/dev/null", "--retries", "many"},
    };
    // clang-format on
    for (const auto& line : lines) {
        SCOPED_TRACE(::testing::PrintToString(line));
        const CliResult result = Cli(line);
        EXPECT_EQ(result.code, CLI_USAGE);
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_EQ(ReadFile(path), before) << "no edit of a refused command line is saved";
    EXPECT_FALSE(fs::exists(Path("out.zmg")));
}

// --- export and import.

// Documents made by the random edit walk: export, import and diff give "No differences"; the second export
// has the same bytes; the text keeps one value a line with no trailing blanks.
TEST_F(TavikCli, ExportImportRoundTripOfRandomDocuments) {
    std::mt19937 random(22);
    int units = 0;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        {
            CScriptedPrompt prompt(true);
            CTavikDoc doc;
            doc.OnNewDocument();
            CZemUnit& unit = *doc.GetZemUnit();
            // Every other round starts from active inputs and alarms, so that most edits are taken.
            for (int row = 1; round % 2 && row <= 24; ++row)
                unit.GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(row, 1, "24 V");
            for (int row = 1; round % 2 && row <= 48; ++row)
                unit.GetSetupType(SETUP_ALARM)->ValidateData(row, 1, "IN 11");
            for (int step = 0; step < 400; ++step)
                RandomEdit(unit, random, units, false);
            std::string error;
            ASSERT_TRUE(doc.OnSaveDocument(Path("walk.zmg"), error)) << error;
        }
        const CliResult exported = Cli({"export", Path("walk.zmg")});
        ASSERT_EQ(exported.code, CLI_OK) << exported.err;
        ASSERT_EQ(exported.out.rfind("{\n  \"format\": \"tavik-configuration\",\n  \"version\": 1,\n", 0),
                  0u);
        EXPECT_EQ(exported.out.find(" \n"), std::string::npos) << "no trailing blanks";
        EXPECT_EQ(CountOf(exported.out, "\n"), 1 + 2 + 8 + 14 + 24 * 9 + 7 * 14 + 48 * 11 + 1)
            << "one value a line";
        WriteFile(Path("walk.json"), exported.out);
        const CliResult imported = Cli({"import", "--yes", Path("walk.json"), Path("back.zmg")});
        ASSERT_EQ(imported.code, CLI_OK) << imported.err;
        EXPECT_EQ(imported.out.find("corrected"), std::string::npos) << imported.out;
        EXPECT_EQ(imported.err.find("not in the configuration"), std::string::npos)
            << "an export leaves nothing out";
        const CliResult diff = Cli({"diff", Path("walk.zmg"), Path("back.zmg")});
        EXPECT_EQ(diff.out, "No differences.\n");
        EXPECT_EQ(Cli({"export", Path("back.zmg"), Path("again.json")}).code, CLI_OK);
        EXPECT_EQ(ReadFile(Path("again.json")), exported.out);
    }
}

// What import refuses, corrects and cannot read; standard input and output stand for files as "-".
TEST_F(TavikCli, ImportChecksEveryValueAndWritesOnlyWhatTheRulesHold) {
    const std::string head = "{\"format\": \"tavik-configuration\", \"version\": 1";
    const std::string active = ", \"physical\": {\"IN 11\": {\"InpTp\": \"24 V\", \"LCDUp\": \"100\"}}";
    // clang-format off
    const struct { std::string text; int code; std::string says; } cases[] = {
        {head + "}", 0, ""},
        {head + active + ", \"alarm\": {\"a11\": {\"inpref\": \"in 11\", \"SetPoint\": \"150\"}}}", 0,
         "alarm A11 SetPoint: corrected to \"100\": Entered value is out of range"},
        {head + ", \"alarm\": {\"A11\": {\"SetPoint\": \"5\"}}}", 1,
         "alarm A11 SetPoint: refused 62007: This alarm is disabled"},
        {head + ", \"alarms\": {}}", 1, "refused: unknown sheet \"alarms\"; nearest: alarm"},
        {head + ", \"alarm\": {\"A87\": {}}}", 1, "unknown row \"A87\"; nearest: A"},
        {head + ", \"alarm\": {\"A11\": {\"SetPiont\": \"1\"}}}", 1, "nearest: SetPoint"},
        {head + ", \"alarm\": {\"A11\": {\"LCDU\": \"1\"}}}", 1, "read-only"},
        {head + ", \"general\": {\"Device Number\": 7}}", 1, "a text in double quotes"},
        {head + ", \"general\": {\"Initialization\": \"CONFIG\"}}", 1, "give --yes"},
        {head + ",\n  \"general\": {\"Block\": \"OFF\",}}", 2, "is not valid JSON: parse error at line 2, column"},
        {"{\"format\": \"qdmr\"}", 2, "does not begin with \"format\": \"tavik-configuration\""},
        {"[1, 2]", 2, "not a Tavik configuration"},
        {"{\"format\": \"tavik-configuration\", \"version\": 2}", 2, "format version 2"},
        {head + ", \"general\": \"x\"}", 2, "is not an object of rows"},
        {head + ", \"general\": {}, \"general\": {}}", 2, "given twice"},
        {std::string(200, '[') , 2, "nested too deeply at line 1, column 9"},
        {head + ", \"x\": \"" + std::string(2 << 20, 'x') + "\"}", 2, "far too large"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 120));
        WriteFile(Path("in.json"), c.text);
        const CliResult result = Cli({"import", Path("in.json"), Path("out.zmg")});
        EXPECT_EQ(result.code, c.code) << result.err;
        // Per-value lines on standard output, diagnostics on standard error.
        EXPECT_THAT(c.code == CLI_BAD_FILE ? result.err : result.out, HasSubstr(c.says));
        EXPECT_EQ(fs::exists(Path("out.zmg")), c.code == CLI_OK) << "written only when nothing is refused";
        fs::remove(Path("out.zmg"));
    }
    const std::string corrected =
        head + active + ", \"alarm\": {\"A11\": {\"InpRef\": \"IN 11\", \"SetPoint\": \"150\"}}}";
    WriteFile(Path("in.json"), corrected);
    EXPECT_EQ(Cli({"import", "--strict", Path("in.json"), Path("out.zmg")}).code, CLI_FAILED);
    EXPECT_FALSE(fs::exists(Path("out.zmg"))) << "--strict refuses corrections";

    // Through standard input and output: the configuration in, the document out, and back to text.
    std::istringstream config(corrected);
    std::ostringstream document, err;
    ASSERT_EQ(RunCli({"tavik-cli", "import", "-", "-"}, config, document, err), CLI_OK) << err.str();
    std::istringstream documentIn(document.str());
    std::ostringstream text;
    ASSERT_EQ(RunCli({"tavik-cli", "export", "-"}, documentIn, text, err), CLI_OK) << err.str();
    EXPECT_THAT(text.str(), HasSubstr("      \"SetPoint\": \"100\",\n"));
}

// --- files.

TEST_F(TavikCli, FilesAreReplacedOnlyWhereThatIsSafe) {
    const std::string site = NewDocument("site-a.zmg");
    fs::create_symlink("site-a.zmg", Path("current.zmg"));
    ASSERT_EQ(Cli({"edit", Path("current.zmg"), "general", "Device Number", "7"}).code, CLI_OK);
    EXPECT_TRUE(fs::is_symlink(Path("current.zmg"))) << "the link stays";
    EXPECT_EQ(Value(Dump(site), 0, 3, 1), "7") << "and the file it points to has the edit";
    fs::create_symlink("later.zmg", Path("dangling.zmg"));
    EXPECT_EQ(Cli({"new", Path("dangling.zmg")}).code, CLI_OK);
    EXPECT_TRUE(fs::is_regular_file(Path("later.zmg")));

    const std::string before = ReadFile(site);
    EXPECT_EQ(Cli({"new", site}).code, CLI_FAILED) << "new does not replace a file without --force";
    EXPECT_EQ(ReadFile(site), before);
    EXPECT_EQ(Cli({"new", "--force", site}).code, CLI_OK);
    EXPECT_NE(ReadFile(site), before);
    // Nothing but a regular file is replaced: not a pipe, nor a link to a device.
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", Path("null.zmg"));
    for (const std::string name : {"pipe", "null.zmg"}) {
        const CliResult result = Cli({"new", "--force", Path(name)});
        EXPECT_EQ(result.code, CLI_FAILED) << name;
        EXPECT_THAT(result.err, HasSubstr("is not a regular file"));
    }
    EXPECT_TRUE(fs::is_symlink(Path("null.zmg")));

    // Output that does not arrive is a failure.
    std::ostringstream full;
    full.setstate(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(RunCli({"tavik-cli", "dump", site}, full, err), CLI_FAILED);
    EXPECT_THAT(err.str(), HasSubstr("cannot write"));
    EXPECT_EQ(Cli({"--version"}).out, std::string("tavik-cli ") + TAVIK_VERSION_TEXT + "\n");
    EXPECT_THAT(Cli({"--help"}).out, HasSubstr("count from 1"));
    EXPECT_THAT(Cli({"columns", "alarm"}).out, HasSubstr("SetPoint"));
}

// A simulator refuses the link of one that runs, and leaves it alone when it ends.
TEST_F(TavikCli, SimulatorLinksBelongToTheSimulatorThatMadeThem) {
    CPseudoTerminal first, second;
    std::string error;
    ASSERT_TRUE(first.Open(error) && second.Open(error)) << error;
    const std::string link = Path("zemra");
    ASSERT_TRUE(first.PlaceLink(link, error)) << error;
    EXPECT_FALSE(second.PlaceLink(link, error));
    EXPECT_THAT(error, HasSubstr("running simulator"));
    second.Close();
    EXPECT_EQ(fs::read_symlink(link).string(), first.SlavePath());
    first.Close();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    ASSERT_TRUE(second.Open(error) && second.PlaceLink(link, error)) << error;
}

// --- upload and download against the simulated unit.

TEST_F(TavikCli, UploadDownloadCompareAndDiff) {
    SimulatedUnit unit;
    unit.Start();
    const std::string inUnit = NewDocument("unit.zmg");
    // clang-format off
    ASSERT_EQ(Cli(EditCommand(inUnit, {{"general", "3", "1", "17"}, {"general", "14", "1", "2.5"},
                                       {"physical", "1", "1", "24 V"}, {"logical", "1", "1", "IN 11"},
                                       {"alarm", "1", "1", "IN 11"}})).code, CLI_OK);
    // clang-format on
    const CliResult upload = Cli({"upload", inUnit, "--port", unit.Path()});
    ASSERT_EQ(upload.code, CLI_OK) << upload.err;

    const CliResult download = Cli({"download", Path("back.zmg"), "--port", unit.Path(), "--trace"});
    ASSERT_EQ(download.code, CLI_OK) << download.err;
    EXPECT_THAT(download.err, HasSubstr(" > 23 42 30 30 34 32 24")) << "the request for General block 0";
    EXPECT_EQ(CountOf(download.err, " > 23 "), 87);
    EXPECT_EQ(CountOf(download.err, " < 23 "), 87);
    EXPECT_THAT(download.err, ::testing::Not(HasSubstr("corrected")))
        << "what was uploaded comes back as it was";
    EXPECT_EQ(Cli({"diff", Path("back.zmg"), inUnit}).code, CLI_OK) << "the download gives the document back";

    const std::string edited = Path("edited.zmg");
    fs::copy_file(inUnit, edited);
    // clang-format off
    ASSERT_EQ(Cli(EditCommand(edited, {{"general", "3", "1", "18"}, {"physical", "2", "1", "24 V"},
                                       {"logical", "1", "2", "IN 12"}, {"alarm", "1", "5", "PUMP"}})).code,
              CLI_OK);
    // clang-format on
    const std::string before = ReadFile(edited);
    const std::string list = "Sheet\tRow\tColumn\tDocument\tUnit\n"
                             "General\tDevice Number\tSelections\t18\t17\n"
                             "Physical Input\tIN 12\tInpTp\t24 V\tOFF\n"
                             "Logical Input\tLOG1 (1A)\tI2\tIN 12\tOFF\n"
                             "Alarm\t1  (A11)\tLCD Text\tPUMP\t\n";
    const CliResult differs = Cli({"compare", edited, "--port", unit.Path()});
    EXPECT_EQ(differs.code, CLI_DIFFERS) << differs.err;
    EXPECT_EQ(differs.out, list);
    EXPECT_EQ(ReadFile(edited), before) << "compare changes no document";
    const CliResult same = Cli({"compare", inUnit, "--port", unit.Path()});
    EXPECT_EQ(same.code, CLI_OK) << same.err;
    EXPECT_EQ(same.out, "No differences.\n") << "nor the unit";

    const CliResult diff = Cli({"diff", edited, inUnit});
    EXPECT_EQ(diff.code, CLI_DIFFERS);
    EXPECT_EQ(diff.out.substr(diff.out.find('\n')), list.substr(list.find('\n'))) << "the same list offline";
    EXPECT_EQ(Cli({"diff", edited, Path("missing.zmg")}).code, CLI_BAD_FILE);
}

TEST_F(TavikCli, DownloadRetriesAndTellsWhatTheSheetsCorrected) {
    SimulatedUnit unit;
    unit.HoldASetPointAboveItsRange();
    unit.AddFault("general/7:checksum:2"); // a bad checksum twice on the last General block
    unit.Start();
    WriteFile(Path("out.zmg"), "previous contents");
    const CliResult tooFew = Cli({"download", Path("out.zmg"), "--port", unit.Path(), "--retries", "1"});
    EXPECT_EQ(tooFew.code, CLI_FAILED);
    EXPECT_EQ(CountOf(tooFew.err, "retrying"), 1);
    EXPECT_THAT(tooFew.err, HasSubstr("Error to download General data: General, block 8: wrong checksum\n"));
    EXPECT_THAT(tooFew.err, ::testing::Not(HasSubstr("message 66"))) << "protocol words only in a trace";
    EXPECT_EQ(ReadFile(Path("out.zmg")), "previous contents") << "written only on success";

    unit.Stop();
    unit.AddFault("general/7:checksum:2");
    unit.Resume();
    const CliResult result =
        Cli({"download", Path("out.zmg"), "--port", unit.Path(), "--retries", "2", "--trace"});
    EXPECT_EQ(result.code, CLI_OK) << result.err;
    EXPECT_EQ(CountOf(result.err, "retrying"), 2);
    EXPECT_THAT(result.err, HasSubstr("(0 retries left)"));
    EXPECT_THAT(result.err, HasSubstr("General, block 8: wrong checksum (message 66, block 7); retrying"))
        << "each retry says where and why, a trace adds the message and block";
    EXPECT_THAT(result.err, HasSubstr("tavik-cli: The sheets corrected values the unit holds"));
    EXPECT_THAT(result.err,
                HasSubstr("Alarm 1 (A11), SetPoint: the unit holds \"150\", the sheet shows \"100\"\n"));
    EXPECT_EQ(Value(Dump(Path("out.zmg")), 3, 1, 4), "100") << "the document holds what the sheets show";
    // The unit does not hold what that document says, and compare tells so with the unit's own values.
    const CliResult compare = Cli({"compare", Path("out.zmg"), "--port", unit.Path()});
    EXPECT_EQ(compare.code, CLI_DIFFERS) << compare.err;
    EXPECT_THAT(compare.out, HasSubstr("\tSetPoint\t100\t150\n"));
}

// The unit restarts under the same link in the middle of a download: the retry opens the port again by its
// name and completes. A download whose output cannot be written asks the unit nothing.
TEST_F(TavikCli, ARetryFindsARestartedUnitAndADownloadChecksItsOutputFirst) {
    SimulatedUnit unit;
    unit.UseLink(Path("link"));
    unit.Start();
    fs::create_directory(Path("adir"));
    const CliResult intoDir = Cli({"download", Path("adir"), "--port", unit.Path()});
    EXPECT_EQ(intoDir.code, CLI_FAILED);
    EXPECT_THAT(intoDir.err, HasSubstr("Cannot write '" + Path("adir") + "'"));
    EXPECT_EQ(unit.Requests(), 0u) << "checked before the first request";

    CliResult result;
    {
        const AtRequest restart(unit, 12, [&unit] {
            unit.Vanish();
            std::this_thread::sleep_for(std::chrono::milliseconds(15 * kShortWaitMs));
            unit.Start();
        });
        result = Cli({"download", Path("out.zmg"), "--port", unit.Path(), "--retries", "1"});
    }
    EXPECT_EQ(result.code, CLI_OK) << result.err;
    EXPECT_THAT(result.err, HasSubstr(": port error: ")) << "the unit went away";
    EXPECT_EQ(CountOf(result.err, "retrying"), 1);
    EXPECT_TRUE(fs::exists(Path("out.zmg")));
}

} // namespace
