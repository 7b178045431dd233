#include "ui/app/CToolIcons.h"

#include <QFile>

QIcon CToolIcons::FromTheme(std::initializer_list<const char*> names, const char* fallback) {
    for (const char* name : names) {
        const QString theme = QString::fromLatin1(name);
        if (QIcon::hasThemeIcon(theme)) return QIcon::fromTheme(theme);
    }
    return Bundled(QStringLiteral("icons/%1").arg(QLatin1String(fallback)));
}

QIcon CToolIcons::Bundled(const QString& stem) {
    // A build whose Qt reads no SVG (the Windows one ships no SVG plug-in) carries the pictures rendered to
    // PNG in several sizes instead.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString png = QStringLiteral(":/tavik/%1-%2.png").arg(stem).arg(size);
        if (QFile::exists(png)) icon.addFile(png, QSize(size, size));
    }
    return icon.isNull() ? QIcon(QStringLiteral(":/tavik/%1.svg").arg(stem)) : icon;
}

QIcon CToolIcons::New() {
    return FromTheme({"document-new"}, "document-new");
}

QIcon CToolIcons::Open() {
    return FromTheme({"document-open"}, "document-open");
}

QIcon CToolIcons::Save() {
    return FromTheme({"document-save"}, "document-save");
}

QIcon CToolIcons::Cut() {
    return FromTheme({"edit-cut"}, "edit-cut");
}

QIcon CToolIcons::Copy() {
    return FromTheme({"edit-copy"}, "edit-copy");
}

QIcon CToolIcons::Paste() {
    return FromTheme({"edit-paste"}, "edit-paste");
}

QIcon CToolIcons::Print() {
    return FromTheme({"document-print"}, "document-print");
}

QIcon CToolIcons::About() {
    return FromTheme({"help-about"}, "help-about");
}

// Upload sends the configuration to the unit, Download brings it back: the themes' nearest names.
QIcon CToolIcons::Upload() {
    return FromTheme({"document-send", "go-up"}, "tavik-upload");
}

QIcon CToolIcons::Download() {
    return FromTheme({"document-import", "go-down"}, "tavik-download");
}

QIcon CToolIcons::App() {
    const QString installed = QStringLiteral("tavik");
    return QIcon::hasThemeIcon(installed) ? QIcon::fromTheme(installed) : Bundled(QStringLiteral("tavik"));
}

QPixmap CToolIcons::AppPixmap(int size) {
    return App().pixmap(size, size);
}
