#include "win32/text_export.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "app/app_texts.h"
#include "win32/wide_text.h"

namespace {

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

bool HasSuffix(const std::wstring& path) {
    const size_t name = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && (name == std::wstring::npos || dot > name);
}

}  // namespace

bool CopyToClipboard(HWND owner, const std::string& text) {
    const std::wstring wide = Widen(WithCrLf(text));
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!set)
        GlobalFree(memory);
    return set;
}

std::wstring PickTextFile(HWND owner, const std::wstring& title, const std::wstring& suggested) {
    std::vector<wchar_t> name(32768, L'\0');
    suggested.copy(name.data(), std::min(suggested.size(), name.size() - 1));
    // The filter's parts are separated by NULs, and it ends with two.
    std::wstring filter = Widen(app_text::kSaveListFilter);
    filter += L'\0';
    filter += L"*.txt";
    filter += L'\0';
    OPENFILENAMEW box{};
    box.lStructSize = sizeof box;
    box.hwndOwner = owner;
    box.lpstrFilter = filter.c_str();
    box.lpstrFile = name.data();
    box.nMaxFile = static_cast<DWORD>(name.size());
    box.lpstrTitle = title.c_str();
    box.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&box))
        return {};
    std::wstring path = name.data();
    if (!HasSuffix(path))
        path += L".txt";
    return path;
}

bool SaveTextFile(const std::wstring& path, const std::string& text) {
    const std::string bytes = "\xEF\xBB\xBF" + WithCrLf(text);
    const std::wstring temporary = path + L".vexa-save";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExW(temporary.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
