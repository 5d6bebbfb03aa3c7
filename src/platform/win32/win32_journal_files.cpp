// The undo journal's file operations on Windows. Every entry is opened
// relative to its folder's handle with NtCreateFile and opened as itself
// (a symbolic link or a junction is never followed); names are the
// journal's UTF-8 text, turned into UTF-16 here.
#include <windows.h>
#include <winternl.h>

#include <utility>
#include <vector>

#include "platform/journal_files.h"
#include "platform/name_text.h"
#include "platform/win32/win32_nt.h"

namespace {

constexpr NTSTATUS kStatusNotSameDevice = static_cast<NTSTATUS>(0xC00000D4);

HANDLE DirHandle(const CDir& dir) {
    return AsHandle(dir.Handle());
}

bool Wide(const CJournalName& name, std::wstring& wide) {
    return PathTextToName(name, wide);
}

EntryType TypeOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryType::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryType::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? EntryType::Other : EntryType::File;
}

// Opens name in dir as itself; the status of a failed open, NotFound apart.
CIoResult Open(const CDir& dir, const CJournalName& name, ACCESS_MASK access, ULONG disposition,
               ULONG options, CHandle& out, IoStatus failure, ULONG share = kShareAll) {
    std::wstring wide;
    if (!Wide(name, wide))
        return Fail(IoStatus::NotFound, ERROR_INVALID_NAME);
    const NTSTATUS status = OpenAt(DirHandle(dir), wide, access, disposition, options, out, share);
    if (NT_SUCCESS(status))
        return {};
    if (status == kStatusNameCollision)
        return Fail(IoStatus::Exists, ErrorOf(status));
    const IoStatus open = OpenFailure(status);
    return Fail(open == IoStatus::NotFound ? open : failure, ErrorOf(status));
}

// A regular file open as file: its stamp, or why it is not one.
CIoResult RegularStamp(HANDLE file, CFileStamp& stamp) {
    CHandleInfo info;
    if (const int error = QueryHandle(file, info))
        return Fail(IoStatus::OpenFailed, error);
    if (info.IsReparsePoint())
        return Fail(IoStatus::IsLink);
    if (info.IsFolder())
        return Fail(IoStatus::NotRegular);
    stamp = info.stamp;
    return {};
}

// Copies the rest of src to dst a buffer at a time, every write checked.
CIoResult CopyBytes(HANDLE src, HANDLE dst) {
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(src, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return Fail(IoStatus::ReadFailed, static_cast<int>(::GetLastError()));
        if (got == 0)
            return {};
        if (const int error = WriteAllTo(dst, std::string_view(buffer.data(), got)))
            return Fail(IoStatus::WriteTempFailed, error);
    }
}

// The attributes a copy keeps: the rest belong to where the file lies.
CIoResult CopyAttributes(HANDLE src, HANDLE dst) {
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(src, FileBasicInfo, &basic, sizeof basic))
        return Fail(IoStatus::AttributesFailed, static_cast<int>(::GetLastError()));
    FILE_BASIC_INFO kept{};
    kept.FileAttributes =
        basic.FileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept.FileAttributes == 0)
        kept.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    kept.LastWriteTime = basic.LastWriteTime;
    if (!::SetFileInformationByHandle(dst, FileBasicInfo, &kept, sizeof kept))
        return Fail(IoStatus::AttributesFailed, static_cast<int>(::GetLastError()));
    return {};
}

}  // namespace

CJournalName JournalNameOf(const CPlatformName& name) {
    return NameToPathText(name);
}

CPlatformName PlatformNameOf(const CJournalName& name) {
    CPlatformName wide;
    PathTextToName(name, wide);
    return wide;
}

CAppendFile::~CAppendFile() {
    Close();
}

