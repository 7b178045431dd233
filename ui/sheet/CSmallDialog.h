#pragma once

#include <QObject>
#include <QString>

class QDialog;
class QMessageBox;
class QSpacerItem;
class QWidget;

// Makes a small fixed-size dialog look like one: a title bar with only a close button (no maximise, no
// help) and a width that shows the whole title, which the window manager would otherwise cut short.
class CSmallDialog : public QObject {
    Q_OBJECT
public:
    // Applies both to `dialog`, whose layout gains a spacer that follows the title as it changes.
    static void Apply(QDialog& dialog);
    // A message box as wide as its title needs (a short text would otherwise cut "Tavik Programmer").
    static void FitTitle(QMessageBox& box);
    // The width the dialog needs so that the window manager shows `title` whole.
    static int TitleWidth(const QWidget& dialog, const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSmallDialog(QDialog& dialog, QSpacerItem* spacer);
    void Fit();

    QDialog& m_dialog;
    QSpacerItem* m_pSpacer;
};
