#ifndef _WIN32

#include "ui/app/CommandLineMode.h"

#include <QByteArray>
#include <QtGlobal>

// Without a display (a script, a build machine) the command runs on the offscreen platform.
void PrepareCommandLineMode() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

#endif
