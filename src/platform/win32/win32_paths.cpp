// Path-level helpers on Windows: paths are UTF-8 text, handed to the wide
// API with the \\?\ prefix; the rules files live in %APPDATA%\Vexa.
#include <windows.h>

#include <array>
#include <cwchar>

#include "platform/code_page.h"
#include "platform/paths.h"
#include "platform/win32/win32_nt.h"

std::string OsErrorText(int osError) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(osError), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", n);
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    if (message.empty())
        return "error " + std::to_string(osError);
    return Utf8FromWide(message);
}

namespace {

std::string FromEnvironment(const wchar_t* name) {
    const wchar_t* value = ::_wgetenv(name);
    return value && *value ? Utf8FromWide(value) : std::string();
}

}  // namespace

std::string SystemConfigFolder() {
    return FromEnvironment(L"APPDATA");
}

std::string SystemDataFolder() {
    return FromEnvironment(L"LOCALAPPDATA");
}

PathKind KindOfPath(const std::string& path) {
    std::wstring wide;
    if (!WidePath(path, wide))
        return PathKind::Missing;
    CHandle entry(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    CHandleInfo info;
    if (!entry.Ok() || QueryHandle(entry.Get(), info) != 0)
        return PathKind::Missing;
    if (info.IsFolder())
        return PathKind::Folder;
    return ::GetFileType(entry.Get()) == FILE_TYPE_DISK ? PathKind::File : PathKind::Other;
}

bool MakeFolders(const std::string& path) {
    for (size_t cut = path.find_first_of(kPathSeparators, 1);;
         cut = path.find_first_of(kPathSeparators, cut + 1)) {
        std::wstring wide;
        if (WidePath(path.substr(0, cut), wide))
            ::CreateDirectoryW(wide.c_str(), nullptr);  // drive roots and existing ones fail
        if (cut == std::string::npos)
            return KindOfPath(path) == PathKind::Folder;
    }
}

bool CreateEmptyFile(const std::string& path) {
    std::wstring wide;
    if (!WidePath(path, wide))
        return false;
    // CREATE_NEW: an existing file, whatever it holds, is never opened for writing.
    CHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Ok())
        return true;
    return ::GetLastError() == ERROR_FILE_EXISTS && KindOfPath(path) == PathKind::File;
}

CIoResult RenamePath(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!WidePath(from, wideFrom) || !WidePath(to, wideTo))
        return Fail(IoStatus::NotFound, ERROR_INVALID_NAME);
    if (::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), 0))  // never MOVEFILE_REPLACE_EXISTING
        return {};
    const DWORD error = ::GetLastError();
    return Fail(error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? IoStatus::Exists
                : error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                    ? IoStatus::NotFound
                    : IoStatus::RenameFailed,
                static_cast<int>(error));
}

namespace {

bool IsReservedDeviceName(std::wstring_view name) {
    // The device names hold with any suffix ("NUL.txt") and trailing spaces.
    const std::wstring_view stem = name.substr(0, name.find(L'.'));
    std::wstring upper(stem.substr(0, stem.find_last_not_of(L' ') + 1));
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    static constexpr std::array<std::wstring_view, 6> kPlain{L"CON", L"PRN",    L"AUX",
                                                             L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view reserved : kPlain) {
        if (upper == reserved)
            return true;
    }
    // COM1 ... COM9 and LPT1 ... LPT9, also with a superscript digit.
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
           ((upper[3] >= L'1' && upper[3] <= L'9') || upper[3] == L'\u00B9' ||
            upper[3] == L'\u00B2' || upper[3] == L'\u00B3');
}

}  // namespace

namespace {

bool IsUnsafeWideName(const std::wstring& wide) {
    if (wide.empty() || wide == L"." || wide == L"..")
        return true;
    for (const wchar_t c : wide) {
        if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c))
            return true;
    }
    return wide.back() == L'.' || wide.back() == L' ' || IsReservedDeviceName(wide);
}

}  // namespace

bool IsUnsafeEntryName(std::string_view name) {
    // The name is rule text in the working code page; judged by its characters,
    // since a trail byte of a double-byte character may look like a backslash.
    std::u16string units;
    if (name.empty() || !CCodePage::Working().ToUtf16(name, units))
        return true;
    return IsUnsafeWideName(std::wstring(units.begin(), units.end()));
}

bool IsUnsafePathTextName(std::string_view name) {
    std::wstring wide;
    return !WideFromUtf8(name, wide) || IsUnsafeWideName(wide);
}
