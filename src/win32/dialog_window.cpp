#include "win32/dialog_window.h"

#include "win32/resource.h"

void SetDialogIcons(HWND window, HICON& large, HICON& small) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto loadIcon = [instance](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VEXA), IMAGE_ICON,
                                             GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                             LR_DEFAULTCOLOR));
    };
    large = loadIcon(SM_CXICON, SM_CYICON);
    small = loadIcon(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

std::wstring DialogItemText(HWND window, int id) {
    const HWND control = GetDlgItem(window, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

KeyVerdict FilterDialogKey(HWND window, MSG* msg) {
    const bool ours = window && (msg->hwnd == window || IsChild(window, msg->hwnd));
    if (!ours)
        return KeyVerdict::Pass;
    switch (msg->message) {
        case WM_KEYDOWN:
            if (msg->wParam == VK_F1)
                return KeyVerdict::Help;
            // Enter and Escape never press a button or close the dialog.
            return msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE ? KeyVerdict::Swallow
                                                                        : KeyVerdict::Pass;
        case WM_SYSKEYDOWN:
            // No Alt combination reaches the window: not Alt+F4, not a
            // mnemonic, not the system menu.
            msg->wParam = 0;
            return KeyVerdict::Swallow;
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return KeyVerdict::Swallow;
        default:
            return KeyVerdict::Pass;
    }
}

bool RegisterPlainWindowClass(const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = className;
    return RegisterClassExW(&cls) != 0;
}
