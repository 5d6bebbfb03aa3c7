// The floor under a safe replace: for each file named on standard input
// (NUL-separated), exactly the system calls that replacing a file safely
// needs and nothing else: open and read it, create a new file in the same
// folder, write the new bytes (the first occurrence of FIND swapped for
// REPLACEMENT), give it the old file's owner, mode and extended attributes,
// flush it, rename it over the old one. No rule matching, no encodings, no
// journal: what a replace program cannot do without.
//
//     find D -type f -print0 | replace-floor FIND REPLACEMENT
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

bool ReadAll(int fd, std::string& bytes) {
    bytes.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

void CopyAttributes(int from, int to) {
    std::vector<char> names(4096);
    const ssize_t n = flistxattr(from, names.data(), names.size());
    for (ssize_t at = 0; n > 0 && at < n; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        std::vector<char> value(4096);
        const ssize_t got = fgetxattr(from, &names[at], value.data(), value.size());
        if (got >= 0)
            fsetxattr(to, &names[at], value.data(), static_cast<size_t>(got), 0);
    }
}

bool Replace(const std::string& path, const std::string& find, const std::string& repl) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string temp = folder + "/.floor~tmp";
    const int in = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    std::string bytes;
    struct stat st {};
    if (in < 0 || fstat(in, &st) != 0 || !ReadAll(in, bytes))
        return false;
    if (const size_t at = bytes.find(find); at != std::string::npos)
        bytes.replace(at, find.size(), repl);
    const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool ok = out >= 0 && WriteAll(out, bytes) && fchown(out, st.st_uid, st.st_gid) == 0 &&
              fchmod(out, st.st_mode & 07777) == 0;
    if (ok) {
        CopyAttributes(in, out);
        ok = fdatasync(out) == 0 && rename(temp.c_str(), path.c_str()) == 0;
    }
    close(in);
    if (out >= 0)
        close(out);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: replace-floor FIND REPLACEMENT < NUL-separated paths\n");
        return 2;
    }
    int failed = 0;
    for (std::string path; std::getline(std::cin, path, '\0');)
        failed += Replace(path, argv[1], argv[2]) ? 0 : 1;
    return failed == 0 ? 0 : 1;
}
