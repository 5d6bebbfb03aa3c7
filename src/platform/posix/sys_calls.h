#pragma once
// The system calls that touch user files, behind one table of function
// pointers so that tests can make a read, a write, a rename or a close fail
// without needing a broken disk. Production code always calls through Sys().

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

struct CSysCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    int (*openat)(int dirFd, const char* path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void* buf, size_t count);
    ssize_t (*write)(int fd, const void* buf, size_t count);
    int (*close)(int fd);
    int (*fstat)(int fd, struct stat* st);
    int (*fsync)(int fd);
    // renameat2(2); flags 0 or RENAME_NOREPLACE.
    int (*renameat2)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath,
                     unsigned flags);
    int (*unlinkat)(int dirFd, const char* path, int flags);
    int (*linkat)(int oldDirFd, const char* oldPath, int newDirFd, const char* newPath, int flags);
    int (*fchmod)(int fd, mode_t mode);
    int (*fchown)(int fd, uid_t owner, gid_t group);
    int (*fdatasync)(int fd);
    // getdents64(2): the next folder entries into buf; 0 at the end, -1 with errno.
    ssize_t (*getdents64)(int fd, void* buf, size_t count);
};

// The table in force. Tests replace entries and restore them with CSysCallsOverride.
CSysCalls& Sys();

// The real system calls.
const CSysCalls& RealSysCalls();

// Restores the table when it goes out of scope (tests only).
class CSysCallsOverride {
  public:
    CSysCallsOverride() : m_saved(Sys()) {}
    ~CSysCallsOverride() { Sys() = m_saved; }
    CSysCallsOverride(const CSysCallsOverride&) = delete;
    CSysCallsOverride& operator=(const CSysCallsOverride&) = delete;

  private:
    CSysCalls m_saved;
};
