#include "ui/sheet/CMessageBoxPrompt.h"

#include "ui/sheet/CSmallDialog.h"
#include "ui/sheet/Cp1252.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// Some model texts carry "\n\r" line breaks; Qt wants plain line feeds.
QString MessageText(const std::string& text) {
    QString message = FromCp1252(text);
    message.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    message.remove(QLatin1Char('\r'));
    return message;
}

const QString g_strTitle = QStringLiteral("Tavik Programmer");
} // namespace

void CMessageBoxPrompt::ShowMessage(const std::string& text, Icon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    if (icon == Warning) boxIcon = QMessageBox::Warning;
    if (icon == Error) boxIcon = QMessageBox::Critical;
    QMessageBox box(boxIcon, g_strTitle, MessageText(text), QMessageBox::Ok, QApplication::activeWindow());
    CSmallDialog::FitTitle(box);
    box.exec();
}

bool CMessageBoxPrompt::AskOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, g_strTitle, MessageText(text),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Cancel);
    CSmallDialog::FitTitle(box);
    return box.exec() == QMessageBox::Ok;
}
