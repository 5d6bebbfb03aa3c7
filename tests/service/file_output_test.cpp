#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <set>

#include "platform/atomic_replace.h"
#include "platform/sys_calls.h"
#include "service/core.h"
#include "support/engine_fixture.h"

namespace {

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(dir))
            names.insert(e->d_name);
        ::closedir(dir);
    }
    return names;
}

struct stat Stat(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

using FileOutputTest = CEngineTest;

TEST_F(FileOutputTest, ContentTheFileEncodingCannotHoldWritesNothing) {
    const std::string path = m_dir / "f.txt";
    for (const auto& [bytes, content] :
         {std::pair{"\xEF\xBB\xBFold", "\xFF"}, {"\xFF\xFEo", "\xC0"}}) {
        WriteFileBytes(path, bytes);
        const CWriteResult r = m_core->outTxtFile(content, path);
        EXPECT_EQ(r.status, WriteStatus::Refused);
        EXPECT_FALSE(r.reason.empty());
        EXPECT_EQ(ReadFileBytes(path), bytes);
    }
    EXPECT_EQ(Listing(m_dir.Path()), (std::set<std::string>{".", "..", "f.txt"}));
}

TEST_F(FileOutputTest, KeepsModeOwnerAndExtendedAttributes) {
    const std::string path = m_dir / "kept";
    WriteFileBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(path.c_str(), 02751), 0);
    const bool xattrs = ::setxattr(path.c_str(), "user.vexa", "v1", 2, 0) == 0;
    // An access ACL (version 2; owner rw, user 1234 r, group r, mask r, others none).
    const unsigned char acl[] = {2,    0,    0,    0,    1,    0,    6,    0,    0xFF, 0xFF, 0xFF,
                                 0xFF, 2,    0,    4,    0,    0xD2, 4,    0,    0,    4,    0,
                                 4,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0,    4,    0,    0xFF,
                                 0xFF, 0xFF, 0xFF, 0x20, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF};
    const bool acls = ::setxattr(path.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    const struct stat old = Stat(path);

    ASSERT_TRUE(m_core->outTxtFile("new", path).Ok());
    const struct stat st = Stat(path);
    EXPECT_NE(st.st_ino, old.st_ino);
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(st.st_mode, old.st_mode);
    EXPECT_EQ(st.st_mode & 02000, 02000u);
    if (acls) {
        unsigned char copied[sizeof acl + 8] = {};
        EXPECT_EQ(::getxattr(path.c_str(), "system.posix_acl_access", copied, sizeof copied),
                  static_cast<ssize_t>(sizeof acl));
        EXPECT_EQ(std::memcmp(copied, acl, sizeof acl), 0);
    }
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
    if (!xattrs)
        GTEST_SKIP() << "the temporary folder's file system takes no user.* attributes";
    char value[8] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.vexa", value, sizeof value), 2);
    EXPECT_STREQ(value, "v1");
}

TEST_F(FileOutputTest, LinkStaysALinkAndBrokenLinksAreRefused) {
    WriteFileBytes(m_dir / "target", "old");
    ASSERT_EQ(::symlink("target", (m_dir / "link").c_str()), 0);
    ASSERT_TRUE(m_core->outTxtFile("new", m_dir / "link").Ok());
    EXPECT_TRUE(S_ISLNK(Stat(m_dir / "link").st_mode));
    EXPECT_EQ(ReadFileBytes(m_dir / "target"), "new");

    ASSERT_EQ(::symlink("nowhere", (m_dir / "dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", (m_dir / "loop").c_str()), 0);
    for (const char* name : {"dangling", "loop"}) {
        const CWriteResult r = m_core->outTxtFile("new", m_dir / name);
        EXPECT_EQ(r.status, WriteStatus::Refused) << name;
        EXPECT_NE(r.reason.find("符号链接"), std::string::npos) << r.reason;
    }
    EXPECT_EQ(Listing(m_dir.Path()),
              (std::set<std::string>{".", "..", "target", "link", "dangling", "loop"}));
}

// The seam's entries are plain function pointers: captureless lambdas, and
// these for what they need to reach.
std::function<void()> g_beforeSync;
int g_writeCalls = 0;

using Inject = void (*)(CSysCalls&);

TEST_F(FileOutputTest, AnyFailureLeavesTheOriginalAndNoTemporaryFile) {
    const std::tuple<const char*, Inject, WriteStatus, std::string> cases[] = {
        {"short write, then a full disk",
         [](CSysCalls& s) {
             s.write = [](int fd, const void* buf, size_t n) -> ssize_t {
                 if (++g_writeCalls == 1)
                     return RealSysCalls().write(fd, buf, n / 2);
                 errno = ENOSPC;
                 return -1;
             };
         },
         WriteStatus::Failed, std::strerror(ENOSPC)},
        {"write without progress",
         [](CSysCalls& s) { s.write = [](int, const void*, size_t) -> ssize_t { return 0; }; },
         WriteStatus::Failed, std::strerror(ENOSPC)},
        {"flush fails", [](CSysCalls& s) { s.fdatasync = [](int) { return errno = EIO, -1; }; },
         WriteStatus::Failed, std::strerror(EIO)},
        {"close fails",
         [](CSysCalls& s) {
             s.close = [](int fd) {
                 const bool writing = (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY;
                 const int rc = RealSysCalls().close(fd);
                 return writing ? (errno = EIO, -1) : rc;
             };
         },
         WriteStatus::Failed, std::strerror(EIO)},
        {"rename fails",
         [](CSysCalls& s) {
             s.renameat2 = [](int, const char*, int, const char*, unsigned) {
                 return errno = EXDEV, -1;
             };
         },
         WriteStatus::Failed, std::strerror(EXDEV)},
        {"mode cannot be set",
         [](CSysCalls& s) { s.fchmod = [](int, mode_t) { return errno = EPERM, -1; }; },
         WriteStatus::Failed, std::strerror(EPERM)},
        {"changed just before the rename",
         [](CSysCalls& s) {
             s.fdatasync = [](int fd) {
                 g_beforeSync();
                 return RealSysCalls().fdatasync(fd);
             };
         },
         WriteStatus::Changed, "已被修改"},
    };
    const std::string path = m_dir / "f";
    const std::string original = std::string(100000, 'o') + "中";
    g_beforeSync = [&] { WriteFileBytes(path, original + "!"); };
    for (const auto& [name, inject, status, reason] : cases) {
        WriteFileBytes(path, original);
        const auto before = Listing(m_dir.Path());
        g_writeCalls = 0;
        CWriteResult r;
        {
            CSysCallsOverride restore;
            inject(Sys());
            r = m_core->outTxtFile(std::string(200000, 'n'), path);
        }
        EXPECT_EQ(r.status, status) << name;
        EXPECT_THAT(r.reason, testing::HasSubstr(reason)) << name;
        EXPECT_EQ(ReadFileBytes(path).substr(0, original.size()), original) << name;
        EXPECT_EQ(Listing(m_dir.Path()), before) << name;
    }
    g_beforeSync = nullptr;
}

std::vector<std::string> g_renamedFrom;

// With no unnamed temporary files, or no way to give one a name, a named
// temporary file of the own pattern is written and renamed into place.
TEST_F(FileOutputTest, WithoutUnnamedFilesANamedTemporaryFileIsUsed) {
    const std::string path = m_dir / "f";
    const Inject injects[] = {
        [](CSysCalls& s) {
            s.openat = [](int dirFd, const char* path, int flags, mode_t mode) {
                if ((flags & O_TMPFILE) == O_TMPFILE)
                    return errno = EOPNOTSUPP, -1;
                return RealSysCalls().openat(dirFd, path, flags, mode);
            };
        },
        [](CSysCalls& s) {
            s.linkat = [](int, const char*, int, const char*, int) { return errno = ENOENT, -1; };
        }};
    for (const Inject inject : injects) {
        WriteFileBytes(path, "old");
        g_renamedFrom.clear();
        CSysCallsOverride restore;
        inject(Sys());
        Sys().renameat2 = [](int oldDir, const char* oldPath, int newDir, const char* newPath,
                             unsigned flags) {
            g_renamedFrom.push_back(oldPath);
            return RealSysCalls().renameat2(oldDir, oldPath, newDir, newPath, flags);
        };
        ASSERT_TRUE(m_core->outTxtFile("new", path).Ok());
        EXPECT_EQ(ReadFileBytes(path), "new");
        ASSERT_EQ(g_renamedFrom.size(), 1u);
        EXPECT_TRUE(IsOwnTempFileName(g_renamedFrom[0])) << g_renamedFrom[0];
    }
    EXPECT_EQ(Listing(m_dir.Path()), (std::set<std::string>{".", "..", "f"}));
}

TEST_F(FileOutputTest, AFullDiskLeavesTheOriginalByteIdentical) {
    const std::string mountPoint = m_dir / "small";
    ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
    if (::mount("vexa-test", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    const std::string path = mountPoint + "/f";
    const std::string original(40 * 1024, 'o');
    WriteFileBytes(path, original);
    const CWriteResult r = m_core->outTxtFile(std::string(40 * 1024, 'n'), path);
    EXPECT_EQ(r.status, WriteStatus::Failed);
    EXPECT_NE(r.reason.find(std::strerror(ENOSPC)), std::string::npos) << r.reason;
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Listing(mountPoint), (std::set<std::string>{".", "..", "f"}));
    ::umount2(mountPoint.c_str(), MNT_DETACH);
}

TEST(TempFileNameTest, OnlyTheOwnPatternIsRecognised) {
    EXPECT_TRUE(IsOwnTempFileName(".vexa~a1B2c3.tmp"));
    for (const char* name : {"vexa~a1B2c3.tmp", ".vexa~a1B2c.tmp", ".vexa~a1B2c3.tmp.txt"})
        EXPECT_FALSE(IsOwnTempFileName(name)) << name;
}

}  // namespace
