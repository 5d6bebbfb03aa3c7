#pragma once
// Helpers that the POSIX sources of this folder share; nothing above the
// platform layer includes this header.

#include <sys/stat.h>

#include <string_view>

#include "platform/io_result.h"

inline CNodeId IdFromStat(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

inline CFileStamp StampFromStat(const struct stat& st) {
    auto ns = [](const timespec& t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    CFileStamp s;
    s.id = IdFromStat(st);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.mtimeNs = ns(st.st_mtim);
    s.ctimeNs = ns(st.st_ctim);
    s.links = static_cast<std::uint64_t>(st.st_nlink);
    s.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    return s;
}

// The status for a failed open of an entry with O_NOFOLLOW.
IoStatus OpenFailure(int error);

// Gives dst the owner, group, mode and extended attributes of src (state st).
CIoResult CopyFileAttributes(int src, int dst, const struct stat& st);
// Writes all of bytes to fd through the seam; 0 or the error.
int WriteAllTo(int fd, std::string_view bytes);

inline CIoResult Fail(IoStatus status, int error = 0) {
    return {status, error};
}

inline int Fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}
