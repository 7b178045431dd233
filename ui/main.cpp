#include "ui/CTavikApp.h"
#include "ui/CToolIcons.h"
#include "ui/CommandLineMode.h"

#include <QApplication>

#include <cstring>

namespace {
bool ExportsPdf(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--export-pdf") == 0) return true;
    return false;
}
} // namespace

int main(int argc, char* argv[]) {
    const bool exportPdf = ExportsPdf(argc, argv);
    if (exportPdf) PrepareCommandLineMode();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavik Programmer"));
    QApplication::setOrganizationName(QStringLiteral("Tavik"));
    QApplication::setDesktopFileName(QStringLiteral("tavik"));
    if (exportPdf) return CTavikApp::ExportPdfCommand(QApplication::arguments());
    QApplication::setWindowIcon(CToolIcons::App());

    CTavikApp app;
    if (!app.InitInstance(QApplication::arguments())) return 1;
    return QApplication::exec();
}
