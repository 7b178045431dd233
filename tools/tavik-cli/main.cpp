#include "tools/tavik-cli/CliCommands.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