CIoResult CAppendFile::Create(const CDir& dir, const CJournalName& name) {
    Close();
    CHandle file;
    // Append access only: every write lands at the end, whole.
    if (CIoResult r = Open(dir, name, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_CREATE,
                           FILE_NON_DIRECTORY_FILE, file, IoStatus::CreateTempFailed);
        !r.Ok())
        return r;
    m_handle = reinterpret_cast<std::intptr_t>(file.Release());
    return {};
}

CIoResult CAppendFile::Append(std::string_view text) {
    if (const int error = WriteAllTo(AsHandle(m_handle), text))
        return Fail(IoStatus::WriteTempFailed, error);
    return {};
}

CIoResult CAppendFile::Sync() {
    if (!::FlushFileBuffers(AsHandle(m_handle)))
        return Fail(IoStatus::SyncFailed, static_cast<int>(::GetLastError()));
    return {};
}

CIoResult CAppendFile::Close() {
    const std::intptr_t handle = std::exchange(m_handle, -1);
    if (handle >= 0 && !::CloseHandle(AsHandle(handle)))
        return Fail(IoStatus::CloseTempFailed, static_cast<int>(::GetLastError()));
    return {};
}

CIoResult StampAt(const CDir& dir, const CJournalName& name, CFileStamp& stamp, EntryType& type) {
    CHandle entry;
    if (CIoResult r =
            Open(dir, name, FILE_READ_ATTRIBUTES, FILE_OPEN, 0, entry, IoStatus::OpenFailed);
        !r.Ok())
        return r;
    CHandleInfo info;
    if (const int error = QueryHandle(entry.Get(), info))
        return Fail(IoStatus::OpenFailed, error);
    stamp = info.stamp;
    type = TypeOf(info.attributes);
    return {};
}

CIoResult LinkAt(const CDir& fromDir, const CJournalName& name, const CDir& toDir,
                 const CJournalName& toName) {
    // A hard link never crosses a volume; the volume serial tells them apart
    // even where the system would not (wine's drives over one file system).
    if (fromDir.Id().dev != toDir.Id().dev)
        return Fail(IoStatus::OtherFileSystem, ERROR_NOT_SAME_DEVICE);
    CHandle file;
    if (CIoResult r = Open(fromDir, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, FILE_OPEN,
                           FILE_NON_DIRECTORY_FILE, file, IoStatus::OpenFailed);
        !r.Ok())
        return r;
    CFileStamp stamp;
    if (CIoResult r = RegularStamp(file.Get(), stamp); !r.Ok())
        return r;
    std::wstring wide;
    if (!Wide(toName, wide))
        return Fail(IoStatus::CreateTempFailed, ERROR_INVALID_NAME);
    switch (const int error = LinkByHandle(file.Get(), DirHandle(toDir), wide)) {
        case 0:
            return {};
        case ERROR_NOT_SAME_DEVICE:
            return Fail(IoStatus::OtherFileSystem, error);
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return Fail(IoStatus::Exists, error);
        default:
            return Fail(IoStatus::CreateTempFailed, error);
    }
}

CIoResult CopyFileAt(const CDir& fromDir, const CJournalName& name, const CFileStamp& expected,
                     const CDir& toDir, const CJournalName& toName) {
    CHandle src;
    if (CIoResult r =
            Open(fromDir, name, FILE_READ_DATA | FILE_READ_ATTRIBUTES, FILE_OPEN,
                 FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, src, IoStatus::OpenFailed);
        !r.Ok())
        return r;
    CFileStamp stamp;
    if (CIoResult r = RegularStamp(src.Get(), stamp); !r.Ok())
        return r;
    if (stamp != expected)
        return Fail(IoStatus::Changed);
    CHandle dst;
    constexpr ACCESS_MASK kAccess =
        GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
    if (CIoResult r = Open(toDir, toName, kAccess, FILE_CREATE, FILE_NON_DIRECTORY_FILE, dst,
                           IoStatus::CreateTempFailed, 0);
        !r.Ok())
        return r;
    auto fail = [&](CIoResult r) {
        DeleteByHandle(dst.Get());
        return r;
    };
    if (CIoResult r = CopyBytes(src.Get(), dst.Get()); !r.Ok())
        return fail(r);
    if (CIoResult r = CopyAttributes(src.Get(), dst.Get()); !r.Ok())
        return fail(r);
    if (!::FlushFileBuffers(dst.Get()))
        return fail(Fail(IoStatus::SyncFailed, static_cast<int>(::GetLastError())));
    // The copy is of the file as it was read only if nothing wrote to it meanwhile.
    if (!RegularStamp(src.Get(), stamp).Ok() || stamp != expected)
        return fail(Fail(IoStatus::Changed));
    if (!::CloseHandle(dst.Release())) {
        const int error = static_cast<int>(::GetLastError());
        CFileStamp made;
        EntryType type{};
        if (StampAt(toDir, toName, made, type).Ok())
            RemoveFileAt(toDir, toName, made.id);
        return Fail(IoStatus::CloseTempFailed, error);
    }
    return {};
}

