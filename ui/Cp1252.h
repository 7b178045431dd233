#pragma once

#include <QString>

#include <string>

// The one place where the model's Windows-1252 bytes meet Qt's Unicode strings.
QString FromCp1252(const std::string& bytes);
// Characters without a Windows-1252 byte become '?'.
std::string ToCp1252(const QString& text);
