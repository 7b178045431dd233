#pragma once

#include <QDialog>

class QLabel;

// "About Tavik": the program icon, its version and an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    // "Tavik-30 Programmer Version 1.01" for the version 1.0.1: the patch number follows the minor one.
    static QString VersionText(int major, int minor, int patch);
    QString GetVersionLine() const;

private:
    QLabel* m_pVersion;
};
