#include "engine/large_file_scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/sys_calls.h"

namespace {

class CScanner {
  public:
    explicit CScanner(const CScanRequest& request) : m_request(request) {
        for (const std::string& n : request.needles) {
            if (!n.empty())
                m_needles.push_back(n);
        }
        size_t longest = 0;
        for (std::string_view n : m_needles)
            longest = std::max(longest, n.size());
        // Bytes carried from one piece to the next, where a match may straddle
        // them; even for 16-bit text so the carried part keeps its alignment.
        m_carry = longest > 0 ? longest - 1 : 0;
        if (request.unitAligned && m_carry % 2)
            ++m_carry;
    }

    bool Empty() const { return m_needles.empty(); }
    size_t Carry() const { return m_carry; }

    // Files this large are rare: a plain search per find text is enough here.
    bool AnyIn(std::string_view window) const {
        for (std::string_view n : m_needles) {
            for (size_t pos = window.find(n); pos != std::string_view::npos;
                 pos = window.find(n, pos + 1)) {
                if (!m_request.unitAligned || pos % 2 == 0)
                    return true;
            }
        }
        return false;
    }

  private:
    const CScanRequest& m_request;
    std::vector<std::string_view> m_needles;
    size_t m_carry = 0;
};

}  // namespace

ScanOutcome ScanFileForAny(const std::string& path, const CScanRequest& request, int& error) {
    error = 0;
    const CScanner scanner(request);
    if (scanner.Empty())
        return ScanOutcome::NotFound;
    const int fd = Sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0) {
        error = errno;
        return ScanOutcome::ReadFailed;
    }
    auto finish = [&](ScanOutcome outcome, int err) {
        Sys().close(fd);
        error = err;
        return outcome;
    };
    struct stat st {};
    if (Sys().fstat(fd, &st) != 0)
        return finish(ScanOutcome::ReadFailed, errno);
    if (!S_ISREG(st.st_mode))
        return finish(ScanOutcome::ReadFailed, 0);
    if (::lseek(fd, static_cast<off_t>(request.begin), SEEK_SET) < 0)
        return finish(ScanOutcome::ReadFailed, errno);

    const size_t piece = std::max<size_t>(request.pieceBytes, 2);
    std::string buffer(scanner.Carry() + piece + 2, '\0');
    size_t have = 0;
    bool odd = false;  // whether the text read so far has an odd length
    for (;;) {
        const ssize_t n = Sys().read(fd, buffer.data() + have, piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return finish(ScanOutcome::ReadFailed, errno);
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
        odd ^= (n % 2) != 0;
        if (scanner.AnyIn(std::string_view(buffer.data(), have)))
            return finish(ScanOutcome::Found, 0);
        // Keep the tail that could start a match; drop an even count so that
        // the window still starts on a unit.
        size_t drop = have > scanner.Carry() ? have - scanner.Carry() : 0;
        if (request.unitAligned && drop % 2)
            --drop;
        std::memmove(buffer.data(), buffer.data() + drop, have - drop);
        have -= drop;
    }
    if (request.padOddEnd && odd) {
        buffer[have++] = '\0';
        if (scanner.AnyIn(std::string_view(buffer.data(), have)))
            return finish(ScanOutcome::Found, 0);
    }
    return finish(ScanOutcome::NotFound, 0);
}

bool ReadFileHead(const std::string& path, std::string& head, int& error) {
    head.clear();
    error = 0;
    const int fd = Sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0) {
        error = errno;
        return false;
    }
    char bytes[2];
    ssize_t n;
    do {
        n = Sys().read(fd, bytes, sizeof bytes);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        error = errno;
    Sys().close(fd);
    if (n > 0)
        head.assign(bytes, static_cast<size_t>(n));
    return n >= 0;
}
