// Reading and replacing files through folder handles, on a real folder, with
// system call failures injected through the Sys() table.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <map>
#include <tuple>

#include "platform/file_io.h"
#include "platform/sys_calls.h"
#include "support/temp_dir.h"

namespace {

const std::string kOld = "the original content";
const std::string kNew = "the new content, longer than the original";

// The system calls that fail in the case at hand; the hooks pass every
// other call through. The seam's entries are plain function pointers, so
// the hooks reach the case through these.
enum Fault : unsigned {
    ShortWrite = 1,  // half of the first write, then a full disk
    NoProgress = 2,  // writes that take nothing
    OwnerRefused = 4,
    SyncFails = 8,
    NoTmpfile = 16,  // no unnamed temporary files on this file system
    NoLink = 32,     // no way to give an unnamed file a name
    CloseFails = 64,
    RenameFails = 128,
    AlterMidway = 256,  // someone else alters the original while the new content is flushed
};
unsigned g_faults = 0;
void (*g_alter)(const std::string& path) = nullptr;
std::string g_path;
std::string g_content;  // what the original holds after g_alter

// Sets errno and returns the failure value of the call.
int Failed(int error) {
    return errno = error, -1;
}

void InjectFaults(CSysCalls& s) {
    s.openat = [](int dir, const char* name, int flags, mode_t mode) {
        const bool refused = (g_faults & NoTmpfile) && (flags & O_TMPFILE) == O_TMPFILE;
        return refused ? Failed(EOPNOTSUPP) : RealSysCalls().openat(dir, name, flags, mode);
    };
    s.write = [](int fd, const void* buf, size_t n) -> ssize_t {
        if ((g_faults & ShortWrite) && ::lseek(fd, 0, SEEK_CUR) > 0)
            return Failed(ENOSPC);
        const size_t taken = (g_faults & NoProgress) ? 0 : (g_faults & ShortWrite) ? n / 2 : n;
        return RealSysCalls().write(fd, buf, taken);
    };
    s.fchown = [](int fd, uid_t uid, gid_t gid) {
        return (g_faults & OwnerRefused) ? Failed(EPERM) : RealSysCalls().fchown(fd, uid, gid);
    };
    s.fdatasync = [](int fd) {
        if (g_faults & AlterMidway) {
            g_alter(g_path);
            g_content = ReadFileBytes(g_path);
        }
        return (g_faults & SyncFails) ? Failed(EIO) : RealSysCalls().fdatasync(fd);
    };
    s.linkat = [](int from, const char* name, int to, const char* newName, int flags) {
        return (g_faults & NoLink) ? Failed(ENOENT)
                                   : RealSysCalls().linkat(from, name, to, newName, flags);
    };
    s.close = [](int fd) {
        const bool temp = (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY;
        const int rc = RealSysCalls().close(fd);
        return temp && (g_faults & CloseFails) ? Failed(EIO) : rc;
    };
    s.renameat2 = [](int from, const char* name, int to, const char* newName, unsigned flags) {
        return (g_faults & RenameFails) ? Failed(EXDEV)
                                        : RealSysCalls().renameat2(from, name, to, newName, flags);
    };
}

// New bytes of the same size, the modification time put back: only the
// status-change time tells, once the clock has passed the old one.
void RewriteInPlace(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    auto ns = [](const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; };
    timespec now{};
    do {
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    } while (ns(now) <= ns(st.st_ctim));
    WriteFileBytes(path, std::string(kOld.size(), 'x'));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// What a replace must keep besides the name: mode, owner, group, a user.* attribute.
std::tuple<mode_t, uid_t, gid_t, std::string> Attributes(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    char value[8] = {};
    const ssize_t n = ::getxattr(path.c_str(), "user.vexa", value, sizeof value);
    return {st.st_mode, st.st_uid, st.st_gid, std::string(value, n > 0 ? n : 0)};
}

void AddLink(const std::string& path) {
    ::link(path.c_str(), (path + "~").c_str());
}

class FileIo : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(CDir::OpenPath(m_tmp.Path(), m_dir).Ok()); }

    CFileStamp Stamp(const std::string& name) {
        std::string bytes;
        CFileStamp stamp;
        EXPECT_TRUE(ReadFileAt(m_dir, name, bytes, stamp).Ok()) << name;
        return stamp;
    }
    // Two pieces: the replacement is their concatenation.
    CIoResult Replace(const std::string& name, const CFileStamp& stamp) {
        const std::string_view text = kNew;
        return ReplaceFileAt(m_dir, name, stamp, {text.substr(0, 5), text.substr(5)});
    }
    bool TempLeft() {
        std::vector<CDirEntry> entries;
        EXPECT_TRUE(m_dir.Snapshot(entries).Ok());
        return std::any_of(entries.begin(), entries.end(),
                           [](const CDirEntry& e) { return IsOwnTempFileName(e.name); });
    }

    CTempDir m_tmp;
    CDir m_dir;
};

// Whatever fails or refuses, the original stays byte-identical with its
// attributes and no temporary file is left; the dry run's check reports each
// refusal made before anything is written. Without unnamed temporary files,
// or without a way to name one, a named one does the job, and the new file
// has the original's attributes.
TEST_F(FileIo, ReplaceWritesAllOrNothing) {
    auto readOnly = [](const std::string& p) { ::chmod(p.c_str(), 0444); };
    const struct {
        const char* what;
        void (*alter)(const std::string& path);  // before the read, or midway
        unsigned faults;
        IoStatus status;
        int error;
    } cases[] = {
        {"no write permission bit", readOnly, 0, IoStatus::NotWritable, 0},
        {"a second name", AddLink, 0, IoStatus::HardLinks, 0},
        {"rewritten in place midway", RewriteInPlace, AlterMidway, IoStatus::Changed, 0},
        {"a second name midway", AddLink, AlterMidway, IoStatus::Changed, 0},
        {"short write, then a full disk", nullptr, ShortWrite, IoStatus::WriteTempFailed, ENOSPC},
        {"write without progress", nullptr, NoProgress, IoStatus::WriteTempFailed, ENOSPC},
        {"owner cannot be given", nullptr, OwnerRefused, IoStatus::OwnerNotKept, EPERM},
        {"flush fails", nullptr, SyncFails, IoStatus::SyncFailed, EIO},
        {"named temporary file, flush fails", nullptr, NoTmpfile | SyncFails, IoStatus::SyncFailed,
         EIO},
        {"close fails", nullptr, CloseFails, IoStatus::CloseTempFailed, EIO},
        {"rename fails", nullptr, RenameFails, IoStatus::ReplaceFailed, EXDEV},
        {"no O_TMPFILE", nullptr, NoTmpfile, IoStatus::Ok, 0},
        {"no link for an unnamed file", nullptr, NoLink, IoStatus::Ok, 0},
    };
    for (const auto& c : cases) {
        g_path = m_tmp / c.what;
        WriteFileBytes(g_path, kOld);
        // As root the file belongs to another user; set-group-ID on an
        // executable is what a change of owner after the mode would clear.
        ASSERT_TRUE(::geteuid() != 0 || ::chown(g_path.c_str(), 12345, 12345) == 0);
        ASSERT_EQ(::chmod(g_path.c_str(), 02751), 0);
        ::setxattr(g_path.c_str(), "user.vexa", "v1", 2, 0);  // where the file system takes it
        if (c.alter && !(c.faults & AlterMidway))
            c.alter(g_path);
        const auto attributes = Attributes(g_path);
        const CFileStamp stamp = Stamp(c.what);
        const IoStatus checked = CheckReplaceableAt(m_dir, c.what, stamp).status;
        g_faults = c.faults;
        g_alter = c.alter;
        g_content = kOld;
        CIoResult r;
        {
            CSysCallsOverride restore;
            InjectFaults(Sys());
            r = Replace(c.what, stamp);
        }
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.osError, c.error) << c.what;
        EXPECT_EQ(checked, c.faults ? IoStatus::Ok : c.status) << c.what;
        EXPECT_EQ(ReadFileBytes(g_path), r.Ok() ? kNew : g_content) << c.what;
        EXPECT_EQ(Attributes(g_path), attributes) << c.what;
        EXPECT_FALSE(TempLeft()) << c.what;
    }
}

