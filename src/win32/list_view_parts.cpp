#include "win32/list_view_parts.h"

#include <commctrl.h>

namespace {

// A check box of size x size pixels, drawn by the system's theme-less code.
HBITMAP CheckBoxBitmap(HDC screen, int size, bool checked) {
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    RECT box{1, 1, size - 1, size - 1};
    DrawFrameControl(dc, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace

void GiveCheckBoxes(HWND list) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, 2, 0);
    HDC screen = GetDC(nullptr);
    for (bool checked : {false, true}) {
        HBITMAP bitmap = CheckBoxBitmap(screen, size, checked);
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    ListView_SetImageList(list, images, LVSIL_STATE);
}

void ShowSortArrow(HWND list, int column, bool ascending) {
    HWND header = ListView_GetHeader(list);
    const int columns = Header_GetItemCount(header);
    for (int i = 0; i < columns; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
}

void SetComboEntry(HWND combo, int at, const std::wstring& text) {
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    SendMessageW(combo, CB_DELETESTRING, at, 0);
    SendMessageW(combo, CB_INSERTSTRING, at, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETCURSEL, selected, 0);
}
