#pragma once
// The help window (F1), a window class of its own: the help text true for
// this build, as plain text in a read-only edit that scrolls, and 关闭. It is
// sized to the screen it opens on, so 关闭 stays in reach at any scale. One
// at a time: F1 again brings it to the front. It owns itself and goes when
// closed. Dialog thread only.

#include <windows.h>

#include <string>

// places: the replacement rules file, the rename rules file and the
// settings file, UTF-8.
void ShowHelpWindow(HWND owner, const std::string (&places)[3]);
