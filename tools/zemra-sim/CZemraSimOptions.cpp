#include "tools/zemra-sim/CZemraSimOptions.h"

namespace {

constexpr int MAX_DELAY_MS = 60000;

// A decimal number of at most nine digits; -1 otherwise.
int SmallNumber(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(text);
}

// Milliseconds from 0 to MAX_DELAY_MS; -1 otherwise.
int Milliseconds(const std::string& text) {
    const int ms = SmallNumber(text);
    return ms <= MAX_DELAY_MS ? ms : -1;
}

} // namespace

std::string CZemraSimOptions::Usage() {
    return "Usage: zemra-sim [options]\n"
           "A simulated Zemra-30 annunciator on a pseudo-terminal. Prints the terminal's path, then answers\n"
           "the programmer until it gets SIGINT or SIGTERM.\n"
           "\n"
           "Options:\n"
           "  --link PATH          also make PATH a symlink to the terminal (removed at exit); refused\n"
           "                       while another running simulator serves PATH\n"
           "  --memory FILE        keep the unit's memory in FILE (created with factory memory if missing)\n"
           "  --fault BLOCK:KIND[:COUNT]\n"
           "                       misbehave for a block; may be repeated. BLOCK is general/N (0..7),\n"
           "                       physical/N (0..23), logical/N (0..7), alarm/N (0..47), N may be *.\n"
           "                       KIND: noanswer, short (70 bytes), long (72 bytes), checksum, late,\n"
           "                       flip (store a written block with one bit changed), nostore,\n"
           "                       other (answer with the next block of the bank).\n"
           "                       COUNT: how many times it fires (default: always).\n"
           "  --answer-ms N        wait N ms before every answer (default 0)\n"
           "  --late-ms N          delay of a late answer (default 300)\n"
           "  --random-faults N    also misbehave at random for N of every 1000 requests and as many "
           "writes,\n"
           "                       with a kind drawn at random and a late delay of up to --late-ms\n"
           "  --seed N             seed of the random faults (default 1)\n"
           "  --trace              log every message and fault on stderr\n"
           "  --help               show this text\n"
           "  --version            show the version\n"
           "\n"
           "Exit status: 0 stopped by SIGINT or SIGTERM, or after --help or --version; 1 the terminal, the\n"
           "link or the memory file failed; 2 a bad command line.\n";
}

std::string CZemraSimOptions::VersionText() {
    // The program's one version text, as the About box and the installer write it ("1.00").
    return std::string("zemra-sim ") + TAVIK_VERSION_TEXT;
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
        } else if (arg == "--version") {
            version = true;
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
        } else if (arg == "--random-faults" || arg == "--seed") {
            if (!value(text)) return 0;
            const bool perMille = arg == "--random-faults";
            const int number = SmallNumber(text);
            if (number < 0 || (perMille && number > 1000)) {
                error = "option " + arg + (perMille ? " takes a number from 0 to 1000" : " takes a number");
                return 0;
            }
            if (perMille) {
                randomPerMille = number;
            } else {
                seed = static_cast<unsigned>(number);
            }
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
