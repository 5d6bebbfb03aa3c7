#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_io.h"
#include "platform/posix/posix_stat.h"
#include "platform/posix/sys_calls.h"

namespace {

// Opening never waits for a FIFO's writer nor takes a terminal; the type is
// checked on the open descriptor, so nothing but a regular file is read.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

}  // namespace

CFileReader::~CFileReader() {
    Close();
}

void CFileReader::Close() {
    if (m_handle >= 0)
        Sys().close(Fd(m_handle));
    m_handle = -1;
}

CIoResult CFileReader::Open(const CDir& dir, const CPlatformName& name) {
    Close();
    const int fd = Sys().openat(Fd(dir.Handle()), name.c_str(), kReadFlags | O_NOFOLLOW, 0);
    if (fd < 0) {
        const int error = errno;
        return Fail(OpenFailure(error), error);
    }
    m_handle = fd;
    struct stat st {};
    if (Sys().fstat(fd, &st) != 0) {
        const int error = errno;
        Close();
        return Fail(IoStatus::ReadFailed, error);
    }
    if (!S_ISREG(st.st_mode)) {
        Close();
        return Fail(IoStatus::NotRegular);
    }
    m_stamp = StampFromStat(st);
    m_owner = st.st_uid;
    m_group = st.st_gid;
    return {};
}

CIoResult CFileReader::OpenPath(const std::string& path) {
    Close();
    struct stat st {};
    // The type first: a FIFO or a device named as a rules file is never opened.
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        return Fail(error == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed, error);
    }
    if (!S_ISREG(st.st_mode))
        return Fail(IoStatus::NotRegular);
    const int fd = Sys().open(path.c_str(), kReadFlags, 0);
    if (fd < 0) {
        const int error = errno;
        return Fail(error == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed, error);
    }
    m_handle = fd;
    if (Sys().fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return Fail(IoStatus::NotRegular);
    }
    m_stamp = StampFromStat(st);
    m_owner = st.st_uid;
    m_group = st.st_gid;
    return {};
}

CIoResult CFileReader::Read(char* buffer, size_t size, size_t& got) {
    got = 0;
    for (;;) {
        const ssize_t n = Sys().read(Fd(m_handle), buffer, size);
        if (n >= 0) {
            got = static_cast<size_t>(n);
            return {};
        }
        if (errno != EINTR)
            return Fail(IoStatus::ReadFailed, errno);
    }
}

CIoResult CFileReader::ReadAt(std::uint64_t offset, char* buffer, size_t size, size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n =
            ::pread(Fd(m_handle), buffer + got, size - got, static_cast<off_t>(offset + got));
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            return Fail(IoStatus::ReadFailed, errno);
        if (n > 0)
            got += static_cast<size_t>(n);
    }
    return {};
}

bool NamesStandardInput(const std::string& path) {
    struct stat named {
    }, input{};
    if (path == "-")
        return true;
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDIN_FILENO, &input) == 0 &&
           IdFromStat(named) == IdFromStat(input);
}

CIoResult ReadStreamPath(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    const int fd = path == "-" ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                               : Sys().open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0) {
        const int error = errno;
        return Fail(error == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed, error);
    }
    CIoResult result;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
        result = Fail(IoStatus::NotRegular);
    char buffer[65536];
    while (result.Ok()) {
        const ssize_t n = Sys().read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            result = Fail(IoStatus::ReadFailed, errno);
        else if (n > 0 && bytes.size() + static_cast<size_t>(n) >= maxBytes)
            result = Fail(IoStatus::TooLarge);
        else if (n > 0)
            bytes.append(buffer, static_cast<size_t>(n));
    }
    Sys().close(fd);
    if (!result.Ok())
        bytes.clear();
    return result;
}

CIoResult IdentifyPath(const std::string& path, CNodeId& id) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        return Fail(error == ENOENT ? IoStatus::NotFound : IoStatus::OpenFailed, error);
    }
    id = IdFromStat(st);
    return {};
}
