#pragma once

#include <string>
#include <vector>

// What `tavik` was asked to do on its command line. Read before any window system is touched, so that
// --help, --version and a wrong option answer on a machine without a display.
struct TavikCommand {
    enum Action {
        OpenWindow, // the window, with `document` opened when named
        ExportPdf,  // the report of `document` written to `pdf`, no window
        Help,
        Version,
        Wrong // `error` says what; the exit status is 2
    };
    Action action = OpenWindow;
    std::string document;
    std::string pdf;
    std::string error;
};

// `arguments` without the program's name. The window system's own options (-platform NAME, -style NAME,
// -reverse, ...) are passed over: the application takes them later.
TavikCommand ParseTavikCommandLine(const std::vector<std::string>& arguments);

// The text of `tavik --help` and of `tavik --version`.
std::string TavikUsageText();
std::string TavikVersionText();
