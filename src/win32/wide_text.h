#pragma once
// The dialog's texts are UTF-16 (what the controls hold); the engine's
// messages are UTF-8; the job tables hold the working code page (the system's
// ANSI code page), in which the rules are compared. These convert between
// them in one place.

#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view text);

// Strict: false when text has no exact form in the working code page (no
// best-fit look-alike is ever taken). out is replaced either way.
bool ToWorking(std::wstring_view text, std::string& out);
// Bytes that are not valid in the working code page come back empty.
std::wstring FromWorking(const std::string& bytes);

// Paths as the engine and the service class take them (UTF-8 on this
// system), and back. The one place that knows their form.
bool ToEnginePath(std::wstring_view path, std::string& out);
std::wstring FromEnginePath(const std::string& path);