CIoResult MoveOverAt(const CDir& fromDir, const CJournalName& fromName, const CDir& toDir,
                     const CJournalName& toName, const CFileStamp& expected) {
    {
        CHandle target;
        CFileStamp now;
        if (!Open(toDir, toName, FILE_READ_ATTRIBUTES, FILE_OPEN, FILE_NON_DIRECTORY_FILE, target,
                  IoStatus::OpenFailed)
                 .Ok() ||
            !RegularStamp(target.Get(), now).Ok() || now != expected)
            return Fail(IoStatus::Changed);
    }  // closed: Windows renames over no file that is still open here
    CHandle entry;
    if (CIoResult r = Open(fromDir, fromName, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN,
                           FILE_NON_DIRECTORY_FILE, entry, IoStatus::ReplaceFailed);
        !r.Ok())
        return r;
    std::wstring wide;
    if (!Wide(toName, wide))
        return Fail(IoStatus::ReplaceFailed, ERROR_INVALID_NAME);
    if (const int error = RenameByHandle(entry.Get(), DirHandle(toDir), wide, true))
        return Fail(
            error == ERROR_NOT_SAME_DEVICE ? IoStatus::OtherFileSystem : IoStatus::ReplaceFailed,
            error);
    return {};
}

CIoResult SetModeAt(const CDir&, const CJournalName&, std::uint32_t) {
    return {};  // no permission bits to set
}

CIoResult RemoveFileAt(const CDir& dir, const CJournalName& name, const CNodeId& id) {
    CHandle file;
    if (CIoResult r = Open(dir, name, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN, 0, file,
                           IoStatus::OpenFailed);
        !r.Ok())
        return r;
    CFileStamp stamp;
    if (!RegularStamp(file.Get(), stamp).Ok() || stamp.id != id)
        return Fail(IoStatus::Changed);
    if (!DeleteByHandle(file.Get()))
        return Fail(IoStatus::RenameFailed, static_cast<int>(::GetLastError()));
    return {};
}

CIoResult RemoveTreeAt(const CDir& dir, const CJournalName& name) {
    CHandle entry;
    const CIoResult opened = Open(dir, name, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN,
                                  FILE_OPEN_FOR_BACKUP_INTENT, entry, IoStatus::RenameFailed);
    if (opened.status == IoStatus::NotFound)
        return {};
    if (!opened.Ok())
        return opened;
    CHandleInfo info;
    if (const int error = QueryHandle(entry.Get(), info))
        return Fail(IoStatus::RenameFailed, error);
    // A link or a junction is removed itself, never entered.
    if (info.IsFolder() && !info.IsReparsePoint()) {
        CDir sub;
        if (CIoResult r = dir.OpenChild(name, sub); !r.Ok())
            return r;
        std::vector<CDirEntry> entries;
        if (CIoResult r = sub.Snapshot(entries); !r.Ok())
            return r;
        for (const CDirEntry& e : entries) {
            if (CIoResult r = RemoveTreeAt(sub, JournalNameOf(e.name)); !r.Ok())
                return r;
        }
    }
    if (!DeleteByHandle(entry.Get()))
        return Fail(IoStatus::RenameFailed, static_cast<int>(::GetLastError()));
    return {};
}

