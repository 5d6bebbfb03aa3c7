#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "platform/file_io.h"
#include "platform/posix/posix_stat.h"
#include "platform/posix/sys_calls.h"

namespace {

constexpr std::string_view kTempPrefix = ".vexa~";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandomChars = 6;
constexpr int kNameAttempts = 100;

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

// The temporary file: unnamed (O_TMPFILE) until it is linked into the folder.
struct CTemp {
    CFd fd;
    std::string name;
    bool linkFailed = false;
    bool recorded = false;               // the journal knows the name it has or takes
    CReplaceJournal* journal = nullptr;  // told each name before the file takes it
    struct stat made {};                 // the new file as it was made
    bool madeKnown = false;

    void Adopt(int newFd) {
        fd.Reset(newFd);
        madeKnown = false;
    }

    // The new file's state as it was made, asked for once: its identity
    // never changes, its owner and mode only when its attributes are given.
    const struct stat* Made() {
        if (!madeKnown)
            madeKnown = Sys().fstat(fd.Get(), &made) == 0;
        return madeKnown ? &made : nullptr;
    }

    // Tells the journal the name the new file is about to take; 0 or errno.
    int Record(const std::string& tempName) {
        if (!journal)
            return 0;
        const struct stat* st = Made();
        if (!st)
            return errno;
        const CIoResult r = journal->RecordReplace(IdFromStat(*st), tempName);
        recorded = r.Ok();
        return r.Ok() ? 0 : (r.osError != 0 ? r.osError : EIO);
    }

    void Discard(int dirFd) {
        if (!name.empty())
            Sys().unlinkat(dirFd, name.c_str(), 0);
        name.clear();
        Adopt(-1);
    }
};

bool InMyGroups(gid_t gid) {
    if (gid == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? static_cast<size_t>(count) : 0);
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<size_t>(i)] == gid)
            return true;
    }
    return false;
}

// Whether this user may write the file. Root may write any, and for its
// owner the owner's bits decide (an access ACL keeps them in the mode), so
// only a file of someone else needs the system asked.
bool MayWrite(int dirFd, const char* name, const struct stat& st, uid_t me) {
    if (me == 0)
        return true;
    if (st.st_uid == me)
        return (st.st_mode & S_IWUSR) != 0;
    return ::faccessat(dirFd, name, W_OK, AT_EACCESS) == 0 || errno != EACCES;
}

// The checks a replace makes before it writes anything; st is the file now.
CIoResult Preflight(int dirFd, const char* name, const struct stat& st,
                    const CFileStamp& expected) {
    if (!S_ISREG(st.st_mode))
        return Fail(S_ISLNK(st.st_mode) ? IoStatus::IsLink : IoStatus::NotRegular);
    if (StampFromStat(st) != expected)
        return Fail(IoStatus::Changed);
    if ((st.st_mode & 0222) == 0)
        return Fail(IoStatus::NotWritable);
    if (st.st_nlink > 1)
        return Fail(IoStatus::HardLinks);
    const uid_t me = ::geteuid();
    if (!MayWrite(dirFd, name, st, me))
        return Fail(IoStatus::NotWritable, EACCES);
    // A new file can be given this owner and group only by root, or by the
    // owner when the group is one of the owner's own.
    if (me != 0 && (st.st_uid != me || !InMyGroups(st.st_gid)))
        return Fail(IoStatus::OwnerNotKept, EPERM);
    return {};
}

// Not every attribute may be set by everyone: labels a security module or
// the administrator manages are left to the system when we may not copy them.
bool IsSystemManaged(const char* name) {
    return std::strncmp(name, "security.", 9) == 0 || std::strncmp(name, "trusted.", 8) == 0;
}

CIoResult ListXattrs(int fd, std::vector<char>& names) {
    for (;;) {
        ssize_t n = ::flistxattr(fd, nullptr, 0);
        if (n < 0 && (errno == ENOTSUP || errno == EOPNOTSUPP))
            n = 0;
        if (n < 0)
            return Fail(IoStatus::AttributesFailed, errno);
        names.resize(static_cast<size_t>(n));
        if (n == 0)
            return {};
        n = ::flistxattr(fd, names.data(), names.size());
        if (n >= 0) {
            names.resize(static_cast<size_t>(n));
            return {};
        }
        if (errno != ERANGE)  // ERANGE: the list grew meanwhile; measure again
            return Fail(IoStatus::AttributesFailed, errno);
    }
}

