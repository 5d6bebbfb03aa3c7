// The user's profile folder on Windows (there is no password database).
#include <userenv.h>
#include <windows.h>

#include "platform/user_home.h"
#include "platform/win32/win32_nt.h"

std::string PasswordDatabaseHome() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    wchar_t path[MAX_PATH * 4];
    DWORD size = sizeof path / sizeof path[0];
    const bool ok = ::GetUserProfileDirectoryW(token, path, &size) != 0;
    ::CloseHandle(token);
    return ok ? Utf8FromWide(path) : std::string();
}
