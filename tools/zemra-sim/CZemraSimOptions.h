#pragma once

#include "tools/zemra-sim/CZemraFaultTable.h"

#include <string>
#include <vector>

// Command line of zemra-sim.
class CZemraSimOptions {
public:
    std::string linkPath;   // --link PATH: symlink to the pseudo-terminal
    std::string memoryPath; // --memory FILE: the unit's memory, kept between runs
    std::vector<ZemFault> faults;
    int answerDelayMs = 0;
    int lateDelayMs = 300;
    int randomPerMille = 0; // --random-faults N: N of every 1000 messages misbehave
    unsigned seed = 1;      // --seed N: of the random faults
    bool trace = false;
    bool help = false;
    bool version = false; // --version: print VersionText() and exit

    // Returns 0 with a reason on a bad command line.
    int Parse(int argc, const char* const* argv, std::string& error);
    static std::string Usage();
    static std::string VersionText(); // "zemra-sim 1.00"
};
