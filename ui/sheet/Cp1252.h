#pragma once

#include <QString>

#include <string>

// The one place where the model's Windows-1252 bytes meet Qt's Unicode strings.
QString FromCp1252(const std::string& bytes);
// Characters without a Windows-1252 byte become '?'.
std::string ToCp1252(const QString& text);
// For text the user enters: false, with `out` untouched, when a character has no Windows-1252 byte.
bool ToCp1252(const QString& text, std::string& out);
// The same, naming in `refused` the first character that has no Windows-1252 byte.
bool ToCp1252(const QString& text, std::string& out, QString& refused);
