#pragma once
// Edits hold Unicode text; JobTables and the service class hold bytes in the
// working code page. These convert between the two. Text the working code
// page cannot hold falls back to the locale's own 8-bit conversion, so a
// path typed with such characters is simply one that does not exist.

#include <QString>
#include <string>

QString FromWorking(const std::string& bytes);
std::string ToWorking(const QString& text);
