#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliFiles.h"
#include "tools/tavik-cli/CliUsage.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {
// The words of an edit command line that are edits (SHEET ROW COL TEXT ...) are taken out before the parser
// sees them: a text such as "-REF" or "-5" is a value, not an option. A word counts as an option only where
// a SHEET would stand; "--" there ends the options, so that every later word is a file name or an edit.
std::vector<std::string> TakeEditWords(std::vector<std::string>& args) {
    std::vector<std::string> edits;
    if (args.size() < 2 || args[1] != "edit") return edits;
    std::vector<std::string> kept(args.begin(), args.begin() + 2);
    std::vector<std::string> edit; // the words of the edit being read
    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool atSheet = edit.empty();
        if (atSheet && !optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (atSheet && !optionsEnded && word.size() > 1 && word[0] == '-') {
            kept.push_back(word);
        } else if (!haveFile) {
            kept.push_back(word);
            haveFile = true;
        } else {
            edits.push_back(word);
            edit.push_back(word);
            if (IsEditComplete(edit)) edit.clear();
        }
    }
    args = std::move(kept);
    return edits;
}

std::string VersionText() {
    // The program's one version text, as the About box and the installer write it ("1.00").
    return std::string("tavik-cli ") + TAVIK_VERSION_TEXT;
}
} // namespace

int RunCli(const std::vector<std::string>& commandLine, std::ostream& out, std::ostream& err) {
    return RunCli(commandLine, std::cin, out, err);
}

