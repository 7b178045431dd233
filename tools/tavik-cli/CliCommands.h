#pragma once

#include <ostream>
#include <string>
#include <vector>

class CTavikDoc;

// Exit codes of tavik-cli.
enum CliExit {
    CLI_OK = 0,
    CLI_FAILED = 1, // a transfer or a save failed
    CLI_BAD_FILE = 2,
    CLI_DIFFERS = 3, // compare and diff: the configurations differ

    CLI_USAGE = 64,
};

// Runs one tavik-cli command line (args[0] is the program name) and returns its exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

int RunNew(const std::string& path, std::ostream& err);
int RunDump(const std::string& path, bool json, std::ostream& out, std::ostream& err);
int RunEdit(const std::string& path, bool answerYes, const std::vector<std::string>& edits, std::ostream& out,
            std::ostream& err);

struct TransferOptions {
    std::string port;
    int retries = 0;
    bool trace = false;
};
int RunUpload(const std::string& path, const TransferOptions& options, std::ostream& err);
int RunDownload(const std::string& path, const TransferOptions& options, std::ostream& err);
// Runs one transfer of `document` (direction 0 upload, 1 download) with progress on `err`.
int RunTransfer(CTavikDoc& document, int direction, const TransferOptions& options, std::ostream& err);
int RunCompare(const std::string& path, const TransferOptions& options, std::ostream& out, std::ostream& err);
int RunDiff(const std::string& first, const std::string& second, std::ostream& out, std::ostream& err);
