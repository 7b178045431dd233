#include "ui/sheet/Cp1252.h"

#include "model/Cp1252.h"

// The table itself lives with the model, which the command-line tool shares; Qt only adds UTF-8.
QString FromCp1252(const std::string& bytes) {
    const std::string utf8 = Utf8FromCp1252(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1252(const QString& text) {
    return Cp1252FromUtf8(text.toUtf8().toStdString());
}

bool ToCp1252(const QString& text, std::string& out) {
    std::string refused;
    return Cp1252FromUtf8(text.toUtf8().toStdString(), out, refused);
}

bool ToCp1252(const QString& text, std::string& out, QString& refused) {
    std::string character;
    const bool ok = Cp1252FromUtf8(text.toUtf8().toStdString(), out, character);
    refused = ok ? QString() : QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size()));
    return ok;
}
