#include "win32/win32_dialog_host.h"

#include <shellapi.h>

#include "app/app_texts.h"
#include "service/soft_record.h"
#include "win32/open_failure_box.h"
#include "win32/resource.h"
#include "win32/wide_text.h"
#include "win32/win32_texts.h"

namespace {

HWND AsWindow(void* owner) {
    return static_cast<HWND>(owner);
}

const std::wstring& Caption() {
    static const std::wstring caption = Widen(app_text::kCaption);
    return caption;
}

template <size_t N>
std::string Field(const char (&field)[N]) {
    return Narrow(FromWorking(DecodeSoftField(field, N)));
}

}  // namespace

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = text ? text : L"";
    LocalFree(text);
    while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r' || out.back() == L' '))
        out.pop_back();
    if (out.empty())
        out = L"error " + std::to_wstring(error);
    return out;
}

void CWin32DialogHost::Warning(void* owner, const std::string& text) {
    MessageBoxW(AsWindow(owner), Widen(text).c_str(), Caption().c_str(), MB_OK | MB_ICONWARNING);
}

int CWin32DialogHost::Confirm(void* owner, const std::string& text) {
    const int answer = MessageBoxW(AsWindow(owner), Widen(text).c_str(), Caption().c_str(),
                                   MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES ? kYes : kNo;
}

bool CWin32DialogHost::OpenUrl(const std::string& target) {
    if (target.empty())
        return false;
    const std::wstring path = FromEnginePath(target);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = m_hOwner;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info))
        return true;
    ShowOpenFailure(m_hOwner, path, Narrow(SystemMessage(GetLastError())));
    return false;
}

std::string CWin32DialogHost::About(int /*operation*/, const tagSoft* soft,
                                    const std::string& /*text*/) {
    if (!soft)
        return {};
    const std::string caption = win32_text::kAboutCaption + Field(soft->title);
    const std::string text = Field(soft->title) + "\n\n" + Field(soft->shortName) +
                             win32_text::kAboutPurpose + "\n\n" + win32_text::kAboutVersion +
                             VEXA_VERSION + "（" + Field(soft->version) + "）\n" +
                             win32_text::kAboutCategory + Field(soft->category);
    const std::wstring wideText = Widen(text);
    const std::wstring wideCaption = Widen(caption);
    MSGBOXPARAMSW params{};
    params.cbSize = sizeof params;
    params.hwndOwner = m_hOwner;
    params.hInstance = GetModuleHandleW(nullptr);
    params.lpszText = wideText.c_str();
    params.lpszCaption = wideCaption.c_str();
    params.dwStyle = MB_OK | MB_USERICON;
    params.lpszIcon = MAKEINTRESOURCEW(IDI_VEXA);
    MessageBoxIndirectW(&params);
    return {};
}
