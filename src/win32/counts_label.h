#pragma once
// The counts line under the status line: two lines of the dialog's font.
// A text wider than the label is broken after a ，or ；so that every word
// stays whole and nothing is cut at the right edge, at any scale.

#include <windows.h>

#include <string>

void ShowCountsLine(HWND label, const std::wstring& text);
