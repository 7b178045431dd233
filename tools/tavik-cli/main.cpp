#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliSystem.h"

#include <iostream>

int main(int argc, char** argv) {
    UseBinaryStdio();
    const std::vector<std::string> args(argv, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
