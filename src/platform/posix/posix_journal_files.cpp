#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/journal_files.h"
#include "platform/posix/posix_stat.h"
#include "platform/posix/sys_calls.h"

namespace {

constexpr int kNoFollowRead = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

void CloseFd(int fd) {
    if (fd >= 0)
        Sys().close(fd);
}

CIoResult Errno(IoStatus status) {
    return Fail(status, errno);
}

// Copies the rest of src to dst a buffer at a time, every write checked.
CIoResult CopyBytes(int src, int dst) {
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        const ssize_t got = Sys().read(src, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Errno(IoStatus::ReadFailed);
        if (got == 0)
            return {};
        if (const int err = WriteAllTo(dst, std::string_view(buffer.data(), std::size_t(got))))
            return Fail(IoStatus::WriteTempFailed, err);
    }
}

}  // namespace

CAppendFile::~CAppendFile() {
    CloseFd(Fd(m_handle));
}

CIoResult CAppendFile::Create(const CDir& dir, const CPlatformName& name) {
    CloseFd(Fd(std::exchange(m_handle, -1)));
    const int fd =
        Sys().openat(Fd(dir.Handle()), name.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(errno == EEXIST ? IoStatus::Exists : IoStatus::CreateTempFailed, errno);
    m_handle = fd;
    return {};
}

CIoResult CAppendFile::Append(std::string_view text) {
    if (const int err = WriteAllTo(Fd(m_handle), text))
        return Fail(IoStatus::WriteTempFailed, err);
    return {};
}

CIoResult CAppendFile::Sync() {
    if (Sys().fdatasync(Fd(m_handle)) != 0)
        return Errno(IoStatus::SyncFailed);
    return {};
}

CIoResult CAppendFile::Close() {
    const int fd = Fd(std::exchange(m_handle, -1));
    if (fd >= 0 && Sys().close(fd) != 0)
        return Errno(IoStatus::CloseTempFailed);
    return {};
}

CIoResult StampAt(const CDir& dir, const CPlatformName& name, CFileStamp& stamp, EntryType& type) {
    struct stat st {};
    if (::fstatat(Fd(dir.Handle()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Errno(errno == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed);
    stamp = StampFromStat(st);
    type = S_ISREG(st.st_mode)   ? EntryType::File
           : S_ISDIR(st.st_mode) ? EntryType::Folder
           : S_ISLNK(st.st_mode) ? EntryType::Link
                                 : EntryType::Other;
    return {};
}

CIoResult LinkAt(const CDir& fromDir, const CPlatformName& name, const CDir& toDir,
                 const CPlatformName& toName) {
    if (Sys().linkat(Fd(fromDir.Handle()), name.c_str(), Fd(toDir.Handle()), toName.c_str(), 0) ==
        0)
        return {};
    switch (errno) {
        case EXDEV:
            return Errno(IoStatus::OtherFileSystem);
        case EEXIST:
            return Errno(IoStatus::Exists);
        case ENOENT:
            return Errno(IoStatus::NotFound);
        default:
            return Errno(IoStatus::CreateTempFailed);
    }
}

CIoResult CopyFileAt(const CDir& fromDir, const CPlatformName& name, const CFileStamp& expected,
                     const CDir& toDir, const CPlatformName& toName) {
    const int src = Sys().openat(Fd(fromDir.Handle()), name.c_str(), kNoFollowRead, 0);
    if (src < 0)
        return Fail(OpenFailure(errno), errno);
    struct stat st {};
    const int toFd = Fd(toDir.Handle());
    int dst = -1;
    auto fail = [&](CIoResult r) {
        CloseFd(src);
        if (dst >= 0) {
            CloseFd(dst);
            Sys().unlinkat(toFd, toName.c_str(), 0);
        }
        return r;
    };
    if (Sys().fstat(src, &st) != 0)
        return fail(Errno(IoStatus::ReadFailed));
    if (!S_ISREG(st.st_mode) || StampFromStat(st) != expected)
        return fail(Fail(IoStatus::Changed));
    dst = Sys().openat(toFd, toName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       0600);
    if (dst < 0)
        return fail(Errno(errno == EEXIST ? IoStatus::Exists : IoStatus::CreateTempFailed));
    if (CIoResult r = CopyBytes(src, dst); !r.Ok())
        return fail(r);
    if (CIoResult r = CopyFileAttributes(src, dst, st); !r.Ok())
        return fail(r);
    if (Sys().fdatasync(dst) != 0)
        return fail(Errno(IoStatus::SyncFailed));
    // The copy is of the file as it was read only if nothing wrote to it meanwhile.
    struct stat after {};
    if (Sys().fstat(src, &after) != 0 || StampFromStat(after) != expected)
        return fail(Fail(IoStatus::Changed));
    const int closing = std::exchange(dst, -1);
    if (Sys().close(closing) != 0) {
        const int err = errno;
        Sys().unlinkat(toFd, toName.c_str(), 0);
        return fail(Fail(IoStatus::CloseTempFailed, err));
    }
    CloseFd(src);
    return {};
}

CIoResult MoveOverAt(const CDir& fromDir, const CPlatformName& fromName, const CDir& toDir,
                     const CPlatformName& toName, const CFileStamp& expected) {
    struct stat now {};
    if (::fstatat(Fd(toDir.Handle()), toName.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        StampFromStat(now) != expected)
        return Fail(IoStatus::Changed);
    if (Sys().renameat2(Fd(fromDir.Handle()), fromName.c_str(), Fd(toDir.Handle()), toName.c_str(),
                        0) != 0)
        return Errno(errno == EXDEV ? IoStatus::OtherFileSystem : IoStatus::ReplaceFailed);
    return {};
}

CIoResult SetModeAt(const CDir& dir, const CPlatformName& name, std::uint32_t mode) {
    struct stat st {};
    if (::fstatat(Fd(dir.Handle()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Errno(errno == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed);
    if (!S_ISREG(st.st_mode))
        return Fail(IoStatus::NotRegular);
    if (::fchmodat(Fd(dir.Handle()), name.c_str(), static_cast<mode_t>(mode & 07777),
                   AT_SYMLINK_NOFOLLOW) != 0)
        return Errno(IoStatus::AttributesFailed);
    return {};
}

CIoResult RemoveFileAt(const CDir& dir, const CPlatformName& name, const CNodeId& id) {
    struct stat st {};
    if (::fstatat(Fd(dir.Handle()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Errno(errno == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed);
    if (!S_ISREG(st.st_mode) || IdFromStat(st) != id)
        return Fail(IoStatus::Changed);
    if (Sys().unlinkat(Fd(dir.Handle()), name.c_str(), 0) != 0)
        return Errno(errno == ENOENT ? IoStatus::NotFound : IoStatus::RenameFailed);
    return {};
}

CIoResult RemoveTreeAt(const CDir& dir, const CPlatformName& name) {
    const int fd = Fd(dir.Handle());
    if (Sys().unlinkat(fd, name.c_str(), 0) == 0)
        return {};
    if (errno == ENOENT)
        return {};
    if (errno != EISDIR && errno != EPERM)
        return Errno(IoStatus::RenameFailed);
    CDir sub;
    if (CIoResult r = dir.OpenChild(name, sub); !r.Ok())
        return r;
    std::vector<CDirEntry> entries;
    if (CIoResult r = sub.Snapshot(entries); !r.Ok())
        return r;
    for (const CDirEntry& e : entries) {
        const CIoResult r =
            e.type == EntryType::Folder
                ? RemoveTreeAt(sub, e.name)
                : (Sys().unlinkat(Fd(sub.Handle()), e.name.c_str(), 0) == 0 || errno == ENOENT
                       ? CIoResult{}
                       : Errno(IoStatus::RenameFailed));
        if (!r.Ok())
            return r;
    }
    if (Sys().unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
        return Errno(IoStatus::RenameFailed);
    return {};
}

CIoResult MakeFolderAt(const CDir& dir, const CPlatformName& name) {
    if (::mkdirat(Fd(dir.Handle()), name.c_str(), 0700) == 0)
        return {};
    if (errno != EEXIST)
        return Errno(IoStatus::CreateTempFailed);
    EntryType type{};
    CFileStamp stamp;
    if (StampAt(dir, name, stamp, type).Ok() && type == EntryType::Folder)
        return {};
    return Fail(IoStatus::NotFolder);
}

CIoResult WriteSmallFileAt(const CDir& dir, const CPlatformName& name, std::string_view bytes) {
    const std::string temp = name + ".new";
    const int fd = Fd(dir.Handle());
    Sys().unlinkat(fd, temp.c_str(), 0);
    const int out =
        Sys().openat(fd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
        return Errno(IoStatus::CreateTempFailed);
    int err = WriteAllTo(out, bytes);
    if (err == 0 && Sys().fdatasync(out) != 0)
        err = errno;
    if (Sys().close(out) != 0 && err == 0)
        err = errno;
    if (err == 0 && Sys().renameat2(fd, temp.c_str(), fd, name.c_str(), 0) != 0)
        err = errno;
    if (err != 0) {
        Sys().unlinkat(fd, temp.c_str(), 0);
        return Fail(IoStatus::WriteTempFailed, err);
    }
    return {};
}

std::string RealPathOf(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string out = resolved;
    std::free(resolved);
    return out;
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

CIoResult CFileLock::Lock(const CDir& dir, const CPlatformName& name, bool wait) {
    Unlock();
    const int fd = Sys().openat(Fd(dir.Handle()), name.c_str(),
                                O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(OpenFailure(errno), errno);
    while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        if (errno == EINTR)
            continue;
        const int err = errno;
        CloseFd(fd);
        return Fail(err == EWOULDBLOCK ? IoStatus::Busy : IoStatus::OpenFailed, err);
    }
    m_handle = fd;
    return {};
}

void CFileLock::Unlock() {
    const int fd = Fd(std::exchange(m_handle, -1));
    if (fd >= 0)
        ::close(fd);  // closing the last descriptor releases the lock
}
