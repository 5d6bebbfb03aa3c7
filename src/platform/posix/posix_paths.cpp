#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "platform/posix/posix_stat.h"
#include "platform/posix/sys_calls.h"

std::string OsErrorText(int osError) {
    return std::strerror(osError);
}

PathKind KindOfPath(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return PathKind::Missing;
    if (S_ISDIR(st.st_mode))
        return PathKind::Folder;
    return S_ISREG(st.st_mode) ? PathKind::File : PathKind::Other;
}

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return KindOfPath(path) == PathKind::Folder;
    }
}

bool CreateEmptyFile(const std::string& path) {
    // O_EXCL: an existing file, whatever it holds, is never opened for writing.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0)
        return ::close(fd) == 0;
    return errno == EEXIST && KindOfPath(path) == PathKind::File;
}

CIoResult RenamePath(const std::string& from, const std::string& to) {
    int rc = Sys().renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0)
            return Fail(IoStatus::Exists, EEXIST);
        rc = Sys().renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0);
    }
    if (rc == 0)
        return {};
    const int error = errno;
    return Fail(error == EEXIST || error == ENOTEMPTY ? IoStatus::Exists
                : error == ENOENT                     ? IoStatus::NotFound
                                                      : IoStatus::RenameFailed,
                error);
}

bool IsUnsafeEntryName(std::string_view name) {
    return name.empty() || name == "." || name == ".." ||
           name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos;
}

bool IsUnsafePathTextName(std::string_view name) {
    return IsUnsafeEntryName(name);  // path text is the working code page here
}

std::string SystemConfigFolder() {
    return {};
}

std::string SystemDataFolder() {
    return {};
}
