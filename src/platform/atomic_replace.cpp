#include "platform/atomic_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/sys_calls.h"

namespace {

constexpr std::string_view kTempPrefix = ".vexa~";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandomChars = 6;
constexpr int kNameAttempts = 100;
constexpr const char* kChangedReason = "文件在处理期间已被修改";

CReplaceResult Result(ReplaceStatus status, const std::string& what, int error = 0) {
    CReplaceResult r;
    r.status = status;
    r.error = error;
    r.reason = error ? what + ": " + std::strerror(error) : what;
    return r;
}

// Owns a descriptor and closes it through the seam. Only paths that are
// already failing close this way, so the result of close is not needed here.
class CFd {
  public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() { Reset(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;

    int Get() const { return m_fd; }
    bool Ok() const { return m_fd >= 0; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd = -1) {
        if (m_fd >= 0)
            Sys().close(m_fd);
        m_fd = fd;
    }

  private:
    int m_fd;
};

std::string TempName() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    std::string name(kTempPrefix);
    for (size_t i = 0; i < kTempRandomChars; ++i)
        name += kChars[rng() % (sizeof kChars - 1)];
    name += kTempSuffix;
    return name;
}

// The file a path leads to, opened for its first bytes and its attributes.
struct CTarget {
    std::string name;  // within the folder of dirFd
    CFd dirFd;
    CFd fd;
    struct stat st {};
    std::string head;
};

// The temporary file: unnamed (O_TMPFILE) until it is linked into the folder.
struct CTemp {
    CFd fd;
    std::string name;
    bool linkFailed = false;

