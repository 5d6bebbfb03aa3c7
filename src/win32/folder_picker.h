#pragma once
// The shell's folder picker.

#include <windows.h>

#include <string>

// Opened on initial when that names a folder. Empty when cancelled or when
// the picker cannot be had.
std::wstring PickFolder(HWND owner, const std::wstring& title, const std::wstring& initial);
