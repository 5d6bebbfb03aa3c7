#pragma once
// The warning when a folder or file cannot be opened: it names the path and
// why (UTF-8), with 复制路径, which copies the path and leaves the box open.

#include <windows.h>

#include <string>

void ShowOpenFailure(HWND owner, const std::wstring& path, const std::string& why);
