#pragma once

// What tavik-cli says about its own command line: the commands, their help, and the words it refuses.

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>
#include <vector>

// Tells on `err` that the command word is missing (empty) or unknown, with every command's name; returns
// the exit status of bad usage.
int UnknownCommand(const std::string& word, const std::vector<CLI::App*>& commands, std::ostream& err);
// Takes the text of --retries: a count from 0. False, told on `err`, otherwise.
bool ParseRetries(const std::string& text, int& retries, std::ostream& err);
// The help of the program followed by every command's usage, positionals and options with their defaults,
// one section a command: the text the manual page is made from (help2man reads "NAME:" lines followed by
// indented lines as sections).
std::string AllCommandsHelp(const CLI::App& app, const std::vector<CLI::App*>& commands);
