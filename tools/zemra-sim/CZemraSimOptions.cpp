#include "tools/zemra-sim/CZemraSimOptions.h"

namespace {

constexpr int MAX_DELAY_MS = 60000;

// Milliseconds from 0 to MAX_DELAY_MS; -1 otherwise.
int Milliseconds(const std::string& text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int ms = std::stoi(text);
    return ms <= MAX_DELAY_MS ? ms : -1;
}

} // namespace

std::string CZemraSimOptions::Usage() {
    return "Usage: zemra-sim [options]\n"
           "A simulated Zemra-30 annunciator on a pseudo-terminal. Prints the terminal's path, then answers\n"
           "the programmer until it gets SIGINT or SIGTERM.\n"
           "\n"
           "  --link PATH          also make PATH a symlink to the terminal (removed at exit)\n"
           "  --memory FILE        keep the unit's memory in FILE (created with factory memory if missing)\n"
           "  --fault BLOCK:KIND[:COUNT]\n"
           "                       misbehave for a block; may be repeated. BLOCK is general/N (0..7),\n"
           "                       physical/N (0..23), logical/N (0..7), alarm/N (0..47), N may be *.\n"
           "                       KIND: noanswer, short (70 bytes), long (72 bytes), checksum, late,\n"
           "                       flip (store a written block with one bit changed), nostore.\n"
           "                       COUNT: how many times it fires (default: always).\n"
           "  --answer-ms N        wait N ms before every answer (default 0)\n"
           "  --late-ms N          delay of a late answer (default 300)\n"
           "  --trace              log every message and fault on stderr\n"
           "  --help               show this text\n";
}

int CZemraSimOptions::Parse(int argc, const char* const* argv, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        const bool hasValue = i + 1 < argc && argv[i + 1];
        auto value = [&](std::string& out) {
            if (!hasValue || !*argv[i + 1]) {
                error = "option " + arg + " needs a value";
                return 0;
            }
            out = argv[++i];
            return 1;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--trace") {
            trace = true;
        } else if (arg == "--link") {
            if (!value(linkPath)) return 0;
        } else if (arg == "--memory") {
            if (!value(memoryPath)) return 0;
        } else if (arg == "--fault") {
            if (!value(text)) return 0;
            ZemFault fault;
            if (!CZemraFaultTable::Parse(text, fault, error)) return 0;
            faults.push_back(fault);
        } else if (arg == "--answer-ms" || arg == "--late-ms") {
            if (!value(text)) return 0;
            const int ms = Milliseconds(text);
            if (ms < 0) {
                error = "option " + arg + " takes milliseconds from 0 to " + std::to_string(MAX_DELAY_MS);
                return 0;
            }
            (arg == "--answer-ms" ? answerDelayMs : lateDelayMs) = ms;
        } else {
            error = "unknown option \"" + arg + "\"";
            return 0;
        }
    }
    return 1;
}
