// CDir on Windows: a folder handle; children are opened relative to it with
// NtCreateFile and FILE_OPEN_REPARSE_POINT, so a symbolic link or a junction
// is seen as itself and never followed, and no path length limit applies.
#include <windows.h>
#include <winternl.h>

#include <utility>
#include <vector>

#include "platform/dir.h"
#include "platform/name_text.h"
#include "platform/win32/win32_nt.h"

namespace {

constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr ULONG kFolderOptions = FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT;

EntryType TypeOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryType::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryType::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? EntryType::Other : EntryType::File;
}

}  // namespace

std::uint64_t RaiseOpenFolderLimit() {
    return std::uint64_t{1} << 24;  // handles have no per-process limit to raise
}

void CDir::Close() {
    if (m_handle >= 0)
        ::CloseHandle(AsHandle(m_handle));
    m_handle = -1;
}

CIoResult CDir::Adopt(std::intptr_t handle) {
    Close();
    CHandle owned(AsHandle(handle));
    CHandleInfo info;
    if (const int error = QueryHandle(owned.Get(), info))
        return Fail(IoStatus::OpenFailed, error);
    if (info.IsReparsePoint())
        return Fail(IoStatus::IsLink, ERROR_CANT_ACCESS_FILE);
    if (!info.IsFolder())
        return Fail(IoStatus::NotFolder, ERROR_DIRECTORY);
    m_handle = reinterpret_cast<std::intptr_t>(owned.Release());
    m_id = info.stamp.id;
    return {};
}

CIoResult CDir::OpenPath(const std::string& path, CDir& out) {
    std::wstring wide;
    if (!WidePath(path, wide))
        return Fail(IoStatus::NotFound, ERROR_INVALID_NAME);
    // Links in the path are followed: the chosen folder may itself be one.
    const HANDLE handle =
        ::CreateFileW(wide.c_str(), kFolderAccess | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return Fail(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                        ? IoStatus::NotFound
                        : IoStatus::OpenFailed,
                    static_cast<int>(error));
    }
    return out.Adopt(reinterpret_cast<std::intptr_t>(handle));
}

CIoResult CDir::OpenChild(const CPlatformName& name, CDir& out) const {
    CHandle child;
    const NTSTATUS status =
        OpenAt(AsHandle(m_handle), name, kFolderAccess, FILE_OPEN, kFolderOptions, child);
    if (!NT_SUCCESS(status)) {
        EntryType type{};
        if (status == kStatusNotADirectory && Probe(name, type).Ok() && type == EntryType::Link)
            return Fail(IoStatus::IsLink, ErrorOf(status));
        return Fail(OpenFailure(status), ErrorOf(status));
    }
    return out.Adopt(reinterpret_cast<std::intptr_t>(child.Release()));
}

CIoResult CDir::Snapshot(std::vector<CDirEntry>& entries) const {
    entries.clear();
    // Enough for hundreds of entries a call; aligned as the records need.
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t));
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!::GetFileInformationByHandleEx(AsHandle(m_handle), kind, buffer.data(), size)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_NO_MORE_FILES)
                return {};
            entries.clear();
            return Fail(IoStatus::ListFailed, static_cast<int>(error));
        }
        kind = FileIdBothDirectoryInfo;
        const auto* at = reinterpret_cast<const unsigned char*>(buffer.data());
        for (;;) {
            const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const std::wstring_view name(record->FileName,
                                         record->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                CDirEntry entry;
                entry.name.assign(name);
                entry.type = TypeOf(record->FileAttributes);
                entry.id = {m_id.dev, static_cast<std::uint64_t>(record->FileId.QuadPart)};
                entries.push_back(std::move(entry));
            }
            if (record->NextEntryOffset == 0)
                break;
            at += record->NextEntryOffset;
        }
    }
}

CIoResult CDir::Probe(const CPlatformName& name, EntryType& type, CNodeId* id) const {
    CHandle entry;
    const NTSTATUS status =
        OpenAt(AsHandle(m_handle), name, FILE_READ_ATTRIBUTES, FILE_OPEN, 0, entry);
    if (!NT_SUCCESS(status)) {
        const IoStatus failure = OpenFailure(status);
        return Fail(failure == IoStatus::NotFound ? failure : IoStatus::OpenFailed,
                    ErrorOf(status));
    }
    CHandleInfo info;
    if (const int error = QueryHandle(entry.Get(), info))
        return Fail(IoStatus::OpenFailed, error);
    type = TypeOf(info.attributes);
    if (id)
        *id = info.stamp.id;
    return {};
}

CIoResult CDir::RenameChild(const CPlatformName& oldName, const CPlatformName& newName) const {
    CHandle entry;
    const NTSTATUS status = OpenAt(AsHandle(m_handle), oldName, DELETE | FILE_READ_ATTRIBUTES,
                                   FILE_OPEN, FILE_OPEN_FOR_BACKUP_INTENT, entry);
    if (!NT_SUCCESS(status)) {
        const IoStatus failure = OpenFailure(status);
        return Fail(failure == IoStatus::NotFound ? failure : IoStatus::RenameFailed,
                    ErrorOf(status));
    }
    if (const int error = RenameByHandle(entry.Get(), AsHandle(m_handle), newName, false)) {
        return Fail(error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                        ? IoStatus::Exists
                        : IoStatus::RenameFailed,
                    error);
    }
    return {};
}

CIoResult CDir::OpenChild(const std::string& name, CDir& out) const {
    CPlatformName wide;
    if (!PathTextToName(name, wide))
        return {IoStatus::NotFound, ERROR_INVALID_NAME};
    return OpenChild(wide, out);
}
