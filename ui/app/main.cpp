#include "ui/app/CTavikApp.h"
#include "ui/app/CToolIcons.h"
#include "ui/app/CommandLine.h"
#include "ui/app/CommandLineMode.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // The command line is read before the window system: --help, --version and a wrong option need no
    // display, and none is opened for them.
    const TavikCommand command =
        ParseTavikCommandLine(std::vector<std::string>(argv + (argc > 0), argv + argc));
    if (command.action != TavikCommand::OpenWindow) PrepareCommandLineMode();
    switch (command.action) {
    case TavikCommand::Help:
        std::fputs(TavikUsageText().c_str(), stdout);
        return 0;
    case TavikCommand::Version:
        std::fputs(TavikVersionText().c_str(), stdout);
        return 0;
    case TavikCommand::Wrong:
        std::fprintf(stderr, "tavik: %s\nTry 'tavik --help' for more information.\n", command.error.c_str());
        return 2;
    default:
        break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavik Programmer"));
    QApplication::setOrganizationName(QStringLiteral("Tavik"));
    QApplication::setDesktopFileName(QStringLiteral("tavik"));
    if (command.action == TavikCommand::ExportPdf)
        return CTavikApp::ExportPdfCommand(QString::fromLocal8Bit(command.document),
                                           QString::fromLocal8Bit(command.pdf));
    QApplication::setWindowIcon(CToolIcons::App());

    CTavikApp app;
    QStringList open;
    if (!command.document.empty()) open << QString::fromLocal8Bit(command.document);
    if (!app.InitInstance(QStringList{QApplication::applicationFilePath()} + open)) return 1;
    return QApplication::exec();
}
