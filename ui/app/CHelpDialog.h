#pragma once

#include <QDialog>

class QTextBrowser;

// The program's help: how each tab works and the rules the unit enforces, shipped inside the program.
class CHelpDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kHelpUrl = "qrc:/tavik/help.html";

    explicit CHelpDialog(QWidget* parent = nullptr);
    QTextBrowser* GetBrowser() const { return m_pBrowser; }

private:
    QTextBrowser* m_pBrowser;
};
