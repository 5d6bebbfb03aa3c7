#pragma once
// Helpers that the Windows sources of this folder share: an owning handle,
// opens relative to a folder handle through the native API, what a handle
// is, and paths as the wide API wants them. Nothing above the platform layer
// includes this header.

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/io_result.h"

// Native status codes this folder tells apart (ntstatus.h clashes with windows.h).
inline constexpr NTSTATUS kStatusNameInvalid = static_cast<NTSTATUS>(0xC0000033);
inline constexpr NTSTATUS kStatusNameNotFound = static_cast<NTSTATUS>(0xC0000034);
inline constexpr NTSTATUS kStatusNameCollision = static_cast<NTSTATUS>(0xC0000035);
inline constexpr NTSTATUS kStatusPathNotFound = static_cast<NTSTATUS>(0xC000003A);
inline constexpr NTSTATUS kStatusFileIsADirectory = static_cast<NTSTATUS>(0xC00000BA);
inline constexpr NTSTATUS kStatusNotADirectory = static_cast<NTSTATUS>(0xC0000103);

inline constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

inline CIoResult Fail(IoStatus status, int error = 0) {
    return {status, error};
}

inline HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Closes the handle it owns when it goes.
class CHandle {
  public:
    explicit CHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~CHandle() { Reset(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    HANDLE* Out() {
        Reset();
        return &m_handle;
    }
    bool Ok() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Release() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (Ok())
            ::CloseHandle(m_handle);
        m_handle = handle;
    }

  private:
    HANDLE m_handle;
};

// NtCreateFile of name relative to the folder handle dir. FILE_OPEN_REPARSE_POINT
// and FILE_SYNCHRONOUS_IO_NONALERT are always added: a symbolic link or a
// junction is opened as itself, never followed.
NTSTATUS OpenAt(HANDLE dir, const std::wstring& name, ACCESS_MASK access, ULONG disposition,
                ULONG options, CHandle& out, ULONG share = kShareAll);

// Gives the entry open as entry (with DELETE access) the name name in the
// folder open as folder: FileRenameInformation relative to the folder handle,
// so no path is looked up again. replace: whether an entry of that name is
// replaced; never a folder. 0 or the Win32 error code.
int RenameByHandle(HANDLE entry, HANDLE folder, const std::wstring& name, bool replace);
// Gives the file open as entry a further name, name in the folder open as
// folder (FileLinkInformation relative to the folder handle); never replaces
// what is there. 0 or the Win32 error code.
int LinkByHandle(HANDLE entry, HANDLE folder, const std::wstring& name);
// Removes the file open as file (with DELETE access) once it is closed;
// KeepByHandle takes that back while it is still open.
bool DeleteByHandle(HANDLE file);
bool KeepByHandle(HANDLE file);

// Writes all of bytes to file; 0 or the Win32 error code (ERROR_DISK_FULL
// when the device takes nothing more).
int WriteAllTo(HANDLE file, std::string_view bytes);

// The Win32 error code of a native status.
int ErrorOf(NTSTATUS status);
// The status for a failed open of an entry.
IoStatus OpenFailure(NTSTATUS status);

// What a handle is: attributes and the stamp (volume serial and file index
// as identity, size, write and change times, link count).
struct CHandleInfo {
    DWORD attributes = 0;
    CFileStamp stamp;

    bool IsReparsePoint() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};
// 0 or the Win32 error code.
int QueryHandle(HANDLE handle, CHandleInfo& info);

// UTF-8 (also the generalised form that carries lone surrogates) to UTF-16 and back.
bool WideFromUtf8(std::string_view text, std::wstring& wide);
std::string Utf8FromWide(std::wstring_view wide);

// A path as the wide API wants it: absolute, with the \\?\ prefix, so that
// no length limit applies. False when the path is not valid text.
bool WidePath(const std::string& path, std::wstring& wide);
