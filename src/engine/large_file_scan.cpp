#include "engine/large_file_scan.h"

#include <algorithm>
#include <cstring>
#include <string_view>

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

ScanOutcome ScanForAny(CFileReader& reader, std::string_view prefix, const CScanRequest& request,
                       CIoResult& error) {
    error = {};
    const CScanner scanner(request);
    if (scanner.Empty())
        return ScanOutcome::NotFound;
    const size_t piece = std::max<size_t>(request.pieceBytes, 2);
    std::string buffer(scanner.Carry() + piece + prefix.size() + 1, '\0');
    if (!prefix.empty())  // an empty view may hold no pointer at all
        std::memcpy(buffer.data(), prefix.data(), prefix.size());
    size_t have = prefix.size();
    if (scanner.AnyIn(std::string_view(buffer.data(), have)))
        return ScanOutcome::Found;
    for (;;) {
        // Keep the tail that could start a match; drop an even count so that
        // the window still starts on a unit.
        size_t drop = have > scanner.Carry() ? have - scanner.Carry() : 0;
        if (request.unitAligned && drop % 2)
            --drop;
        std::memmove(buffer.data(), buffer.data() + drop, have - drop);
        have -= drop;
        size_t got = 0;
        error = reader.Read(buffer.data() + have, piece, got);
        if (!error.Ok())
            return ScanOutcome::ReadFailed;
        if (got == 0)
            break;
        have += got;
        if (scanner.AnyIn(std::string_view(buffer.data(), have)))
            return ScanOutcome::Found;
    }
    return ScanOutcome::NotFound;
}
