// Reading files on Windows: opened relative to the folder handle, never
// through a reparse point, with full sharing (read, write and delete), so a
// read never stands in the way of another program or of our own replace.
#include <windows.h>
#include <winternl.h>

#include "platform/file_io.h"
#include "platform/name_text.h"
#include "platform/win32/win32_nt.h"

namespace {

constexpr ACCESS_MASK kReadAccess = FILE_READ_DATA | FILE_READ_ATTRIBUTES;
constexpr ULONG kReadOptions = FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY;

}  // namespace

CFileReader::~CFileReader() {
    Close();
}

void CFileReader::Close() {
    if (m_handle >= 0)
        ::CloseHandle(AsHandle(m_handle));
    m_handle = -1;
}

CIoResult CFileReader::Open(const CDir& dir, const CPlatformName& name) {
    Close();
    CHandle file;
    const NTSTATUS status =
        OpenAt(AsHandle(dir.Handle()), name, kReadAccess, FILE_OPEN, kReadOptions, file);
    if (!NT_SUCCESS(status))
        return Fail(OpenFailure(status), ErrorOf(status));
    CHandleInfo info;
    if (const int error = QueryHandle(file.Get(), info))
        return Fail(IoStatus::ReadFailed, error);
    if (info.IsReparsePoint())
        return Fail(IoStatus::IsLink);
    if (info.IsFolder() || ::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return Fail(IoStatus::NotRegular);
    m_handle = reinterpret_cast<std::intptr_t>(file.Release());
    m_stamp = info.stamp;
    return {};
}

namespace {

// Opens path (UTF-8 text) for access, with full sharing; a folder opens too.
CIoResult OpenByPath(const std::string& path, DWORD access, DWORD flags, CHandle& out) {
    std::wstring wide;
    if (!WidePath(path, wide))
        return Fail(IoStatus::NotFound, ERROR_INVALID_NAME);
    out.Reset(::CreateFileW(wide.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
    if (out.Ok())
        return {};
    const DWORD error = ::GetLastError();
    return Fail(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                    ? IoStatus::NotFound
                    : IoStatus::OpenFailed,
                static_cast<int>(error));
}

}  // namespace

CIoResult CFileReader::OpenPath(const std::string& path) {
    Close();
    CHandle file;
    if (CIoResult r = OpenByPath(path, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN, file); !r.Ok())
        return r;
    CHandleInfo info;
    if (QueryHandle(file.Get(), info) != 0 || info.IsFolder() ||
        ::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return Fail(IoStatus::NotRegular);
    m_handle = reinterpret_cast<std::intptr_t>(file.Release());
    m_stamp = info.stamp;
    return {};
}

CIoResult CFileReader::Read(char* buffer, size_t size, size_t& got) {
    got = 0;
    DWORD n = 0;
    const DWORD ask = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!::ReadFile(AsHandle(m_handle), buffer, ask, &n, nullptr))
        return Fail(IoStatus::ReadFailed, static_cast<int>(::GetLastError()));
    got = n;
    return {};
}

namespace {

CIoResult ReadFrom(HANDLE handle, std::uint64_t offset, char* buffer, size_t size, size_t& got) {
    while (got < size) {
        OVERLAPPED at{};
        const std::uint64_t position = offset + got;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const size_t left = size - got;
        DWORD n = 0;
        if (!::ReadFile(handle, buffer + got,
                        left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left), &n, &at)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            return Fail(IoStatus::ReadFailed, static_cast<int>(error));
        }
        if (n == 0)
            break;
        got += n;
    }
    return {};
}

}  // namespace

// A positioned read moves a synchronous handle's file pointer on Windows,
// unlike pread: the pointer is put back, so Read goes on where it was.
CIoResult CFileReader::ReadAt(std::uint64_t offset, char* buffer, size_t size, size_t& got) {
    got = 0;
    LARGE_INTEGER was{};
    if (!::SetFilePointerEx(AsHandle(m_handle), LARGE_INTEGER{}, &was, FILE_CURRENT))
        return Fail(IoStatus::ReadFailed, static_cast<int>(::GetLastError()));
    const CIoResult result = ReadFrom(AsHandle(m_handle), offset, buffer, size, got);
    ::SetFilePointerEx(AsHandle(m_handle), was, nullptr, FILE_BEGIN);
    return result;
}

namespace {

// Reads handle to its end; a closed pipe is the end, not a failure.
CIoResult ReadToEnd(HANDLE handle, std::string& bytes, std::uint64_t maxBytes) {
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(handle, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
                return {};
            return Fail(IoStatus::ReadFailed, static_cast<int>(error));
        }
        if (n == 0)
            return {};
        if (bytes.size() + n >= maxBytes)
            return Fail(IoStatus::TooLarge);
        bytes.append(buffer, n);
    }
}

}  // namespace

bool NamesStandardInput(const std::string& path) {
    if (path == "-")
        return true;
    CNodeId named;
    CHandleInfo input;
    return IdentifyPath(path, named).Ok() &&
           QueryHandle(::GetStdHandle(STD_INPUT_HANDLE), input) == 0 && input.stamp.id == named;
}

CIoResult ReadStreamPath(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    CHandle opened;
    HANDLE handle = ::GetStdHandle(STD_INPUT_HANDLE);
    if (path != "-") {
        std::wstring wide;
        if (!WidePath(path, wide))
            return Fail(IoStatus::NotFound, ERROR_INVALID_NAME);
        opened.Reset(::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!opened.Ok()) {
            const DWORD error = ::GetLastError();
            return Fail(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                            ? IoStatus::NotFound
                            : IoStatus::OpenFailed,
                        static_cast<int>(error));
        }
        handle = opened.Get();
    }
    CHandleInfo info;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr ||
        (::GetFileType(handle) == FILE_TYPE_DISK && QueryHandle(handle, info) == 0 &&
         info.IsFolder()))
        return Fail(IoStatus::NotRegular);
    const CIoResult result = ReadToEnd(handle, bytes, maxBytes);
    if (!result.Ok())
        bytes.clear();
    return result;
}

CIoResult IdentifyPath(const std::string& path, CNodeId& id) {
    CHandle entry;
    if (CIoResult r = OpenByPath(path, FILE_READ_ATTRIBUTES, 0, entry); !r.Ok())
        return r;
    CHandleInfo info;
    if (const int error = QueryHandle(entry.Get(), info))
        return Fail(IoStatus::OpenFailed, error);
    id = info.stamp.id;
    return {};
}

CIoResult ReadFileAt(const CDir& dir, const std::string& name, std::string& bytes,
                     CFileStamp& stamp, std::uint64_t maxBytes) {
    CPlatformName wide;
    if (!PathTextToName(name, wide))
        return {IoStatus::NotFound, ERROR_INVALID_NAME};
    return ReadFileAt(dir, wide, bytes, stamp, maxBytes);
}