// Copies every extended attribute (POSIX ACLs included) from src to dst.
CIoResult CopyXattrs(int src, int dst) {
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
            return Fail(IoStatus::AttributesFailed, errno);
        if (::fsetxattr(dst, name, value.data(), static_cast<size_t>(n), 0) != 0) {
            const int err = errno;
            if (IsSystemManaged(name) && (err == EPERM || err == EACCES || err == ENOTSUP))
                continue;
            return Fail(IoStatus::AttributesFailed, err);
        }
    }
    return {};
}

// dstNow, when given, is dst's state: an owner or a mode it has already is
// not given again (each is a system call per file, and most new files are
// made with both right).
CIoResult CopyAttributes(int src, int dst, const struct stat& st,
                         const struct stat* dstNow = nullptr) {
    // Owner before mode: a change of owner clears the set-user-ID and
    // set-group-ID bits, which fchmod then sets again. A file whose owner or
    // group cannot be kept is not replaced at all.
    const bool owned = dstNow && dstNow->st_uid == st.st_uid && dstNow->st_gid == st.st_gid;
    if (!owned && Sys().fchown(dst, st.st_uid, st.st_gid) != 0)
        return Fail(errno == EPERM ? IoStatus::OwnerNotKept : IoStatus::AttributesFailed, errno);
    const bool moded = owned && (dstNow->st_mode & 07777) == (st.st_mode & 07777);
    if (!moded && Sys().fchmod(dst, st.st_mode & 07777) != 0)
        return Fail(IoStatus::AttributesFailed, errno);
    // After the mode: an access ACL sets the group bits to its mask, which
    // is what the original's mode already shows.
    return CopyXattrs(src, dst);
}

}  // namespace

CIoResult CopyFileAttributes(int src, int dst, const struct stat& st) {
    return CopyAttributes(src, dst, st);
}

