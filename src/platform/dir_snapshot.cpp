#include "platform/dir_snapshot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sys_calls.h"

int OpenFolderAt(int dirFd, const char* name) {
    return Sys().openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
}

namespace {

// What the entry leads to. A link that leads nowhere (or a vanished entry)
// keeps the type the listing gave and stays unknown.
void Examine(int dirFd, const dirent& d, CDirEntry& entry) {
    struct stat st {};
    if (::fstatat(dirFd, entry.name.c_str(), &st, 0) == 0) {
        entry.isDir = S_ISDIR(st.st_mode);
        entry.known = true;
        entry.dev = st.st_dev;
        entry.ino = st.st_ino;
        return;
    }
    entry.isDir = d.d_type == DT_DIR;
}

}  // namespace

CDirSnapshot TakeDirSnapshot(int dirFd) {
    CDirSnapshot snap;
    // The listing gets a descriptor of its own: closedir closes it, the caller's stays open.
    const int own = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = own >= 0 ? ::fdopendir(own) : nullptr;
    if (!dir) {
        snap.error = errno;
        if (own >= 0)
            ::close(own);
        return snap;
    }
    for (;;) {
        errno = 0;
        const dirent* d = Sys().readdir(dir);
        if (!d) {
            snap.error = errno;
            break;
        }
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        CDirEntry entry;
        entry.name = d->d_name;
        Examine(dirFd, *d, entry);
        snap.entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    if (snap.error != 0)
        snap.entries.clear();
    return snap;
}
