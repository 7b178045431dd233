#include "tools/tavik-cli/CliUsage.h"

#include "tools/tavik-cli/CellNames.h"
#include "tools/tavik-cli/CliCommands.h"

#include <memory>
#include <sstream>

int UnknownCommand(const std::string& word, const std::vector<CLI::App*>& commands, std::ostream& err) {
    std::vector<std::string> names;
    for (const CLI::App* command : commands)
        names.push_back(command->get_name());
    if (word.empty()) {
        err << "tavik-cli: give a command";
    } else {
        err << "tavik-cli: unknown command '" << word << "'";
        // Offered only as a typo's correction: one that keeps the first letter.
        const std::string near = NearestName(word, names);
        if (!near.empty() && NameForm(near)[0] == NameForm(word)[0]) err << " (nearest: " << near << ")";
    }
    err << "\nCommands:";
    for (const std::string& name : names)
        err << ' ' << name;
    err << "\nRun 'tavik-cli help COMMAND' for a command's options.\n";
    return CLI_USAGE;
}

bool ParseRetries(const std::string& text, int& retries, std::ostream& err) {
    // CLI11's own range check would quote the range of a double, in 300 digits.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        err << "tavik-cli: --retries takes 0 or more\n";
        return false;
    }
    if (text.size() > 6) {
        err << "tavik-cli: --retries takes at most 999999\n";
        return false;
    }
    retries = std::stoi(text);
    return true;
}

std::string AllCommandsHelp(const CLI::App& app, const std::vector<CLI::App*>& commands) {
    // The program's formatter, whose labels ("COMMAND") the help uses; CLI11 keeps it as its base class.
    auto formatter = std::dynamic_pointer_cast<CLI::Formatter>(app.get_formatter());
    if (!formatter) formatter = std::make_shared<CLI::Formatter>();
    std::ostringstream text;
    text << formatter->make_description(&app) << formatter->make_usage(&app, "tavik-cli")
         << formatter->make_groups(&app, CLI::AppFormatMode::Normal);
    const auto line = [&](const std::string& name, const std::string& description) {
        text << "  " << name << std::string(name.size() < 28 ? 28 - name.size() : 1, ' ') << description
             << '\n';
    };
    for (const CLI::App* command : commands) {
        std::string usage = formatter->make_usage(command, "tavik-cli " + command->get_name());
        usage = usage.substr(usage.find(": ") + 2);
        while (!usage.empty() && usage.back() == '\n')
            usage.pop_back();
        text << '\n' << usage << ":\n  " << command->get_description() << "\n\n";
        for (const bool positionals : {true, false})
            for (const CLI::Option* option : command->get_options()) {
                if (option->nonpositional() == positionals || option->check_lname("help") ||
                    option->check_lname("help-all"))
                    continue;
                line(formatter->make_option_name(option, positionals) + formatter->make_option_opts(option),
                     formatter->make_option_desc(option));
            }
    }
    text << '\n' << formatter->make_footer(&app);
    return text.str();
}
