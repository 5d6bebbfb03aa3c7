#include "win32/open_failure_box.h"

#include <commctrl.h>

#include "app/app_texts.h"
#include "win32/text_export.h"
#include "win32/wide_text.h"

namespace {

constexpr int kCopyPathButton = 100;

// 复制路径 copies and keeps the box; 确定 closes it.
HRESULT CALLBACK OnBoxEvent(HWND box, UINT event, WPARAM wParam, LPARAM /*lParam*/, LONG_PTR path) {
    if (event != TDN_BUTTON_CLICKED || wParam != kCopyPathButton)
        return S_OK;
    CopyToClipboard(box, Narrow(*reinterpret_cast<const std::wstring*>(path)));
    return S_FALSE;
}

// A path may hold "%1" or "%2" itself: the two places are filled in one pass.
std::string Message(const std::string& path, const std::string& why) {
    std::string out;
    const std::string_view text = app_text::kOpenFailed;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[++i] == '1' ? path : why;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void ShowOpenFailure(HWND owner, const std::wstring& path, const std::string& why) {
    const std::wstring text = Widen(Message(Narrow(path), why));
    const std::wstring caption = Widen(app_text::kCaption);
    const std::wstring copy = Widen(app_text::kCopyPath);
    const TASKDIALOG_BUTTON buttons[] = {{kCopyPathButton, copy.c_str()}};
    TASKDIALOGCONFIG box{};
    box.cbSize = sizeof box;
    box.hwndParent = owner;
    box.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    box.dwCommonButtons = TDCBF_OK_BUTTON;
    box.pszWindowTitle = caption.c_str();
    box.pszMainIcon = TD_WARNING_ICON;
    box.pszContent = text.c_str();
    box.cButtons = 1;
    box.pButtons = buttons;
    box.nDefaultButton = IDOK;
    box.pfCallback = OnBoxEvent;
    box.lpCallbackData = reinterpret_cast<LONG_PTR>(&path);
    if (FAILED(TaskDialogIndirect(&box, nullptr, nullptr, nullptr)))
        MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
