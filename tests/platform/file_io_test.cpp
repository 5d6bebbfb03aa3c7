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
#include <map>
#include <tuple>

#include "platform/file_io.h"
#include "platform/posix/sys_calls.h"
#include "support/temp_dir.h"

namespace {

const std::string kOld = "the original content";
const std::string kNew = "the new content, longer than the original";

// The case at hand. The seam's entries are plain function pointers, so the
// hooks reach it through this global.
struct {
    // The calls that fail, by name: "short" is half of the first write and
    // then a full disk, "stuck" writes that take nothing, "tmpfile" no
    // unnamed temporary files, "midway" is alter run while the new content
    // is flushed; the others name the system call.
    std::string faults;
    void (*alter)(const std::string& path);
    std::string path;
    std::string content;  // what the original holds after alter
} g;

const auto Fails = [](const char* name) { return g.faults.find(name) != std::string::npos; };
// Sets errno and returns the failure value of the call.
const auto Failed = [](int error) { return errno = error, -1; };

// A hook that fails call with error where the case names it and passes it
// through elsewhere.
#define FAILS_WITH(call, error) \
    [](auto... a) { return Fails(#call) ? Failed(error) : RealSysCalls().call(a...); }

void InjectFaults(CSysCalls& s) {
    s.openat = [](int dir, const char* name, int flags, mode_t mode) {
        const bool refused = Fails("tmpfile") && (flags & O_TMPFILE) == O_TMPFILE;
        return refused ? Failed(EOPNOTSUPP) : RealSysCalls().openat(dir, name, flags, mode);
    };
    s.write = [](int fd, const void* buf, size_t n) -> ssize_t {
        if (Fails("short") && ::lseek(fd, 0, SEEK_CUR) > 0)
            return Failed(ENOSPC);
        return RealSysCalls().write(fd, buf, Fails("stuck") ? 0 : Fails("short") ? n / 2 : n);
    };
    s.fchown = FAILS_WITH(fchown, EPERM);
    s.linkat = FAILS_WITH(linkat, ENOENT);
    s.renameat2 = FAILS_WITH(renameat2, EXDEV);
    s.fdatasync = [](int fd) {
        if (Fails("midway"))
            g.alter(g.path), g.content = ReadFileBytes(g.path);
        return Fails("fdatasync") ? Failed(EIO) : RealSysCalls().fdatasync(fd);
    };
    s.close = [](int fd) {  // the descriptor is gone even when close fails
        const int rc = RealSysCalls().close(fd);
        return Fails("close") ? Failed(EIO) : rc;
    };
}

// New bytes of the same size, the modification time put back: only the
// status-change time tells, once the clock has passed the old one.
void RewriteInPlace(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    for (timespec now{};
         std::tie(now.tv_sec, now.tv_nsec) <= std::tie(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);)
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    WriteFileBytes(path, std::string(kOld.size(), 'x'));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Content, and what a replace must keep besides the name: mode, owner,
// group, a user.* attribute.
std::tuple<std::string, mode_t, uid_t, gid_t, std::string> State(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    char value[8] = {};
    ::getxattr(path.c_str(), "user.vexa", value, sizeof value - 1);
    return {ReadFileBytes(path), st.st_mode, st.st_uid, st.st_gid, value};
}

class FileIo : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(CDir::OpenPath(m_tmp.Path(), m_dir).Ok()); }

    // Reads name whole, its stamp into m_stamp.
    IoStatus Read(const std::string& name) {
        std::string bytes;
        return ReadFileAt(m_dir, name, bytes, m_stamp).status;
    }
    // In two pieces, whose concatenation is the replacement, with g's faults;
    // handOver gives the replace the descriptor and state of a reader, as a
    // run does with the file it has just read.
    CIoResult Replace(const std::string& name, const CFileStamp& stamp, bool handOver = false) {
        CFileReader reader;
        if (handOver && !reader.Open(m_dir, name).Ok())
            return {IoStatus::OpenFailed, 0};
        CSysCallsOverride restore;
        InjectFaults(Sys());
        const std::string_view text = kNew;
        return ReplaceFileAt(m_dir, name, stamp, {text.substr(0, 5), text.substr(5)}, nullptr,
                             handOver ? &reader : nullptr);
    }
    bool TempLeft() {
        std::vector<CDirEntry> entries;
        EXPECT_TRUE(m_dir.Snapshot(entries).Ok());
        return std::ranges::any_of(entries,
                                   [](const CDirEntry& e) { return IsOwnTempFileName(e.name); });
    }

    CTempDir m_tmp;
    CDir m_dir;
    CFileStamp m_stamp;
};

// Whatever fails or refuses, the original stays byte-identical with its
// attributes and no temporary file is left; the dry run's check reports each
// refusal made before anything is written. Without unnamed temporary files,
// or without a way to name one, a named one does the job, and the new file
// has the original's attributes.
TEST_F(FileIo, ReplaceWritesAllOrNothing) {
    auto addLink = [](const std::string& path) { ::link(path.c_str(), (path + "~").c_str()); };
    auto readOnly = [](const std::string& path) { ::chmod(path.c_str(), 0444); };
    // What, what alters the original (before the read, or "midway"), the
    // calls that fail, and the result.
    const std::tuple<const char*, void (*)(const std::string&), const char*, IoStatus, int>
        cases[] = {
            {"no write permission bit", readOnly, "", IoStatus::NotWritable, 0},
            {"a second name", addLink, "", IoStatus::HardLinks, 0},
            {"rewritten in place midway", RewriteInPlace, "midway", IoStatus::Changed, 0},
            {"a second name midway", addLink, "midway", IoStatus::Changed, 0},
            {"short write, then a full disk", nullptr, "short", IoStatus::WriteTempFailed, ENOSPC},
            {"write without progress", nullptr, "stuck", IoStatus::WriteTempFailed, ENOSPC},
            {"owner cannot be given", nullptr, "fchown", IoStatus::OwnerNotKept, EPERM},
            {"flush fails", nullptr, "fdatasync", IoStatus::SyncFailed, EIO},
            {"named file, flush fails", nullptr, "tmpfile fdatasync", IoStatus::SyncFailed, EIO},
            {"close fails", nullptr, "close", IoStatus::CloseTempFailed, EIO},
            {"rename fails", nullptr, "renameat2", IoStatus::ReplaceFailed, EXDEV},
            {"no O_TMPFILE", nullptr, "tmpfile", IoStatus::Ok, 0},
            {"no link for an unnamed file", nullptr, "linkat", IoStatus::Ok, 0},
        };
    for (const auto& [caseName, alter, faults, status, error] : cases)
        for (bool handOver : {false, true}) {
            const std::string what =
                caseName + std::string(handOver ? ", reader's descriptor" : "");
            SCOPED_TRACE(what);
            g = {faults, alter, m_tmp / what, kOld};
            WriteFileBytes(g.path, kOld);
            // As root the file belongs to another user; set-group-ID on an
            // executable is what a change of owner after the mode would clear.
            ASSERT_TRUE(::geteuid() != 0 || ::chown(g.path.c_str(), 12345, 12345) == 0);
            ASSERT_EQ(::chmod(g.path.c_str(), 02751), 0);
            ::setxattr(g.path.c_str(), "user.vexa", "v1", 2, 0);  // where the file system takes it
            if (alter && !Fails("midway"))
                alter(g.path);
            auto expected = State(g.path);
            ASSERT_EQ(Read(what), IoStatus::Ok);
            const IoStatus checked = CheckReplaceableAt(m_dir, what, m_stamp).status;
            const CIoResult r = Replace(what, m_stamp, handOver);
            EXPECT_EQ(std::tuple(r.status, r.osError, checked),
                      std::tuple(status, error, *faults ? IoStatus::Ok : status));
            std::get<0>(expected) = r.Ok() ? kNew : g.content;
            EXPECT_EQ(State(g.path), expected);
            EXPECT_FALSE(TempLeft());
        }
}

// Root's file in a folder everyone may write to: another user could write
// the bytes but could not give the new file root as its owner, and the dry
// run's check says so too.
TEST_F(FileIo, UserWhoCannotKeepTheOwnerReplacesNothing) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to own the file and to switch to another user";
    ASSERT_EQ(::chmod(m_tmp.Path().c_str(), 0777), 0);
    WriteFileBytes(m_tmp / "f", kOld);
    ASSERT_EQ(::chmod((m_tmp / "f").c_str(), 0666), 0);
    ASSERT_EQ(Read("f"), IoStatus::Ok);
    g = {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool switched = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        const IoStatus checked = CheckReplaceableAt(m_dir, "f", m_stamp).status;
        ::_exit(switched && Replace("f", m_stamp).status == checked ? static_cast<int>(checked)
                                                                    : 254);
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    EXPECT_EQ(WEXITSTATUS(raw), static_cast<int>(IoStatus::OwnerNotKept));
    EXPECT_EQ(ReadFileBytes(m_tmp / "f"), kOld);
    EXPECT_FALSE(TempLeft());
}

// A new file is made with the original's mode where the process's umask
// lets it; where it does not, the mode is given afterwards.
TEST_F(FileIo, ReplacedFileKeepsItsModeWhateverTheUmask) {
    const mode_t umaskBefore = ::umask(022);
    for (const mode_t mode : {0600, 0644, 0664, 0777, 04755}) {
        const std::string name = "mode " + std::to_string(mode);
        WriteFileBytes(m_tmp / name, kOld);
        ASSERT_EQ(::chmod((m_tmp / name).c_str(), mode), 0);
        auto expected = State(m_tmp / name);
        std::get<0>(expected) = kNew;
        ASSERT_EQ(Read(name), IoStatus::Ok);
        g = {};
        EXPECT_TRUE(Replace(name, m_stamp, true).Ok()) << name;
        EXPECT_EQ(State(m_tmp / name), expected) << name;
    }
    ::umask(umaskBefore);
}

// For a file of one's own, the owner's write bit decides, whatever the
// group's and the others' bits say.
TEST_F(FileIo, OwnersWriteBitDecidesForTheOwner) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to another user";
    ASSERT_EQ(::chmod(m_tmp.Path().c_str(), 0777), 0);
    const std::pair<const char*, mode_t> files[] = {{"read-only", 0466}, {"writable", 0644}};
    for (const auto& [name, mode] : files) {
        WriteFileBytes(m_tmp / name, kOld);
        ASSERT_EQ(::chown((m_tmp / name).c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod((m_tmp / name).c_str(), mode), 0);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        g = {};
        bool ok = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        ok = ok && Read("read-only") == IoStatus::Ok &&
             CheckReplaceableAt(m_dir, "read-only", m_stamp).status == IoStatus::NotWritable &&
             Replace("read-only", m_stamp, true).status == IoStatus::NotWritable;
        ok = ok && Read("writable") == IoStatus::Ok && Replace("writable", m_stamp, true).Ok();
        ::_exit(ok ? 0 : 1);
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_EQ(ReadFileBytes(m_tmp / "read-only"), kOld);
    EXPECT_EQ(ReadFileBytes(m_tmp / "writable"), kNew);
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
        CDir child;
        EXPECT_EQ(std::tuple(types.at(name), m_dir.OpenChild(name, child).status, Read(name)),
                  std::tuple(type, asFolder, asFile))
            << name;
    }
}

}  // namespace
