#pragma once
// The one conversion between the system's single-byte Windows-1252 texts and
// Qt's strings, used wherever text crosses into or out of a window.

#include <QString>
#include <string>

QString FromWindows1252(const std::string& bytes);
// Characters outside Windows-1252 become '?'.
std::string ToWindows1252(const QString& text);