    void Discard(int dirFd) {
        if (!name.empty())
            Sys().unlinkat(dirFd, name.c_str(), 0);
        name.clear();
        fd.Reset();
    }
};

CReplaceResult ReadHead(CTarget& t) {
    char buf[3];
    size_t have = 0;
    while (have < sizeof buf) {
        const ssize_t n = Sys().read(t.fd.Get(), buf + have, sizeof buf - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Result(ReplaceStatus::Failed, "无法读取", errno);
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    t.head.assign(buf, have);
    return {};
}

CReplaceResult OpenTarget(const std::string& path, CTarget& t) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        const int err = errno;
        struct stat lst {};
        if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode))
            return Result(ReplaceStatus::Refused, "符号链接无法解析（目标不存在或链接成环）", err);
        return Result(ReplaceStatus::Failed, "无法打开", err);
    }
    const std::string resolved(real);
    std::free(real);
    const size_t slash = resolved.rfind('/');
    const std::string folder = slash == 0 ? "/" : resolved.substr(0, slash);
    t.name = resolved.substr(slash + 1);
    t.dirFd.Reset(Sys().open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
    if (!t.dirFd.Ok())
        return Result(ReplaceStatus::Failed, "无法打开所在文件夹", errno);
    // The type first: a FIFO or device must never be opened.
    struct stat lst {};
    if (::fstatat(t.dirFd.Get(), t.name.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0)
        return Result(ReplaceStatus::Failed, "无法打开", errno);
    if (!S_ISREG(lst.st_mode))
        return Result(ReplaceStatus::Refused, "不是普通文件");
    t.fd.Reset(Sys().openat(t.dirFd.Get(), t.name.c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0));
    if (!t.fd.Ok())
        return Result(ReplaceStatus::Failed, "无法打开", errno);
    if (Sys().fstat(t.fd.Get(), &t.st) != 0)
        return Result(ReplaceStatus::Failed, "无法读取文件属性", errno);
    if (!S_ISREG(t.st.st_mode) || t.st.st_ino != lst.st_ino || t.st.st_dev != lst.st_dev)
        return Result(ReplaceStatus::Changed, kChangedReason);
    return ReadHead(t);
}

// Not every attribute may be set by everyone: labels a security module or
// the administrator manages are left to the system when we may not copy them.
bool IsSystemManaged(const char* name) {
    return std::strncmp(name, "security.", 9) == 0 || std::strncmp(name, "trusted.", 8) == 0;
}

CReplaceResult ListXattrs(int fd, std::vector<char>& names) {
    for (;;) {
        ssize_t n = ::flistxattr(fd, nullptr, 0);
        if (n < 0 && (errno == ENOTSUP || errno == EOPNOTSUPP))
            n = 0;
        if (n < 0)
            return Result(ReplaceStatus::Failed, "无法读取扩展属性", errno);
        names.resize(static_cast<size_t>(n));
        if (n == 0)
            return {};
        n = ::flistxattr(fd, names.data(), names.size());
        if (n >= 0) {
            names.resize(static_cast<size_t>(n));
            return {};
        }
        if (errno != ERANGE)  // ERANGE: the list grew meanwhile; measure again
            return Result(ReplaceStatus::Failed, "无法读取扩展属性", errno);
    }
}

// Copies every extended attribute (POSIX ACLs included) from src to dst.
CReplaceResult CopyXattrs(int src, int dst) {
    std::vector<char> names;
    if (auto r = ListXattrs(src, names); !r.Ok())
        return r;
    std::vector<char> value;
    for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char* name = names.data() + at;
        ssize_t n;
        for (;;) {
            n = ::fgetxattr(src, name, nullptr, 0);
            if (n < 0)
                break;
            value.resize(static_cast<size_t>(n) + 1);
            n = ::fgetxattr(src, name, value.data(), value.size());
            if (n >= 0 || errno != ERANGE)
                break;
        }
        if (n < 0 && errno == ENODATA)
            continue;  // removed since it was listed
        if (n < 0)
            return Result(ReplaceStatus::Failed, std::string("无法读取扩展属性 ") + name, errno);
        if (::fsetxattr(dst, name, value.data(), static_cast<size_t>(n), 0) != 0) {
            const int err = errno;
            if (IsSystemManaged(name) && (err == EPERM || err == EACCES || err == ENOTSUP))
                continue;
            return Result(ReplaceStatus::Failed, std::string("无法复制扩展属性 ") + name, err);
        }
    }
    return {};
}

CReplaceResult CopyAttributes(int src, int dst, const struct stat& st) {
    // Owner before mode: a change of owner clears the set-user-ID and
    // set-group-ID bits, which fchmod then sets again.
    if (Sys().fchown(dst, st.st_uid, st.st_gid) != 0) {
        if (errno != EPERM)
            return Result(ReplaceStatus::Failed, "无法设置文件属主", errno);
        // Not allowed to give the file away: keep at least its group where we may.
        Sys().fchown(dst, static_cast<uid_t>(-1), st.st_gid);
    }
    if (Sys().fchmod(dst, st.st_mode & 07777) != 0)
        return Result(ReplaceStatus::Failed, "无法设置文件权限", errno);
    // After the mode: an access ACL sets the group bits to its mask, which
    // is what the original's mode already shows.
    return CopyXattrs(src, dst);
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = Sys().write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;  // no progress at all: the device takes nothing more
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

CReplaceResult CreateTemp(int dirFd, bool unnamed, CTemp& temp) {
    if (unnamed) {
        const int fd = Sys().openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temp.fd.Reset(fd);
            return {};
        }
        // No O_TMPFILE on this file system: fall back to a named file.
    }
    for (int i = 0; i < kNameAttempts; ++i) {
        std::string name = TempName();
        const int fd = Sys().openat(dirFd, name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temp.fd.Reset(fd);
            temp.name = std::move(name);
            return {};
        }
        if (errno != EEXIST)
            return Result(ReplaceStatus::Failed, "无法创建临时文件", errno);
    }
    return Result(ReplaceStatus::Failed, "无法创建临时文件", EEXIST);
}

// Gives the unnamed temporary file a name in its folder; 0 or errno.
int LinkUnnamed(int dirFd, CTemp& temp) {
    const std::string proc = "/proc/self/fd/" + std::to_string(temp.fd.Get());
    for (int i = 0; i < kNameAttempts; ++i) {
        std::string name = TempName();
        // AT_EMPTY_PATH needs CAP_DAC_READ_SEARCH; the /proc path works without it.
        int rc = Sys().linkat(temp.fd.Get(), "", dirFd, name.c_str(), AT_EMPTY_PATH);
        if (rc != 0 && errno != EEXIST)
            rc = Sys().linkat(AT_FDCWD, proc.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW);
        if (rc == 0) {
            temp.name = std::move(name);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Writes bytes to a new temporary file beside the target, with the target's
// attributes, and leaves it closed under its temporary name. On failure
// nothing is left behind.
CReplaceResult PrepareTemp(CTarget& t, std::string_view bytes, bool unnamed, CTemp& temp) {
    const int dirFd = t.dirFd.Get();
    if (auto r = CreateTemp(dirFd, unnamed, temp); !r.Ok())
        return r;
    auto fail = [&](CReplaceResult r) {
        temp.Discard(dirFd);
        return r;
    };
    if (const int err = WriteAll(temp.fd.Get(), bytes))
        return fail(Result(ReplaceStatus::Failed, "写入临时文件失败", err));
    if (auto r = CopyAttributes(t.fd.Get(), temp.fd.Get(), t.st); !r.Ok())
        return fail(r);
    // Flushed before the rename: a write-back error shows here, while the
    // original is still in place, and the new content survives a power loss.
    if (Sys().fdatasync(temp.fd.Get()) != 0)
        return fail(Result(ReplaceStatus::Failed, "无法将临时文件写入磁盘", errno));
    if (temp.name.empty()) {
        if (const int err = LinkUnnamed(dirFd, temp)) {
            temp.linkFailed = true;
            return fail(Result(ReplaceStatus::Failed, "无法为临时文件命名", err));
        }
    }
    if (Sys().close(temp.fd.Release()) != 0)
        return fail(Result(ReplaceStatus::Failed, "关闭临时文件失败", errno));
    return {};
}

}  // namespace

CReplaceResult ReplaceFileAtomically(const std::string& path, const ReplaceEncoder& encode,
                                     const CFileStamp* expected) {
    CTarget t;
    if (auto r = OpenTarget(path, t); !r.Ok())
        return r;
    const CFileStamp ref = expected ? *expected : CFileStamp::FromStat(t.st);
    if (!CFileStamp::FromStat(t.st).SameContentAs(ref))
        return Result(ReplaceStatus::Changed, kChangedReason);
    if ((t.st.st_mode & 0222) == 0)
        return Result(ReplaceStatus::Refused, "文件为只读（没有写权限位）");
    if (t.st.st_nlink > 1)
        return Result(ReplaceStatus::Refused, "文件有多个硬链接，替换会使它们分离");
    if (::faccessat(t.dirFd.Get(), t.name.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)
        return Result(ReplaceStatus::Refused, "没有写入此文件的权限", EACCES);

    std::string bytes, reason;
    if (!encode(t.head, bytes, reason))
        return Result(ReplaceStatus::Refused, reason);

    CTemp unnamed, named;
    CTemp* temp = &unnamed;
    CReplaceResult r = PrepareTemp(t, bytes, true, unnamed);
    if (!r.Ok() && unnamed.linkFailed) {
        temp = &named;
        r = PrepareTemp(t, bytes, false, named);
    }
    if (!r.Ok())
        return r;

    // The last look before the rename: the original must still be the file
    // the content was made from.
    const int dirFd = t.dirFd.Get();
    struct stat now {};
    if (::fstatat(dirFd, t.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        !CFileStamp::FromStat(now).SameContentAs(ref)) {
        temp->Discard(dirFd);
        return Result(ReplaceStatus::Changed, kChangedReason);
    }
    if (Sys().renameat2(dirFd, temp->name.c_str(), dirFd, t.name.c_str(), 0) != 0) {
        const int err = errno;
        temp->Discard(dirFd);
        return Result(ReplaceStatus::Failed, "无法替换原文件", err);
    }
    return {};
}

bool IsOwnTempFileName(std::string_view name) {
    return name.size() == kTempPrefix.size() + kTempRandomChars + kTempSuffix.size() &&
           name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix);
}
