#include "win32/recent_folders.h"

#include "win32/resource.h"
#include "win32/wide_text.h"

namespace {

// OBM_COMBO, the system's own drop-down arrow (winuser.h gives it only
// with OEMRESOURCE, which would change what the rest of windows.h means).
constexpr int kComboArrowBitmap = 32738;

// A folder as the edit shows it: without a separator at the end, except
// for a drive's root ("C:\").
std::wstring Trimmed(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

}  // namespace

CRecentFolders::CRecentFolders(HWND dialog) : m_hDialog(dialog) {
    m_hArrow = static_cast<HBITMAP>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(kComboArrowBitmap), IMAGE_BITMAP, 0, 0, LR_SHARED));
    SendDlgItemMessageW(dialog, IDC_RECENT, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_hArrow));
    DragAcceptFiles(dialog, TRUE);
}

CRecentFolders::~CRecentFolders() = default;  // the arrow is shared: the system's

void CRecentFolders::SetFolders(const std::vector<std::string>& folders) {
    m_folders.clear();
    for (const std::string& folder : folders)
        m_folders.push_back(FromEnginePath(folder));
    EnableWindow(GetDlgItem(m_hDialog, IDC_RECENT), !m_folders.empty());
}

void CRecentFolders::ShowMenu() {
    HWND button = GetDlgItem(m_hDialog, IDC_RECENT);
    RECT r{};
    GetWindowRect(button, &r);
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < m_folders.size(); ++i) {
        // "&" marks a menu's access key: doubled, the folder shows as typed.
        std::wstring text;
        for (wchar_t c : m_folders[i])
            text += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        AppendMenuW(menu, MF_STRING, i + 1, text.c_str());
    }
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_TOPALIGN, r.right,
                                      r.bottom, 0, m_hDialog, nullptr);
    DestroyMenu(menu);
    if (chosen > 0 && static_cast<size_t>(chosen) <= m_folders.size())
        SetDlgItemTextW(m_hDialog, IDC_PATH, Trimmed(m_folders[chosen - 1]).c_str());
}

void CRecentFolders::TakeDrop(HDROP drop) {
    std::wstring path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        path.resize(DragQueryFileW(drop, 0, nullptr, 0) + 1);
        path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
    }
    DragFinish(drop);
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    SetDlgItemTextW(m_hDialog, IDC_PATH, Trimmed(path).c_str());
    SetForegroundWindow(m_hDialog);
}
