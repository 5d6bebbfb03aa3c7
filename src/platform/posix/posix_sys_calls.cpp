#include "platform/posix/sys_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {

int RealOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

int RealOpenAt(int dirFd, const char* path, int flags, mode_t mode) {
    return ::openat(dirFd, path, flags, mode);
}

int RealFstat(int fd, struct stat* st) {
    return ::fstat(fd, st);
}

int RealRenameAt2(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                  unsigned flags) {
#ifdef SYS_renameat2
    return static_cast<int>(::syscall(SYS_renameat2, oldDirFd, oldPath, newDirFd, newPath, flags));
#else
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return ::renameat(oldDirFd, oldPath, newDirFd, newPath);
#endif
}

const CSysCalls kReal = {
    RealOpen,      RealOpenAt, ::read,   ::write,  ::close,  RealFstat,   ::fsync,
    RealRenameAt2, ::unlinkat, ::linkat, ::fchmod, ::fchown, ::fdatasync, ::getdents64,
};

}  // namespace

const CSysCalls& RealSysCalls() {
    return kReal;
}

CSysCalls& Sys() {
    static CSysCalls table = kReal;
    return table;
}
