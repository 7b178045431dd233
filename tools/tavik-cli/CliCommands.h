#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

class CTavikDoc;

// Exit codes of tavik-cli.
enum CliExit {
    CLI_OK = 0,
    CLI_FAILED = 1, // a transfer or a save failed, or an edit or imported value was refused
    CLI_BAD_FILE = 2,
    CLI_DIFFERS = 3, // compare and diff: the configurations differ

    CLI_USAGE = 64,
};

// Runs one tavik-cli command line (args[0] is the program name) and returns its exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same with standard input given ("-" as a file name reads it).
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// "-" as a file name is standard input or standard output.
int RunNew(const std::string& path, bool force, std::ostream& out, std::ostream& err);
int RunDump(const std::string& path, bool json, std::istream& in, std::ostream& out, std::ostream& err);
int RunEdit(const std::string& path, bool answerYes, const std::vector<std::string>& edits, std::istream& in,
            std::ostream& out, std::ostream& err);
// Edit words come as SHEET ROW COL TEXT; a General edit may leave out COL. True when `words` (from a SHEET
// on) make one whole edit; SplitEditWords cuts all the words into edits of four, false when some are left
// over.
bool IsEditComplete(const std::vector<std::string>& words);
bool SplitEditWords(const std::vector<std::string>& words, std::vector<std::vector<std::string>>& edits);
int RunColumns(const std::string& sheet, std::ostream& out, std::ostream& err);
int RunExport(const std::string& path, const std::string& outPath, std::istream& in, std::ostream& out,
              std::ostream& err);
struct ImportOptions {
    bool strict = false; // corrections, and values the configuration leaves out, count as refusals
    bool answerYes = false;
    std::string onto; // a document the configuration is applied to, instead of the defaults
};
int RunImport(const std::string& configPath, const std::string& outPath, const ImportOptions& options,
              std::istream& in, std::ostream& out, std::ostream& err);

struct TransferOptions {
    std::string port;
    int retries = 0;
    bool trace = false;
    // Upload only: where the unit's previous configuration goes ("-" standard output; empty: the per-user
    // backups folder), none at all, and every block written even where the unit holds it already.
    std::string backup;
    bool noBackup = false;
    bool allBlocks = false;
};
int RunUpload(const std::string& path, const TransferOptions& options, std::istream& in, std::ostream& out,
              std::ostream& err);
int RunDownload(const std::string& path, const TransferOptions& options, std::ostream& out,
                std::ostream& err);
// Runs one transfer of `document` (direction 0 upload, 1 download) with progress on `err`.
int RunTransfer(CTavikDoc& document, int direction, const TransferOptions& options, std::ostream& err);
int RunCompare(const std::string& path, const TransferOptions& options, std::ostream& out, std::ostream& err);
int RunDiff(const std::string& first, const std::string& second, std::istream& in, std::ostream& out,
            std::ostream& err);
