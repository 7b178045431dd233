#include "tools/tavik-cli/CliCommands.h"

#include <CLI/CLI.hpp>

namespace {
// The words of an edit command line that are edits (SHEET ROW COL TEXT ...) are taken out before the parser
// sees them: a text such as "-REF" or "-5" is a value, not an option. A word counts as an option only where
// a SHEET would stand; "--" there ends the options, so that every later word is a file name or an edit.
std::vector<std::string> TakeEditWords(std::vector<std::string>& args) {
    std::vector<std::string> edits;
    if (args.size() < 2 || args[1] != "edit") return edits;
    std::vector<std::string> kept(args.begin(), args.begin() + 2);
    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool atSheet = edits.size() % 4 == 0;
        if (atSheet && !optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (atSheet && !optionsEnded && word.size() > 1 && word[0] == '-') {
            kept.push_back(word);
        } else if (!haveFile) {
            kept.push_back(word);
            haveFile = true;
        } else {
            edits.push_back(word);
        }
    }
    args = std::move(kept);
    return edits;
}
} // namespace

int RunCli(const std::vector<std::string>& commandLine, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = commandLine;
    const std::vector<std::string> edits = TakeEditWords(args);

    CLI::App app{"Tavik: configure a Zemra-30 alarm annunciator from the command line", "tavik-cli"};
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 done (compare, diff: no differences); 1 a transfer or a save failed; 2 a document "
        "could not be read; 3 compare, diff: the configurations differ; 64 bad usage; 130 a transfer stopped "
        "by "
        "Ctrl-C (a second Ctrl-C ends at once).");
    // Options are written --name on every system; on Windows CLI11 would otherwise read /path as an option.
    app.allow_windows_style_options(false);

    std::string path;
    bool json = false;
    bool yes = false;
    bool no = false;
    TransferOptions transfer;

    CLI::App* newCmd = app.add_subcommand("new", "Write the default configuration");
    newCmd->add_option("OUT", path, "Document to write (.zmg)")->required();

    CLI::App* dumpCmd = app.add_subcommand("dump", "Print a document as tables or as JSON");
    dumpCmd->add_option("FILE", path, "Document to read (.zmg)")->required();
    dumpCmd->add_flag("--json", json, "One JSON object instead of tables");

    CLI::App* editCmd = app.add_subcommand("edit", "Edit cells as in the grid, then save the document");
    editCmd->add_option("FILE", path, "Document to edit (.zmg)")->required();
    auto* yesFlag = editCmd->add_flag("--yes", yes, "Answer OK to confirmations");
    editCmd->add_flag("--no", no, "Answer Cancel to confirmations (the default)")->excludes(yesFlag);
    // Shown in the help only: the edit words never reach the parser (TakeEditWords).
    std::vector<std::string> unused;
    editCmd->add_option(
        "EDITS", unused,
        "SHEET ROW COL TEXT, repeated; SHEET is general|physical|logical|alarm or 0..3; a TEXT "
        "beginning with '-' is a value");

    CLI::App* uploadCmd = app.add_subcommand("upload", "Send a document to the unit");
    uploadCmd->add_option("FILE", path, "Document to send (.zmg)")->required();
    CLI::App* downloadCmd =
        app.add_subcommand("download", "Read the unit's configuration into a new document");
    downloadCmd->add_option("OUT", path, "Document to write on success (.zmg)")->required();
    CLI::App* compareCmd = app.add_subcommand(
        "compare", "Read the unit and list every cell that differs from a document (exit status 3 when any "
                   "does); neither the unit nor the document changes");
    compareCmd->add_option("FILE", path, "Document to compare (.zmg)")->required();
    std::string otherPath;
    CLI::App* diffCmd = app.add_subcommand(
        "diff", "List every cell that differs between two documents (exit status 3 when any does)");
    diffCmd->add_option("A", path, "First document (.zmg)")->required();
    diffCmd->add_option("B", otherPath, "Second document (.zmg)")->required();
    for (CLI::App* cmd : {uploadCmd, downloadCmd, compareCmd}) {
        cmd->add_option("--port", transfer.port, "Serial port: COM1..COM256 or a device path")->required();
        cmd->add_option("--retries", transfer.retries,
                        "Retries of the whole transfer after a failure, each from the General sheet; a port "
                        "that went away is looked for again under its name")
            ->check(CLI::NonNegativeNumber)
            ->capture_default_str();
        cmd->add_flag("--trace", transfer.trace,
                      "Log every message sent and received on stderr, and the message and block of a failure "
                      "(off by default)");
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return CLI_OK;
    } catch (const CLI::ParseError& error) {
        err << "tavik-cli: " << error.what() << '\n' << "Run 'tavik-cli --help' for usage.\n";
        return CLI_USAGE;
    }

    if (newCmd->parsed()) return RunNew(path, err);
    if (dumpCmd->parsed()) return RunDump(path, json, out, err);
    if (editCmd->parsed()) return RunEdit(path, yes, edits, out, err);
    if (uploadCmd->parsed()) return RunUpload(path, transfer, err);
    if (compareCmd->parsed()) return RunCompare(path, transfer, out, err);
    if (diffCmd->parsed()) return RunDiff(path, otherPath, out, err);
    return RunDownload(path, transfer, err);
}
