#include "win32/help_window.h"

#include <algorithm>

#include "app/app_texts.h"
#include "app/help_page.h"
#include "platform/journal_files.h"
#include "prep/build_job.h"
#include "win32/dialog_window.h"
#include "win32/help_plain.h"
#include "win32/wide_text.h"

namespace {

constexpr const wchar_t* kClassName = L"VexaHelp";
enum ControlId { kText = 100, kClose };
HWND g_hHelp = nullptr;  // the one open help window

SIZE FontCell(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {std::max<LONG>(metrics.tmAveCharWidth, 1), std::max<LONG>(metrics.tmHeight, 1)};
}

void Layout(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const HWND close = GetDlgItem(window, kClose);
    const SIZE cell =
        FontCell(window, reinterpret_cast<HFONT>(SendMessageW(close, WM_GETFONT, 0, 0)));
    const int gap = cell.cy / 2, row = cell.cy * 7 / 4, button = cell.cx * 14;
    MoveWindow(GetDlgItem(window, kText), gap, gap, client.right - 2 * gap,
               std::max<int>(client.bottom - 3 * gap - row, 0), TRUE);
    MoveWindow(close, client.right - gap - button, client.bottom - gap - row, button, row, TRUE);
}

LRESULT CALLBACK HelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Layout(window);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kClose || LOWORD(wParam) == IDCANCEL)
                DestroyWindow(window);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_NCDESTROY:
            g_hHelp = nullptr;
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
           HFONT font) {
    HWND control = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// The text in CR LF lines, as the edit control shows them.
std::wstring HelpText(const std::string (&places)[3]) {
    const std::string html =
        HelpPageHtml(places[0], places[1], places[2], RunJournalRoot(), kJournalAvailable);
    std::wstring text;
    for (wchar_t c : Widen(HtmlToPlain(html))) {
        if (c == L'\n')
            text += L'\r';
        text += c;
    }
    return text;
}

}  // namespace

void ShowHelpWindow(HWND owner, const std::string (&places)[3]) {
    if (g_hHelp) {
        SetForegroundWindow(g_hHelp);
        return;
    }
    static const bool registered = RegisterPlainWindowClass(kClassName, HelpProc);
    (void)registered;
    g_hHelp = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Widen(app_text::kHelpTitle).c_str(),
                              WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
    Child(g_hHelp, L"EDIT", HelpText(places),
          WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kText,
          font);
    Child(g_hHelp, L"BUTTON", Widen(app_text::kClose), WS_TABSTOP | BS_DEFPUSHBUTTON, kClose, font);
    // As large as the text wants, but never beyond the screen the dialog is on.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    const SIZE cell = FontCell(g_hHelp, font);
    const int w = std::min<int>(cell.cx * 90, (area.right - area.left) * 9 / 10);
    const int h = std::min<int>(cell.cy * 38, (area.bottom - area.top) * 85 / 100);
    SetWindowPos(g_hHelp, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, w, h, SWP_NOZORDER);
    ShowWindow(g_hHelp, SW_SHOW);
    SetFocus(GetDlgItem(g_hHelp, kClose));
}
