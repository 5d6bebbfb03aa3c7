#include "engine/find_filter.h"

#include <cstring>

namespace {

// With this many needles or fewer, one memmem per needle beats a scan.
constexpr size_t kMemmemNeedles = 2;

// A rough rank of how common a byte is in text files: lower-case letters,
// blanks and multibyte bytes are everywhere, upper-case letters, digits and
// punctuation less so.
int Commonness(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || c == ' ')
        return 3;
    if (c >= 0x80 || c == '\n' || c == '\r' || c == '\t')
        return 2;
    return 1;
}

}  // namespace

CFindFilter::CFindFilter(const std::vector<std::string_view>& needles) {
    for (std::string_view needle : needles) {
        if (needle.size() == 1)
            m_singles.push_back(needle);
        if (needle.size() < 2)
            continue;
        const auto* p = reinterpret_cast<const unsigned char*>(needle.data());
        size_t best = 0;
        int bestScore = 1000;
        for (size_t at = 0; at + 1 < needle.size(); ++at) {
            const int score = Commonness(p[at]) + Commonness(p[at + 1]);
            if (score < bestScore) {
                best = at;
                bestScore = score;
            }
        }
        const unsigned key = p[best] | static_cast<unsigned>(p[best + 1]) << 8;
        m_anchors.push_back({needle, best, key});
        m_keys[key >> 6] |= std::uint64_t{1} << (key & 63);
    }
}

bool CFindFilter::AnyIn(std::string_view text) const {
    for (std::string_view single : m_singles) {
        if (std::memchr(text.data(), single[0], text.size()))
            return true;
    }
    if (m_anchors.size() <= kMemmemNeedles) {
        for (const CAnchor& a : m_anchors) {
            if (::memmem(text.data(), text.size(), a.needle.data(), a.needle.size()))
                return true;
        }
        return false;
    }
    return AnyByScan(text);
}

bool CFindFilter::AnyByScan(std::string_view text) const {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const unsigned key = p[i] | static_cast<unsigned>(p[i + 1]) << 8;
        if (!(m_keys[key >> 6] >> (key & 63) & 1))
            continue;
        for (const CAnchor& a : m_anchors) {
            if (a.key != key || i < a.offset)
                continue;
            const size_t start = i - a.offset;
            if (n - start >= a.needle.size() &&
                std::memcmp(p + start, a.needle.data(), a.needle.size()) == 0)
                return true;
        }
    }
    return false;
}
