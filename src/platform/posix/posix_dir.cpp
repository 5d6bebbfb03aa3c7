#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/dir.h"
#include "platform/posix/posix_stat.h"
#include "platform/posix/sys_calls.h"

IoStatus OpenFailure(int error) {
    switch (error) {
        case ENOENT:
            return IoStatus::NotFound;
        case ELOOP:  // O_NOFOLLOW met a link
            return IoStatus::IsLink;
        case ENOTDIR:
            return IoStatus::NotFolder;
        default:
            return IoStatus::OpenFailed;
    }
}

std::uint64_t RaiseOpenFolderLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur;
}

void CDir::Close() {
    if (m_handle >= 0)
        Sys().close(Fd(m_handle));
    m_handle = -1;
}

CIoResult CDir::Adopt(std::intptr_t handle) {
    Close();
    struct stat st {};
    if (Sys().fstat(Fd(handle), &st) != 0) {
        const int error = errno;
        Sys().close(Fd(handle));
        return Fail(IoStatus::OpenFailed, error);
    }
    m_handle = handle;
    m_id = IdFromStat(st);
    return {};
}

namespace {

EntryType TypeOf(mode_t mode) {
    if (S_ISREG(mode))
        return EntryType::File;
    if (S_ISDIR(mode))
        return EntryType::Folder;
    if (S_ISLNK(mode))
        return EntryType::Link;
    return EntryType::Other;
}

// The type the listing gave; only file systems that give none cost a stat.
bool TypeFromListing(unsigned char dType, EntryType& type) {
    switch (dType) {
        case DT_REG:
            type = EntryType::File;
            return true;
        case DT_DIR:
            type = EntryType::Folder;
            return true;
        case DT_LNK:
            type = EntryType::Link;
            return true;
        case DT_UNKNOWN:
            return false;
        default:
            type = EntryType::Other;
            return true;
    }
}

// Adds the entries of one read of a folder listing (all but "." and "..").
void AddListed(int dirFd, std::uint64_t dev, const char* buffer, size_t size,
               std::vector<CDirEntry>& entries) {
    for (size_t at = 0; at < size;) {
        const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
        at += d->d_reclen;
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        CDirEntry entry;
        entry.name = d->d_name;
        entry.id = {dev, static_cast<std::uint64_t>(d->d_ino)};
        if (!TypeFromListing(d->d_type, entry.type)) {
            struct stat st {};
            if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;  // gone since it was listed
            entry.type = TypeOf(st.st_mode);
            entry.id = IdFromStat(st);
        }
        entries.push_back(std::move(entry));
    }
}

}  // namespace

CIoResult CDir::OpenPath(const std::string& path, CDir& out) {
    const int fd = Sys().open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        const int error = errno;
        return Fail(error == ENOENT    ? IoStatus::NotFound
                    : error == ENOTDIR ? IoStatus::NotFolder
                                       : IoStatus::OpenFailed,
                    error);
    }
    return out.Adopt(fd);
}

CIoResult CDir::OpenChild(const CPlatformName& name, CDir& out) const {
    const int fd = Sys().openat(Fd(m_handle), name.c_str(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0) {
        const int error = errno;
        // O_DIRECTORY is checked before O_NOFOLLOW: a link fails with ENOTDIR, not ELOOP.
        EntryType type{};
        if (error == ENOTDIR && Probe(name, type).Ok() && type == EntryType::Link)
            return Fail(IoStatus::IsLink, ELOOP);
        return Fail(OpenFailure(error), error);
    }
    return out.Adopt(fd);
}

CIoResult CDir::Snapshot(std::vector<CDirEntry>& entries) const {
    entries.clear();
    // Read straight from the folder's own descriptor, from the start also
    // after a listing read before: no second descriptor, no stream to set up.
    const int fd = Fd(m_handle);
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return Fail(IoStatus::ListFailed, errno);
    alignas(dirent64) static thread_local char buffer[32 << 10];
    for (;;) {
        const ssize_t got = Sys().getdents64(fd, buffer, sizeof buffer);
        if (got == 0)
            return {};
        if (got < 0) {
            const int error = errno;
            entries.clear();
            return Fail(IoStatus::ListFailed, error);
        }
        AddListed(fd, m_id.dev, buffer, static_cast<size_t>(got), entries);
    }
}

CIoResult CDir::Probe(const CPlatformName& name, EntryType& type, CNodeId* id) const {
    struct stat st {};
    if (::fstatat(Fd(m_handle), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        return Fail(error == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed, error);
    }
    type = TypeOf(st.st_mode);
    if (id)
        *id = IdFromStat(st);
    return {};
}

CIoResult CDir::RenameChild(const CPlatformName& oldName, const CPlatformName& newName) const {
    const int fd = Fd(m_handle);
    int rc = Sys().renameat2(fd, oldName.c_str(), fd, newName.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // The file system refuses the flag: look, then rename. The window
        // between the two is the best such a file system allows.
        struct stat st {};
        if (::fstatat(fd, newName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            return Fail(IoStatus::Exists, EEXIST);
        rc = Sys().renameat2(fd, oldName.c_str(), fd, newName.c_str(), 0);
    }
    if (rc == 0)
        return {};
    const int error = errno;
    switch (error) {
        case EEXIST:
        case ENOTEMPTY:
            return Fail(IoStatus::Exists, error);
        case ENOENT:
            return Fail(IoStatus::NotFound, error);
        default:
            return Fail(IoStatus::RenameFailed, error);
    }
}
