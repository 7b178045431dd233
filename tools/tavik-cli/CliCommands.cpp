#include "tools/tavik-cli/CliCommands.h"

#include <CLI/CLI.hpp>

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"Tavik: configure a Zemra-30 alarm annunciator from the command line", "tavik-cli"};
    app.require_subcommand(1);
    // Options are written --name on every system; on Windows CLI11 would otherwise read /path as an option.
    app.allow_windows_style_options(false);

    std::string path;
    bool json = false;
    bool yes = false;
    bool no = false;
    std::vector<std::string> edits;
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
    editCmd
        ->add_option("EDITS", edits,
                     "SHEET ROW COL TEXT, repeated; SHEET is general|physical|logical|alarm or 0..3")
        ->required();

    CLI::App* uploadCmd = app.add_subcommand("upload", "Send a document to the unit");
    uploadCmd->add_option("FILE", path, "Document to send (.zmg)")->required();
    CLI::App* downloadCmd =
        app.add_subcommand("download", "Read the unit's configuration into a new document");
    downloadCmd->add_option("OUT", path, "Document to write on success (.zmg)")->required();
    for (CLI::App* cmd : {uploadCmd, downloadCmd}) {
        cmd->add_option("--port", transfer.port, "Serial port: COM1..COM256 or a device path")->required();
        cmd->add_option("--retries", transfer.retries, "Retries of the whole transfer after a failure")
            ->check(CLI::NonNegativeNumber);
        cmd->add_flag("--trace", transfer.trace, "Log every message sent and received on stderr");
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
    return RunDownload(path, transfer, err);
}
