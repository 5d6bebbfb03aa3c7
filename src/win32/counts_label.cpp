#include "win32/counts_label.h"

namespace {

int WidthOf(HDC dc, const std::wstring& text, size_t from, size_t count) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data() + from, static_cast<int>(count), &size);
    return size.cx;
}

}  // namespace

void ShowCountsLine(HWND label, const std::wstring& text) {
    RECT client{};
    GetClientRect(label, &client);
    const int width = client.right - client.left;
    HDC dc = GetDC(label);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    std::wstring shown;
    size_t start = 0;  // of the line being filled
    while (WidthOf(dc, text, start, text.size() - start) > width) {
        // The last phrase end at which the line still fits, else the first one.
        size_t cut = 0;
        for (size_t i = start; i + 1 < text.size(); ++i) {
            if (text[i] != L'\xFF1B' && text[i] != L'\xFF0C')  // ； and ，
                continue;
            if (cut != 0 && WidthOf(dc, text, start, i + 1 - start) > width)
                break;
            cut = i + 1;
        }
        if (cut == 0)
            break;
        shown += text.substr(start, cut - start) + L"\r\n";
        start = cut;
    }
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowTextW(label, (shown + text.substr(start)).c_str());
}
