#include "engine/rewrite/large_file_scan.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/byte_search.h"

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
        // Even for 16-bit text, so that the carried part keeps its alignment.
        m_carry = longest > 0 ? longest - 1 : 0;
        if (request.unitAligned && m_carry % 2)
            ++m_carry;
    }

    bool Empty() const { return m_needles.empty(); }
    size_t Carry() const { return m_carry; }

    // A search per needle: files searched this way with more than a few
    // needles are rare.
    bool AnyIn(std::string_view window) const {
        for (std::string_view n : m_needles) {
            for (size_t pos = FindBytes(window, n); pos != std::string_view::npos;
                 pos = FindBytes(window, n, pos + 1)) {
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

ScanOutcome ScanPieces(CFileReader& reader, std::string_view prefix, const CPieceCut& cut,
                       std::string& buffer, const std::function<bool(std::string_view)>& search,
                       CIoResult& error, std::uint64_t& read) {
    error = {};
    read = 0;
    const size_t piece = std::max<size_t>(cut.pieceBytes, 2);
    // One more than the carry: a drop kept even may keep one byte more.
    buffer.resize(std::max(buffer.size(), std::max(prefix.size(), cut.carry + 1) + piece));
    if (!prefix.empty())  // an empty view may hold no pointer at all
        std::memcpy(buffer.data(), prefix.data(), prefix.size());
    size_t have = prefix.size();
    if (have > 0 && search({buffer.data(), have}))
        return ScanOutcome::Found;
    for (;;) {
        size_t drop = have > cut.carry ? have - cut.carry : 0;
        if (cut.unitAligned && drop % 2)
            --drop;
        std::memmove(buffer.data(), buffer.data() + drop, have - drop);
        have -= drop;
        size_t got = 0;
        error = reader.Read(buffer.data() + have, piece, got);
        if (!error.Ok())
            return ScanOutcome::ReadFailed;
        if (got == 0)
            return ScanOutcome::NotFound;
        read += got;
        have += got;
        if (search({buffer.data(), have}))
            return ScanOutcome::Found;
    }
}

ScanOutcome ScanForAny(CFileReader& reader, std::string_view prefix, const CScanRequest& request,
                       CIoResult& error) {
    error = {};
    const CScanner scanner(request);
    if (scanner.Empty())
        return ScanOutcome::NotFound;
    std::string buffer;
    std::uint64_t read = 0;
    return ScanPieces(
        reader, prefix, {request.pieceBytes, scanner.Carry(), request.unitAligned}, buffer,
        [&scanner](std::string_view window) { return scanner.AnyIn(window); }, error, read);
}