// Root's file in a folder everyone may write to: another user could write
// the bytes but could not give the new file root as its owner.
TEST_F(FileIo, UserWhoCannotKeepTheOwnerReplacesNothing) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to own the file and to switch to another user";
    }
    ASSERT_EQ(::chmod(m_tmp.Path().c_str(), 0777), 0);
    WriteFileBytes(m_tmp / "f", kOld);
    ASSERT_EQ(::chmod((m_tmp / "f").c_str(), 0666), 0);
    const CFileStamp stamp = Stamp("f");
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setegid(65534) != 0 || ::seteuid(65534) != 0)
            ::_exit(255);
        // The dry run's check must predict what the replace does.
        const IoStatus checked = CheckReplaceableAt(m_dir, "f", stamp).status;
        const IoStatus replaced = Replace("f", stamp).status;
        ::_exit(checked == replaced ? static_cast<int>(replaced) : 254);
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    EXPECT_EQ(WEXITSTATUS(raw), static_cast<int>(IoStatus::OwnerNotKept));
    EXPECT_EQ(ReadFileBytes(m_tmp / "f"), kOld);
    EXPECT_FALSE(TempLeft());
}

TEST_F(FileIo, LinksAreNeverFollowedAndOnlyRegularFilesAreRead) {
    MakeTree(m_tmp.Path(), {{"file", kOld}, {"sub/", ""}});
    ASSERT_EQ(::symlink("sub", (m_tmp / "sublink").c_str()), 0);
    ASSERT_EQ(::symlink("file", (m_tmp / "filelink").c_str()), 0);
    ASSERT_EQ(::mkfifo((m_tmp / "fifo").c_str(), 0600), 0);
    std::vector<CDirEntry> entries;
    ASSERT_TRUE(m_dir.Snapshot(entries).Ok());
    std::map<std::string, EntryType> types;
    for (const CDirEntry& e : entries)
        types[e.name] = e.type;
    EXPECT_EQ(types.size(), 5u);
    // Name, its type in the listing, what opening it as a folder and reading
    // it as a file give.
    const std::tuple<const char*, EntryType, IoStatus, IoStatus> cases[] = {
        {"file", EntryType::File, IoStatus::NotFolder, IoStatus::Ok},
        {"sub", EntryType::Folder, IoStatus::Ok, IoStatus::NotRegular},
        {"sublink", EntryType::Link, IoStatus::IsLink, IoStatus::IsLink},
        {"filelink", EntryType::Link, IoStatus::IsLink, IoStatus::IsLink},
        {"fifo", EntryType::Other, IoStatus::NotFolder, IoStatus::NotRegular},  // never waits
    };
    for (const auto& [name, type, asFolder, asFile] : cases) {
        EXPECT_EQ(types.at(name), type) << name;
        CDir child;
        EXPECT_EQ(m_dir.OpenChild(name, child).status, asFolder) << name;
        std::string bytes;
        CFileStamp stamp;
        EXPECT_EQ(ReadFileAt(m_dir, name, bytes, stamp).status, asFile) << name;
        EXPECT_EQ(bytes, asFile == IoStatus::Ok ? kOld : "") << name;
    }
}

TEST_F(FileIo, RenameNeverReplacesAnExistingFolder) {
    MakeTree(m_tmp.Path(), {{"a/f", kOld}, {"b/", ""}});
    EXPECT_EQ(m_dir.RenameChild("a", "b").status, IoStatus::Exists);
    EXPECT_EQ(ReadFileBytes(m_tmp / "a/f"), kOld);
    EXPECT_TRUE(m_dir.RenameChild("a", "c").Ok());
    EXPECT_EQ(ReadFileBytes(m_tmp / "c/f"), kOld);
}

}  // namespace
