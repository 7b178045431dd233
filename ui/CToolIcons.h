#pragma once

#include <QIcon>

// The program's icons, drawn in code so that they look the same on every desktop theme.
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
};
