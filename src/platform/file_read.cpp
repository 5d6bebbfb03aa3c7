#include "platform/file_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sys_calls.h"

CFileStamp CFileStamp::FromStat(const struct stat& st) {
    CFileStamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    s.mode = st.st_mode;
    s.nlink = st.st_nlink;
    s.uid = st.st_uid;
    s.gid = st.st_gid;
    return s;
}

bool CFileStamp::SameContentAs(const CFileStamp& other) const {
    return dev == other.dev && ino == other.ino && size == other.size &&
           mtime.tv_sec == other.mtime.tv_sec && mtime.tv_nsec == other.mtime.tv_nsec;
}

std::string CFileRead::Reason() const {
    auto withOs = [this](const char* what) {
        return error ? std::string(what) + ": " + std::strerror(error) : std::string(what);
    };
    switch (status) {
        case ReadStatus::Ok:
            return "已读取";
        case ReadStatus::OpenFailed:
            return withOs("无法打开");
        case ReadStatus::NotRegular:
            return "不是普通文件";
        case ReadStatus::TooLarge:
            return "文件过大（2 GiB 或以上）";
        case ReadStatus::ReadFailed:
            return withOs("无法读取");
    }
    return "未知原因";
}

CFileRead ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    CFileRead result;
    bytes.clear();
    struct stat st {};
    // Look at the type first: opening a FIFO or a device could block or have effects.
    if (::stat(path.c_str(), &st) != 0) {
        result.status = ReadStatus::OpenFailed;
        result.error = errno;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = ReadStatus::NotRegular;
        return result;
    }
    const int fd = Sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0) {
        result.status = ReadStatus::OpenFailed;
        result.error = errno;
        return result;
    }
    auto fail = [&](ReadStatus status, int error) {
        Sys().close(fd);
        bytes.clear();
        result.status = status;
        result.error = error;
        return result;
    };
    if (Sys().fstat(fd, &st) != 0)
        return fail(ReadStatus::ReadFailed, errno);
    // The name may have been replaced by something else between stat and open.
    if (!S_ISREG(st.st_mode))
        return fail(ReadStatus::NotRegular, 0);
    if (static_cast<std::uint64_t>(st.st_size) >= maxBytes)
        return fail(ReadStatus::TooLarge, 0);
    result.stamp = CFileStamp::FromStat(st);

    // Read to end of file, not just st_size bytes: a file that grows while it
    // is read must not be cut, and its stamp will no longer match at write time.
    size_t have = 0;
    bytes.resize(static_cast<size_t>(st.st_size) + 1);
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() >= maxBytes)
                return fail(ReadStatus::TooLarge, 0);
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = Sys().read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(ReadStatus::ReadFailed, errno);
        }
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    bytes.resize(have);
    if (Sys().close(fd) != 0) {
        result.status = ReadStatus::ReadFailed;
        result.error = errno;
        bytes.clear();
    }
    return result;
}