CIoResult MakeFolderAt(const CDir& dir, const CJournalName& name) {
    CHandle folder;
    const CIoResult r = Open(dir, name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_CREATE,
                             FILE_DIRECTORY_FILE, folder, IoStatus::CreateTempFailed);
    if (r.status != IoStatus::Exists)
        return r;
    EntryType type{};
    CFileStamp stamp;
    if (StampAt(dir, name, stamp, type).Ok() && type == EntryType::Folder)
        return {};
    return Fail(IoStatus::NotFolder);
}

CIoResult WriteSmallFileAt(const CDir& dir, const CJournalName& name, std::string_view bytes) {
    const CJournalName temp = name + ".new";
    RemoveTreeAt(dir, temp);
    CHandle out;
    if (CIoResult r = Open(dir, temp, GENERIC_WRITE | DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE,
                           out, IoStatus::CreateTempFailed, 0);
        !r.Ok())
        return r;
    std::wstring wide;
    int error = Wide(name, wide) ? WriteAllTo(out.Get(), bytes) : ERROR_INVALID_NAME;
    if (error == 0 && !::FlushFileBuffers(out.Get()))
        error = static_cast<int>(::GetLastError());
    if (error == 0)
        error = RenameByHandle(out.Get(), DirHandle(dir), wide, true);
    if (error != 0) {
        DeleteByHandle(out.Get());
        return Fail(IoStatus::WriteTempFailed, error);
    }
    return {};
}

std::string RealPathOf(const std::string& path) {
    std::wstring wide;
    if (!WidePath(path, wide))
        return {};
    CHandle entry(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.Ok())
        return {};
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(entry.Get(), buffer.data(),
                                                    static_cast<DWORD>(buffer.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(n + 1);
    }
    std::wstring real(buffer.begin(), buffer.end());
    // The \\?\ form back to the one people read: C:\... or \\server\share\...
    if (real.starts_with(L"\\\\?\\UNC\\"))
        real = L"\\\\" + real.substr(8);
    else if (real.starts_with(L"\\\\?\\"))
        real = real.substr(4);
    return Utf8FromWide(real);
}

CFileLock::~CFileLock() {
    Unlock();
}

CFileLock::CFileLock(CFileLock&& other) noexcept : m_handle(std::exchange(other.m_handle, -1)) {}

CFileLock& CFileLock::operator=(CFileLock&& other) noexcept {
    if (this != &other) {
        Unlock();
        m_handle = std::exchange(other.m_handle, -1);
    }
    return *this;
}

CIoResult CFileLock::Lock(const CDir& dir, const CJournalName& name, bool wait) {
    Unlock();
    CHandle file;
    if (CIoResult r = Open(dir, name, GENERIC_READ | GENERIC_WRITE, FILE_OPEN_IF,
                           FILE_NON_DIRECTORY_FILE, file, IoStatus::OpenFailed);
        !r.Ok())
        return r;
    // A byte-range lock belongs to its handle: another handle, in this
    // process or another, is refused until it is closed, however the
    // holder ends.
    OVERLAPPED at{};
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!::LockFileEx(file.Get(), flags, 0, 1, 0, &at)) {
        const DWORD error = ::GetLastError();
        return Fail(error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING
                        ? IoStatus::Busy
                        : IoStatus::OpenFailed,
                    static_cast<int>(error));
    }
    m_handle = reinterpret_cast<std::intptr_t>(file.Release());
    return {};
}

void CFileLock::Unlock() {
    const std::intptr_t handle = std::exchange(m_handle, -1);
    if (handle >= 0)
        ::CloseHandle(AsHandle(handle));  // closing the handle releases the lock
}
