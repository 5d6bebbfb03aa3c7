#pragma once
// Pieces of list views and combo boxes the results window needs and
// comctl32 leaves to the program: check boxes that the window keeps itself
// (a virtual list holds no item state), the header's sort arrow, and a
// combo box entry renamed in place.

#include <windows.h>
// After windows.h, whose types it needs.
#include <commctrl.h>

#include <string>

// Gives list state images drawn by the system: 1 an empty check box, 2 a
// checked one (0 shows none). The list view owns and frees them.
void GiveCheckBoxes(HWND list);
// The state image of a row: none, unchecked or checked.
inline UINT CheckStateImage(bool checkable, bool checked) {
    return INDEXTOSTATEIMAGEMASK(checkable ? (checked ? 2 : 1) : 0);
}
// The header of list shows an arrow on column, up or down, and none elsewhere.
void ShowSortArrow(HWND list, int column, bool ascending);
// Renames entry at of combo to text, its selection kept.
void SetComboEntry(HWND combo, int at, const std::wstring& text);
