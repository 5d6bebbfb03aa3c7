#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_io.h"
#include "platform/posix_stat.h"
#include "platform/sys_calls.h"

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

CIoResult CFileReader::ReadRest(std::string& bytes, std::uint64_t maxBytes) {
    if (m_stamp.size >= maxBytes)
        return Fail(IoStatus::TooLarge);
    // To the end of the file, not just the size seen at open: a file that
    // grows meanwhile is not cut, and its stamp no longer matches at write time.
    size_t have = bytes.size();
    bytes.resize(have + static_cast<size_t>(m_stamp.size) + 1);
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() >= maxBytes) {
                bytes.clear();
                return Fail(IoStatus::TooLarge);
            }
            bytes.resize(bytes.size() * 2);
        }
        size_t got = 0;
        if (CIoResult r = Read(bytes.data() + have, bytes.size() - have, got); !r.Ok()) {
            bytes.clear();
            return r;
        }
        if (got == 0)
            break;
        have += got;
        // A short read after the size seen at open is the end: no read of
        // nothing is needed to see it (reads stop short of 2 GiB otherwise).
        if (have < bytes.size() && have >= m_stamp.size)
            break;
    }
    bytes.resize(have);
    return {};
}

CIoResult ReadFileAt(const CDir& dir, const CPlatformName& name, std::string& bytes,
                     CFileStamp& stamp, std::uint64_t maxBytes) {
    bytes.clear();
    CFileReader reader;
    if (CIoResult r = reader.Open(dir, name); !r.Ok())
        return r;
    stamp = reader.Stamp();
    return reader.ReadRest(bytes, maxBytes);
}

CIoResult ReadFilePath(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    CFileReader reader;
    if (CIoResult r = reader.OpenPath(path); !r.Ok())
        return r;
    return reader.ReadRest(bytes, maxBytes);
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
