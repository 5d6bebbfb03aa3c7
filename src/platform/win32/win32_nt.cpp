#include "platform/win32/win32_nt.h"

#include <algorithm>
#include <vector>

NTSTATUS OpenAt(HANDLE dir, const std::wstring& name, ACCESS_MASK access, ULONG disposition,
                ULONG options, CHandle& out, ULONG share) {
    // One entry of the folder only: a backslash would make the name a path.
    if (name.empty() || name.size() > 32767 || name.find(L'\\') != std::wstring::npos)
        return kStatusNameInvalid;
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    UNICODE_STRING unicodeName{bytes, bytes, const_cast<PWSTR>(name.c_str())};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, dir, nullptr);
    IO_STATUS_BLOCK io{};
    return ::NtCreateFile(
        out.Out(), access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
        disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
}

namespace {

// FILE_RENAME_INFORMATION as the native API takes it.
struct CRenameInformation {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG fileNameLength;
    WCHAR fileName[1];
};

constexpr auto kFileRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
constexpr auto kFileLinkInformation = static_cast<FILE_INFORMATION_CLASS>(11);

}  // namespace

namespace {

// A new name for the entry, relative to the folder handle: a rename, or a
// hard link (FileLinkInformation takes the same structure).
int NameByHandle(HANDLE entry, HANDLE folder, const std::wstring& name, bool replace,
                 FILE_INFORMATION_CLASS kind) {
    if (name.empty() || name.size() > 32767 || name.find(L'\\') != std::wstring::npos)
        return ERROR_INVALID_NAME;  // never into another folder
    const size_t bytes = name.size() * sizeof(wchar_t);
    std::vector<std::uint64_t> buffer((sizeof(CRenameInformation) + bytes) / 8 + 1);
    auto* info = reinterpret_cast<CRenameInformation*>(buffer.data());
    info->replaceIfExists = replace ? TRUE : FALSE;
    info->rootDirectory = folder;
    info->fileNameLength = static_cast<ULONG>(bytes);
    std::copy(name.begin(), name.end(), info->fileName);
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        ::NtSetInformationFile(entry, &io, info, static_cast<ULONG>(buffer.size() * 8), kind);
    return NT_SUCCESS(status) ? 0 : ErrorOf(status);
}

}  // namespace

int RenameByHandle(HANDLE entry, HANDLE folder, const std::wstring& name, bool replace) {
    return NameByHandle(entry, folder, name, replace, kFileRenameInformation);
}

int LinkByHandle(HANDLE entry, HANDLE folder, const std::wstring& name) {
    return NameByHandle(entry, folder, name, false, kFileLinkInformation);
}

bool DeleteByHandle(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

bool KeepByHandle(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{FALSE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

int WriteAllTo(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD ask = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data(), ask, &n, nullptr))
            return static_cast<int>(::GetLastError());
        if (n == 0)
            return ERROR_DISK_FULL;  // no progress at all: the device takes nothing more
        bytes.remove_prefix(n);
    }
    return 0;
}

int ErrorOf(NTSTATUS status) {
    return static_cast<int>(::RtlNtStatusToDosError(status));
}

IoStatus OpenFailure(NTSTATUS status) {
    switch (status) {
        case kStatusNameNotFound:
        case kStatusPathNotFound:
            return IoStatus::NotFound;
        case kStatusNotADirectory:
            return IoStatus::NotFolder;
        case kStatusFileIsADirectory:
            return IoStatus::NotRegular;
        default:
            return IoStatus::OpenFailed;
    }
}

namespace {

std::int64_t Ticks(LARGE_INTEGER t) {
    return static_cast<std::int64_t>(t.QuadPart) * 100;  // 100 ns units to ns
}

std::int64_t Ticks(FILETIME t) {
    LARGE_INTEGER value;
    value.LowPart = t.dwLowDateTime;
    value.HighPart = static_cast<LONG>(t.dwHighDateTime);
    return Ticks(value);
}

}  // namespace

int QueryHandle(HANDLE handle, CHandleInfo& info) {
    BY_HANDLE_FILE_INFORMATION file{};
    if (!::GetFileInformationByHandle(handle, &file))
        return static_cast<int>(::GetLastError());
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
        return static_cast<int>(::GetLastError());
    info.attributes = file.dwFileAttributes;
    CFileStamp& s = info.stamp;
    s.id = {file.dwVolumeSerialNumber,
            (std::uint64_t{file.nFileIndexHigh} << 32) | file.nFileIndexLow};
    s.size = (std::uint64_t{file.nFileSizeHigh} << 32) | file.nFileSizeLow;
    s.mtimeNs = Ticks(file.ftLastWriteTime);
    s.ctimeNs = Ticks(basic.ChangeTime);
    s.links = file.nNumberOfLinks;
    return 0;
}

// The generalised UTF-8 here is WTF-8: UTF-8 that also encodes a lone
// surrogate as its three bytes, so every Windows name has a text form.
bool WideFromUtf8(std::string_view text, std::wstring& wide) {
    wide.clear();
    wide.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned c = *p;
        int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
        if (extra < 0 || c > 0xF4 || end - p <= extra)
            return false;
        std::uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMin[extra] || code > 0x10FFFF)
            return false;
        if (code >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            // A surrogate pair spelt as two three-byte halves is not the
            // generalised form: its character has a four-byte form.
            const bool low = code >= 0xDC00 && code <= 0xDFFF;
            if (low && !wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF)
                return false;
            wide += static_cast<wchar_t>(code);
        }
        p += extra + 1;
    }
    return true;
}

std::string Utf8FromWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t code = static_cast<std::uint16_t>(wide[i]);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF)
            code = 0x10000 + ((code - 0xD800) << 10) +
                   (static_cast<std::uint32_t>(wide[++i]) - 0xDC00);
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

bool WidePath(const std::string& path, std::wstring& wide) {
    std::wstring given;
    if (path.empty() || !WideFromUtf8(path, given))
        return false;
    if (given.starts_with(L"\\\\?\\")) {
        wide = given;
        return true;
    }
    std::vector<wchar_t> full(given.size() + MAX_PATH);
    for (;;) {
        const DWORD n = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()),
                                           full.data(), nullptr);
        if (n == 0)
            return false;
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n + 1);
    }
    const std::wstring absolute(full.begin(), full.end());
    if (absolute.starts_with(L"\\\\.\\"))
        wide = absolute;  // a device the user named: left as the system spells it
    else if (absolute.starts_with(L"\\\\"))
        wide = L"\\\\?\\UNC\\" + absolute.substr(2);
    else
        wide = L"\\\\?\\" + absolute;
    return true;
}
