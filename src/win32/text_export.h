#pragma once
// Where the results window's list goes as text: the clipboard, or a file the
// user names. UTF-8 in; on this system lines end in CR LF.

#include <windows.h>

#include <string>

bool CopyToClipboard(HWND owner, const std::string& text);
// The save-file box, offering suggested (a full path); a name typed without
// a suffix gets .txt. Empty when cancelled.
std::wstring PickTextFile(HWND owner, const std::wstring& title, const std::wstring& suggested);
// Writes text as UTF-8 with a byte order mark, which every Windows editor
// reads as such, through a temporary file beside path that replaces it only
// once complete: a failure leaves an existing file as it was.
bool SaveTextFile(const std::wstring& path, const std::string& text);