int WriteAllTo(int fd, std::string_view bytes) {
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

namespace {

// An unnamed file can be reached by no name until it is linked, after its
// attributes are final, so it is made with the original's permission bits
// (which then need no fchmod); a named one is for its owner alone until then.
CIoResult CreateTemp(int dirFd, bool unnamed, mode_t unnamedMode, CTemp& temp) {
    if (unnamed) {
        const int fd =
            Sys().openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, unnamedMode & 0777);
        if (fd >= 0) {
            temp.Adopt(fd);
            return {};
        }
        // No O_TMPFILE on this file system: fall back to a named file.
    }
    for (int i = 0; i < kNameAttempts; ++i) {
        std::string name = TempName();
        const int fd = Sys().openat(dirFd, name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temp.Adopt(fd);
            temp.name = std::move(name);
            // Named before it could be recorded: the journal learns it at once.
            if (const int err = temp.Record(temp.name)) {
                temp.Discard(dirFd);
                return Fail(IoStatus::CreateTempFailed, err);
            }
            return {};
        }
        if (errno != EEXIST)
            return Fail(IoStatus::CreateTempFailed, errno);
    }
    return Fail(IoStatus::CreateTempFailed, EEXIST);
}

// Gives the unnamed temporary file a name in its folder; 0 or errno.
int LinkUnnamed(int dirFd, CTemp& temp) {
    const std::string proc = "/proc/self/fd/" + std::to_string(temp.fd.Get());
    for (int i = 0; i < kNameAttempts; ++i) {
        std::string name = TempName();
        if (const int err = temp.Record(name))
            return err;
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

// Gives the temporary file its attributes, flushes it, names it when it is
// unnamed and closes it. On failure nothing is left behind.
CIoResult FinishTemp(int dirFd, int srcFd, const struct stat& st, CTemp& temp) {
    auto fail = [&](CIoResult r) {
        temp.Discard(dirFd);
        return r;
    };
    if (CIoResult r = CopyAttributes(srcFd, temp.fd.Get(), st, temp.Made()); !r.Ok())
        return fail(r);
    // Flushed before the rename: a write-back error shows here, while the
    // original is still in place, and the new content survives a power loss.
    if (Sys().fdatasync(temp.fd.Get()) != 0)
        return fail(Fail(IoStatus::SyncFailed, errno));
    if (temp.name.empty()) {
        if (const int err = LinkUnnamed(dirFd, temp)) {
            temp.linkFailed = true;
            return fail(Fail(IoStatus::NameTempFailed, err));
        }
    }
    if (Sys().close(temp.fd.Release()) != 0)
        return fail(Fail(IoStatus::CloseTempFailed, errno));
    return {};
}

// The state the reader took when it opened the file: what a new fstat of
// its descriptor would give but for changes since, which the last look
// before the rename catches against the same stamp.
struct stat StatOfReader(const CFileReader& reader) {
    const CFileStamp& stamp = reader.Stamp();
    auto time = [](std::int64_t ns) {
        return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    };
    struct stat st {};
    st.st_dev = static_cast<dev_t>(stamp.id.dev);
    st.st_ino = static_cast<ino_t>(stamp.id.ino);
    st.st_mode = S_IFREG | static_cast<mode_t>(stamp.mode);
    st.st_nlink = static_cast<nlink_t>(stamp.links);
    st.st_uid = static_cast<uid_t>(reader.OwnerId());
    st.st_gid = static_cast<gid_t>(reader.GroupId());
    st.st_size = static_cast<off_t>(stamp.size);
    st.st_mtim = time(stamp.mtimeNs);
    st.st_ctim = time(stamp.ctimeNs);
    return st;
}

// The original, opened without following a link, for its attributes; or
// the descriptor it was read through, which names the same file.
CIoResult OpenOriginal(int dirFd, const char* name, CFileReader* opened, CFd& fd, struct stat& st) {
    const int read = opened ? static_cast<int>(opened->Release()) : -1;
    if (read >= 0) {
        st = StatOfReader(*opened);
        fd.Reset(read);
        return {};
    }
    fd.Reset(
        Sys().openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0));
    if (!fd.Ok()) {
        const int error = errno;
        return Fail(OpenFailure(error), error);
    }
    if (Sys().fstat(fd.Get(), &st) != 0)
        return Fail(IoStatus::ReadFailed, errno);
    return {};
}

}  // namespace

CIoResult CheckReplaceableAt(const CDir& dir, const CPlatformName& name,
                             const CFileStamp& expected) {
    struct stat st {};
    if (::fstatat(Fd(dir.Handle()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        return Fail(error == ENOENT ? IoStatus::Changed : IoStatus::OpenFailed, error);
    }
    return Preflight(Fd(dir.Handle()), name.c_str(), st, expected);
}

namespace {

// Keeps the original in the journal. A new link moves the link count by one
// and the status-change time; the stamp the last look expects is then the
// original's as it is now, provided nothing else about it changed.
CIoResult KeepInJournal(const CDir& dir, const CPlatformName& name, CReplaceJournal& journal,
                        CFileStamp& expected) {
    bool linked = false;
    if (CIoResult r = journal.KeepOriginal(dir, name, expected, linked); !r.Ok())
        return r;
    if (!linked)
        return {};
    struct stat now {};
    CFileStamp kept = expected;
    if (::fstatat(Fd(dir.Handle()), name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        kept = StampFromStat(now);
        CFileStamp asBefore = kept;
        asBefore.links -= 1;
        asBefore.ctimeNs = expected.ctimeNs;
        if (asBefore == expected) {
            expected = kept;
            return {};
        }
    }
    journal.DropOriginal();
    return Fail(IoStatus::Changed);
}

}  // namespace

struct CFileReplacement::CState {
    const CDir* dir = nullptr;
    int dirFd = -1;
    CPlatformName name;
    CFileStamp expected;
    CFd original;
    struct stat st {};
    CTemp temp;
    CReplaceJournal* journal = nullptr;  // set once the original is kept in it
};

CFileReplacement::CFileReplacement() = default;

CFileReplacement::~CFileReplacement() {
    Discard();
}

void CFileReplacement::Discard() {
    if (m_state) {
        m_state->temp.Discard(m_state->dirFd);
        if (m_state->journal)
            m_state->journal->DropOriginal();
    }
    m_state.reset();
}

CIoResult CFileReplacement::Begin(const CDir& dir, const CPlatformName& name,
                                  const CFileStamp& expected, bool unnamed, CFileReader* opened) {
    Discard();
    auto state = std::make_unique<CState>();
    state->dir = &dir;
    state->dirFd = Fd(dir.Handle());
    state->name = name;
    state->expected = expected;
    if (CIoResult r = OpenOriginal(state->dirFd, name.c_str(), opened, state->original, state->st);
        !r.Ok())
        return r.status == IoStatus::NotFound ? Fail(IoStatus::Changed, r.osError) : r;
    if (CIoResult r = Preflight(state->dirFd, name.c_str(), state->st, expected); !r.Ok())
        return r;
    if (CIoResult r = CreateTemp(state->dirFd, unnamed, state->st.st_mode, state->temp); !r.Ok())
        return r;
    m_state = std::move(state);
    return {};
}

CIoResult CFileReplacement::Again() {
    if (!m_state)
        return Fail(IoStatus::CreateTempFailed, EBADF);
    CState& s = *m_state;
    s.temp.Discard(s.dirFd);
    s.temp.linkFailed = false;
    s.temp.recorded = false;
    // With the original already kept, the new name is recorded as it is made.
    s.temp.journal = s.journal;
    if (CIoResult r = CreateTemp(s.dirFd, false, 0, s.temp); !r.Ok()) {
        Discard();
        return r;
    }
    return {};
}

CIoResult CFileReplacement::Write(std::string_view bytes) {
    if (!m_state)
        return Fail(IoStatus::WriteTempFailed, EBADF);
    if (const int err = WriteAllTo(m_state->temp.fd.Get(), bytes)) {
        Discard();
        return Fail(IoStatus::WriteTempFailed, err);
    }
    return {};
}

CIoResult CFileReplacement::Commit(CReplaceJournal* journal) {
    if (!m_state)
        return Fail(IoStatus::WriteTempFailed, EBADF);
    CState& s = *m_state;
    m_bLinkFailed = false;
    // The original goes into the journal first; the new file's name is
    // recorded before the new file takes it.
    if (journal && !s.journal) {
        if (CIoResult r = KeepInJournal(*s.dir, s.name, *journal, s.expected); !r.Ok()) {
            Discard();
            return r;
        }
        s.journal = journal;
        s.temp.journal = journal;
        if (!s.temp.name.empty() && !s.temp.recorded) {
            if (const int err = s.temp.Record(s.temp.name)) {
                Discard();
                return Fail(IoStatus::CreateTempFailed, err);
            }
        }
    }
    if (CIoResult r = FinishTemp(s.dirFd, s.original.Get(), s.st, s.temp); !r.Ok()) {
        // A temporary file that could not be named: Again can make a named one,
        // the original staying kept meanwhile.
        m_bLinkFailed = s.temp.linkFailed;
        if (!m_bLinkFailed)
            Discard();
        return r;
    }
    // The last look before the rename: the original must still be the file
    // the content was made from, with no new content, name or link.
    struct stat now {};
    CIoResult result;
    if (::fstatat(s.dirFd, s.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        StampFromStat(now) != s.expected) {
        result = Fail(IoStatus::Changed);
    } else if (Sys().renameat2(s.dirFd, s.temp.name.c_str(), s.dirFd, s.name.c_str(), 0) != 0) {
        result = Fail(IoStatus::ReplaceFailed, errno);
    } else {
        s.temp.name.clear();  // it is the file now
        s.journal = nullptr;  // and the journal keeps its original
    }
    Discard();
    return result;
}

CIoResult ReplaceFileAt(const CDir& dir, const CPlatformName& name, const CFileStamp& expected,
                        const std::vector<std::string_view>& pieces, CReplaceJournal* journal,
                        CFileReader* opened) {
    // An unnamed temporary file first; one that cannot be given a name is
    // made again as a named one.
    CFileReplacement replacement;
    if (CIoResult r = replacement.Begin(dir, name, expected, true, opened); !r.Ok())
        return r;
    for (bool first : {true, false}) {
        for (std::string_view piece : pieces) {
            if (CIoResult r = replacement.Write(piece); !r.Ok())
                return r;
        }
        const CIoResult r = replacement.Commit(journal);
        if (r.Ok() || !first || !replacement.LinkFailed())
            return r;
        if (CIoResult again = replacement.Again(); !again.Ok())
            return again;
    }
    return Fail(IoStatus::NameTempFailed);
}

bool IsOwnTempFileName(std::string_view name) {
    return name.size() == kTempPrefix.size() + kTempRandomChars + kTempSuffix.size() &&
           name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix);
}
