#include "engine/rule_matcher.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

constexpr size_t kBlocks = 1 << 16;

// Blocks of two bytes, read in the machine's byte order: the tables are
// built with the same function, so the order does not matter.
constexpr size_t kBlockBytes = 2;
uint16_t Block(const char* p) {
    uint16_t block;
    std::memcpy(&block, p, sizeof block);
    return block;
}

}  // namespace

void CRuleMatcher::Prepare(const JobTables& tables) {
    const int count = tables.replaceRuleCount;
    bool same = static_cast<int>(m_finds.size()) == count;
    for (int i = 0; same && i < count; ++i)
        same = m_finds[i] == tables.Find(i);
    if (same)
        return;
    m_finds.clear();
    for (int i = 0; i < count; ++i)
        m_finds.emplace_back(tables.Find(i));
    m_window = m_finds.empty() ? 0 : m_finds.front().size();
    for (const std::string& find : m_finds)
        m_window = std::min(m_window, find.size());
    m_shift.clear();
    m_bucket.clear();
    m_ends.clear();
    if (m_window < kBlockBytes)
        return;  // a find text shorter than a block: AnyOccurs searches each on its own
    // A block at offset j of a window can move it by window - B - j; blocks
    // that occur in no find text let it move past them.
    m_shift.assign(kBlocks,
                   static_cast<uint8_t>(std::min<size_t>(m_window - kBlockBytes + 1, 255)));
    m_bucket.assign(kBlocks, 0);
    for (size_t i = 0; i < m_finds.size(); ++i) {
        const char* p = m_finds[i].data();
        for (size_t j = 0; j + kBlockBytes <= m_window; ++j) {
            uint8_t& shift = m_shift[Block(p + j)];
            shift = static_cast<uint8_t>(std::min<size_t>(shift, m_window - kBlockBytes - j));
        }
        uint16_t& bucket = m_bucket[Block(p + m_window - kBlockBytes)];
        if (bucket == 0) {
            m_ends.emplace_back();
            bucket = static_cast<uint16_t>(m_ends.size());
        }
        m_ends[bucket - 1].push_back(static_cast<uint16_t>(i));
    }
}

bool CRuleMatcher::Matches(std::string_view text, size_t start, uint16_t bucket) const {
    for (const uint16_t i : m_ends[bucket - 1]) {
        const std::string& find = m_finds[i];
        if (text.size() - start >= find.size() &&
            std::memcmp(text.data() + start, find.data(), find.size()) == 0) {
            return true;
        }
    }
    return false;
}

bool CRuleMatcher::AnyOccurs(std::string_view text) const {
    if (m_window < kBlockBytes) {
        return std::any_of(m_finds.begin(), m_finds.end(), [text](const std::string& find) {
            return text.find(find) != std::string_view::npos;
        });
    }
    if (text.size() < m_window)
        return false;
    const char* data = text.data();
    const uint8_t* shift = m_shift.data();
    // pos: the first byte of the block that ends the current window.
    const size_t last = text.size() - kBlockBytes;
    for (size_t pos = m_window - kBlockBytes; pos <= last;) {
        uint16_t block = Block(data + pos);
        if (uint8_t step = shift[block]) {
            // Two moves a pass: most blocks of a text let the window move on.
            pos += step;
            if (pos > last)
                break;
            block = Block(data + pos);
            if ((step = shift[block])) {
                pos += step;
                continue;
            }
        }
        if (Matches(text, pos + kBlockBytes - m_window, m_bucket[block]))
            return true;
        ++pos;
    }
    return false;
}

namespace {

// text with every occurrence of find replaced, into out, sized exactly.
// count is the number of occurrences, already known to be > 0.
void ReplaceInto(const CCodePage& cp, std::string_view text, std::string_view find,
                 std::string_view replacement, size_t count, std::string& out) {
    const size_t size = text.size() - count * find.size() + count * replacement.size();
    out.clear();
    if (out.capacity() < size)
        std::string().swap(out);  // free before the larger block is taken
    out.reserve(size);
    size_t done = 0;
    for (size_t hit = MbsFind(cp, text, find, 0); hit != std::string_view::npos;
         hit = MbsFind(cp, text, find, done)) {
        out.append(text.substr(done, hit - done));
        out.append(replacement);
        done = hit + find.size();
    }
    out.append(text.substr(done));
}

}  // namespace

bool ApplyRulesTo(const CCodePage& cp, const JobTables& tables, std::string_view text,
                  std::string& out, const std::function<void()>& releaseText) {
    std::string spare;
    std::string_view current = text;
    bool fromText = true;
    for (int i = 0; i < tables.replaceRuleCount; ++i) {
        const std::string_view find = tables.Find(i);
        size_t count = 0;
        for (size_t hit = MbsFind(cp, current, find, 0); hit != std::string_view::npos;
             hit = MbsFind(cp, current, find, hit + find.size())) {
            ++count;
        }
        if (count == 0)
            continue;
        std::string& target = !fromText && current.data() == out.data() ? spare : out;
        ReplaceInto(cp, current, find, tables.Replacement(i), count, target);
        if (fromText && releaseText)
            releaseText();
        fromText = false;
        current = target;
    }
    if (fromText)
        return false;
    if (current.data() != out.data())
        out.swap(spare);
    return true;
}

size_t CountUtf16Units(std::string_view utf8) {
    const char* p = utf8.data();
    const size_t n = utf8.size();
    size_t units = 0;
    size_t i = 0;
#ifdef __SSE2__
    // Per 16 bytes: continuation bytes (10xxxxxx) are the signed bytes below
    // -64, four-byte leads (1111xxxx) those from -16 to -1. Byte lanes count
    // down by the first and up by the second for up to 255 steps, then add up.
    const __m128i belowLead = _mm_set1_epi8(-64);
    const __m128i fourLow = _mm_set1_epi8(-17);
    const __m128i zero = _mm_setzero_si128();
    while (n - i >= 16) {
        const size_t steps = std::min<size_t>((n - i) / 16, 255);
        __m128i continuation = zero;
        __m128i fourByte = zero;
        for (size_t s = 0; s < steps; ++s, i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            continuation = _mm_sub_epi8(continuation, _mm_cmplt_epi8(x, belowLead));
            fourByte = _mm_sub_epi8(
                fourByte, _mm_and_si128(_mm_cmpgt_epi8(x, fourLow), _mm_cmplt_epi8(x, zero)));
        }
        auto sum = [zero](__m128i lanes) {
            const __m128i halves = _mm_sad_epu8(lanes, zero);
            return static_cast<size_t>(_mm_cvtsi128_si32(halves)) +
                   static_cast<size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(halves, halves)));
        };
        units += steps * 16 - sum(continuation) + sum(fourByte);
    }
#endif
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        units += ((c & 0xC0) != 0x80) + (c >= 0xF0);
    }
    return units;
}
