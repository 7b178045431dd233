#include "ui/CTavikApp.h"
#include "ui/CToolIcons.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavik Programmer"));
    QApplication::setOrganizationName(QStringLiteral("Tavik"));
    QApplication::setDesktopFileName(QStringLiteral("tavik"));
    QApplication::setWindowIcon(CToolIcons::App());

    CTavikApp app;
    if (!app.InitInstance(QApplication::arguments())) return 1;
    return QApplication::exec();
}