int RunCli(const std::vector<std::string>& commandLine, std::istream& in, std::ostream& out,
           std::ostream& err) {
    std::vector<std::string> args = commandLine;
    const std::vector<std::string> edits = TakeEditWords(args);

    CLI::App app{"Tavik: configure a Zemra-30 alarm annunciator from the command line", "tavik-cli"};
    app.require_subcommand(1);
    app.footer(
        "Rows and columns count from 1; edit takes them by number or by title, in any letter case. \"-\" as "
        "a file name is standard input or output.\n"
        "Exit status: 0 done (compare, diff: no differences); 1 a transfer or a save failed, or an edit or "
        "an imported value was refused; 2 a document or a configuration could not be read; 3 compare, diff: "
        "the configurations differ; 64 bad usage; 130 a transfer stopped by Ctrl-C (a second Ctrl-C ends at "
        "once), 143 by SIGTERM, 129 by SIGHUP.\n"
        "Run 'tavik-cli help COMMAND' for the options of one command, 'tavik-cli --help-all' for all of "
        "them.");
    app.set_version_flag("--version", VersionText(), "Print the version and exit");
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.set_help_all_flag("--help-all", "Print the options of every command and exit");
    // Options are written --name on every system; on Windows CLI11 would otherwise read /path as an option.
    app.allow_windows_style_options(false);

    std::string path;
    bool json = false;
    bool yes = false;
    bool no = false;
    TransferOptions transfer;

    bool force = false;
    CLI::App* newCmd = app.add_subcommand("new", "Write the default configuration");
    newCmd->add_option("OUT", path, "Document to write (.zmg)")->required();
    newCmd->add_flag("--force", force, "Replace a file that is there");

    CLI::App* dumpCmd = app.add_subcommand("dump", "Print a document as tables or as JSON");
    dumpCmd->add_option("FILE", path, "Document to read (.zmg)")->required();
    dumpCmd->add_flag("--json", json,
                      "Every cell with its lists and flags as one JSON object, for scripts that read it; to "
                      "keep and edit a configuration, use export");

    std::string outPath = "-";
    CLI::App* exportCmd = app.add_subcommand(
        "export", "Write the configuration as text to keep and edit: every editable cell by sheet, row and "
                  "column, one value a line");
    exportCmd->add_option("FILE", path, "Document to read (.zmg)")->required();
    exportCmd->add_option("OUT", outPath, "Configuration to write (.json; standard output by default)");

    ImportOptions import;
    std::string configPath;
    CLI::App* importCmd = app.add_subcommand(
        "import", "Build a document from an exported configuration, every value checked as an edit; lists "
                  "each value refused or corrected, and each sheet, row or cell the text leaves out (which "
                  "keeps its default), and writes nothing when any value is refused");
    importCmd->add_option("CONFIG", configPath, "Configuration to read (.json)")->required();
    importCmd->add_option("OUT", path, "Document to write (.zmg)")->required();
    importCmd->add_flag("--strict", import.strict, "Refuse corrected values and values left out too");
    importCmd->add_option("--onto", import.onto,
                          "Apply the configuration to this document instead of the defaults (a partial text "
                          "as a patch)");
    importCmd->add_flag("--yes", import.answerYes, "Take values that ask for confirmation");

    std::string sheetWord;
    CLI::App* columnsCmd =
        app.add_subcommand("columns", "List each column of a sheet: number, title, editable, what it takes");
    columnsCmd->add_option("SHEET", sheetWord, "general, physical, logical or alarm (all when left out)");

    CLI::App* editCmd = app.add_subcommand("edit", "Edit cells as in the grid, then save the document");
    editCmd->add_option("FILE", path, "Document to edit (.zmg)")->required();
    auto* yesFlag = editCmd->add_flag("--yes", yes, "Answer OK to confirmations");
    editCmd->add_flag("--no", no, "Answer Cancel to confirmations (the default)")->excludes(yesFlag);
    // Shown in the help only: the edit words never reach the parser (TakeEditWords).
    std::vector<std::string> unused;
    editCmd->add_option(
        "EDITS", unused,
        "SHEET ROW COL TEXT, repeated; SHEET is general|physical|logical|alarm or 0..3; ROW and COL "
        "count from 1 or are titles (alarm A11 SetPoint 12.5); general may leave out COL (general "
        "\"Device Number\" 7); a TEXT beginning with '-' is a value. Prints ok, corrected to \"V\": why, or "
        "refused ID: why, for each edit, and the other cells it changed; saves only when none is refused");

    CLI::App* uploadCmd = app.add_subcommand(
        "upload", "Send a document to the unit: the unit is read first and what it held kept as a document "
                  "(its previous configuration), then only the blocks that differ are written");
    uploadCmd->add_option("FILE", path, "Document to send (.zmg)")->required();
    auto* backupOption = uploadCmd->add_option(
        "--backup", transfer.backup,
        "Where the unit's previous configuration goes (a .zmg document; - for standard output); by default "
        "a backups folder per user, the 200 newest kept");
    uploadCmd->add_flag("--no-backup", transfer.noBackup, "Keep no copy of the unit's previous configuration")
        ->excludes(backupOption);
    uploadCmd->add_flag("--all-blocks", transfer.allBlocks,
                        "Write every block, even those the unit already holds (by default the unit is read "
                        "first and only the blocks that differ are written)");
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
    std::string retries = "0";
    for (CLI::App* cmd : {uploadCmd, downloadCmd, compareCmd}) {
        cmd->add_option("--port", transfer.port, "Serial port: COM1..COM256 or a device path")->required();
        cmd->add_option("--retries", retries,
                        "Retries of the whole transfer after a failure, each from the General sheet; a port "
                        "that went away is looked for again under its name")
            ->type_name("N")
            ->capture_default_str();
        cmd->add_flag("--trace", transfer.trace,
                      "Log every message sent and received on stderr, and the message and block of a failure "
                      "(off by default)");
    }

    std::string helpTopic;
    CLI::App* helpCmd = app.add_subcommand("help", "Show the commands, or the options of one");
    helpCmd->add_option("COMMAND", helpTopic, "Command to show");

    std::vector<CLI::App*> commands;
    for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
        commands.push_back(command->group("Commands"));
    const auto findCommand = [&](const std::string& name) -> CLI::App* {
        for (CLI::App* command : commands)
            if (command->get_name() == name) return command;
        return nullptr;
    };
    // The command word is the first that is not an option; CLI11 would call an unknown one "not expected".
    if (args.size() < 2) return UnknownCommand("", commands, err);
    if (args[1].empty() || (args[1][0] != '-' && !findCommand(args[1])))
        return UnknownCommand(args[1], commands, err);

    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return CLI_OK;
    } catch (const CLI::CallForAllHelp&) {
        out << AllCommandsHelp(app, commands);
        return CLI_OK;
    } catch (const CLI::CallForVersion&) {
        out << VersionText() << '\n';
        return CLI_OK;
    } catch (const CLI::ParseError& error) {
        const std::vector<CLI::App*> given = app.get_subcommands();
        err << "tavik-cli: " << error.what() << '\n'
            << "Run 'tavik-cli help" << (given.empty() ? "" : " " + given.front()->get_name())
            << "' for usage.\n";
        return CLI_USAGE;
    }
    if (helpCmd->parsed()) {
        if (helpTopic.empty()) {
            // app.help() would show the help of the command given, "help" itself.
            out << app.get_formatter()->make_help(&app, "tavik-cli", CLI::AppFormatMode::Normal);
        } else if (const CLI::App* command = findCommand(helpTopic); command) {
            out << command->help("tavik-cli");
        } else {
            return UnknownCommand(helpTopic, commands, err);
        }
        return FinishOutput(out, err) ? CLI_OK : CLI_FAILED;
    }
    if ((uploadCmd->parsed() || downloadCmd->parsed() || compareCmd->parsed()) &&
        !ParseRetries(retries, transfer.retries, err))
        return CLI_USAGE;

    const auto run = [&] {
        if (newCmd->parsed()) return RunNew(path, force, out, err);
        if (dumpCmd->parsed()) return RunDump(path, json, in, out, err);
        if (editCmd->parsed()) return RunEdit(path, yes, edits, in, out, err);
        if (exportCmd->parsed()) return RunExport(path, outPath, in, out, err);
        if (importCmd->parsed()) return RunImport(configPath, path, import, in, out, err);
        if (columnsCmd->parsed()) return RunColumns(sheetWord, out, err);
        if (uploadCmd->parsed()) return RunUpload(path, transfer, in, out, err);
        if (compareCmd->parsed()) return RunCompare(path, transfer, out, err);
        if (diffCmd->parsed()) return RunDiff(path, otherPath, in, out, err);
        return RunDownload(path, transfer, out, err);
    };
    const int code = run();
    // Whatever went to standard output must have arrived: a full disk or a closed pipe is a failure.
    // compare and diff print their list before exit status 3, and it must have arrived as well.
    return (code == CLI_OK || code == CLI_DIFFERS) && !FinishOutput(out, err) ? CLI_FAILED : code;
}
