#include "ui/app/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#ifndef TAVIK_VERSION_TEXT
#define TAVIK_VERSION_TEXT "0.00"
#endif

namespace {
// Options of the window system that take a value, and those that stand alone (one or two dashes).
constexpr std::array<std::string_view, 14> g_qtValued = {"platform",      "platformpluginpath",
                                                         "platformtheme", "plugin",
                                                         "qmljsdebugger", "qwindowgeometry",
                                                         "qwindowicon",   "qwindowtitle",
                                                         "style",         "stylesheet",
                                                         "session",       "display",
                                                         "geometry",      "title"};
constexpr std::array<std::string_view, 5> g_qtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

std::string_view OptionName(std::string_view argument) {
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

bool Contains(auto& table, std::string_view name) {
    return std::find(table.begin(), table.end(), name) != table.end();
}

bool EndsWith(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

TavikCommand Wrong(std::string error) {
    TavikCommand command;
    command.action = TavikCommand::Wrong;
    command.error = std::move(error);
    return command;
}
} // namespace

TavikCommand ParseTavikCommandLine(const std::vector<std::string>& arguments) {
    TavikCommand command;
    std::vector<std::string> names; // what is not an option, in order
    bool exportPdf = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            names.insert(names.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         arguments.end());
            break;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            names.push_back(argument);
            continue;
        }
        // --help and --version win over everything else on the line, as in other programs.
        if (argument == "--help" || argument == "-h" || argument == "-?") {
            command.action = TavikCommand::Help;
            return command;
        }
        if (argument == "--version" || argument == "-v") {
            command.action = TavikCommand::Version;
            return command;
        }
        if (argument == "--export-pdf") {
            exportPdf = true;
            continue;
        }
        const std::string_view name = OptionName(argument);
        if (Contains(g_qtFlags, name)) continue;
        if (Contains(g_qtValued, name)) {
            if (argument.find('=') == std::string::npos) ++i; // the value follows
            continue;
        }
        return Wrong("unknown option '" + argument + "'");
    }

    if (!exportPdf) {
        if (names.size() > 1) return Wrong("more than one document named: '" + names[1] + "'");
        if (!names.empty()) command.document = names.front();
        return command;
    }
    if (names.size() != 2) return Wrong("--export-pdf takes FILE.zmg OUT.pdf");
    command.action = TavikCommand::ExportPdf;
    // FILE.zmg OUT.pdf as tavik-cli export has it; OUT.pdf FILE.zmg, the older order, is still taken.
    const bool older = EndsWith(names[0], ".pdf") && !EndsWith(names[1], ".pdf");
    command.document = older ? names[1] : names[0];
    command.pdf = older ? names[0] : names[1];
    return command;
}

std::string TavikUsageText() {
    return "Usage: tavik [FILE.zmg]\n"
           "       tavik --export-pdf FILE.zmg OUT.pdf\n"
           "Configure a Brant Zemra-30 analog alarm annunciator.\n"
           "\n"
           "  FILE.zmg                       open this configuration in the window\n"
           "  --export-pdf FILE.zmg OUT.pdf  write the report of the configuration as a PDF file and\n"
           "                                 exit, without a window (OUT.pdf FILE.zmg is taken too)\n"
           "  -h, --help                     show this help and exit\n"
           "  -v, --version                  show the version and exit\n";
}

std::string TavikVersionText() {
    return std::string("Tavik ") + TAVIK_VERSION_TEXT + "\n";
}
