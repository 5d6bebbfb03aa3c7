#pragma once
// What the Win32 dialog asks of its window and controls, apart from the
// dialog itself: its icons, a control's text, and the keys it keeps away.

#include <windows.h>

#include <string>

// Gives window icon 128 in the large and small sizes the system asks for;
// the icons are the caller's to destroy.
void SetDialogIcons(HWND window, HICON& large, HICON& small);
std::wstring DialogItemText(HWND window, int id);

// Registers a plain top-level window class (arrow cursor, dialog-coloured
// background) with procedure proc; true when it is registered.
bool RegisterPlainWindowClass(const wchar_t* className, WNDPROC proc);

// Whether msg, for window or one of its controls, is a key the dialog keeps
// away (Enter, Escape, every Alt combination: TRUE, consumed). F1 calls onHelp.
enum class KeyVerdict { Pass, Swallow, Help };
KeyVerdict FilterDialogKey(HWND window, MSG* msg);
