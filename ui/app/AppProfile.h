#pragma once

#include <QSettings>

// The program's settings in the user's profile: the registry on Windows, a .conf file elsewhere. The tests
// turn the default format to INI files in a folder of their own, so that they never touch the user's.
inline QSettings* NewAppProfile() {
    return new QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Tavik"),
                         QStringLiteral("Tavik Programmer"));
}
