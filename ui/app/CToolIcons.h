#pragma once

#include <QIcon>

#include <initializer_list>

// The program's icons: the toolbar's from the desktop's icon theme under their freedesktop names, with
// small pictures in the resources where the desktop has no theme or the theme lacks the icon.
class CToolIcons {
public:
    static QIcon New();
    static QIcon Open();
    static QIcon Save();
    static QIcon Cut();
    static QIcon Copy();
    static QIcon Paste();
    static QIcon Print();
    static QIcon About();
    static QIcon Upload();
    static QIcon Download();
    // The annunciator front: a dark panel with a block of alarm lamps.
    static QIcon App();
    static QPixmap AppPixmap(int size);

    // The first of `names` the theme has, else the picture `fallback` from the resources.
    static QIcon FromTheme(std::initializer_list<const char*> names, const char* fallback);
    // The picture `stem` ("icons/edit-cut", "tavik") from the resources: its SVG, or its rendered PNGs.
    static QIcon Bundled(const QString& stem);
};
