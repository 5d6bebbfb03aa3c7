#include "engine/rewrite/rule_matcher.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/byte_search.h"
#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

constexpr size_t kBlocks = 1 << 16;
// Texts with fewer window ends than this are searched as one piece.
constexpr size_t kTwoChains = 256;

// Blocks of two bytes, read in the machine's byte order: the tables are
// built with the same function, so the order does not matter.
constexpr size_t kBlockBytes = 2;
uint16_t Block(const char* p) {
    uint16_t block;
    std::memcpy(&block, p, sizeof block);
    return block;
}

}  // namespace

void CRuleMatcher::Prepare(const std::vector<CReplaceRuleText>& rules) {
    m_finds.clear();
    for (const CReplaceRuleText& rule : rules)
        m_finds.push_back(rule.find);
    m_window = m_finds.empty() ? 0 : m_finds.front().size();
    for (const std::string& find : m_finds)
        m_window = std::min(m_window, find.size());
    m_shift.clear();
    m_bucket.clear();
    m_ends.clear();
    if (m_sieve.Prepare(m_finds))
        return;
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
    if (m_sieve.Usable())
        return m_sieve.AnyOccurs(text);
    if (m_window < kBlockBytes) {
        return std::any_of(m_finds.begin(), m_finds.end(), [text](const std::string& find) {
            return text.find(find) != std::string_view::npos;
        });
    }
    if (text.size() < m_window)
        return false;
    // Window ends from m_window - B to size - B, searched as two halves at
    // once: each move waits on a table look-up, and two independent chains
    // of look-ups keep the processor busy while one waits.
    const size_t first = m_window - kBlockBytes;
    const size_t last = text.size() - kBlockBytes;
    if (last - first < kTwoChains)
        return ScanEnds(text, first, last);
    const char* data = text.data();
    const uint8_t* shift = m_shift.data();
    const size_t mid = first + (last - first) / 2;
    size_t a = first;    // through the ends of the first half, up to mid
    size_t b = mid + 1;  // and of the second
    while (a <= mid && b <= last) {
        uint8_t stepA = shift[Block(data + a)];
        uint8_t stepB = shift[Block(data + b)];
        if (stepA == 0) {
            if (Matches(text, a + kBlockBytes - m_window, m_bucket[Block(data + a)]))
                return true;
            stepA = 1;
        }
        if (stepB == 0) {
            if (Matches(text, b + kBlockBytes - m_window, m_bucket[Block(data + b)]))
                return true;
            stepB = 1;
        }
        a += stepA;
        b += stepB;
    }
    return (a <= mid && ScanEnds(text, a, mid)) || (b <= last && ScanEnds(text, b, last));
}

bool CRuleMatcher::ScanEnds(std::string_view text, size_t from, size_t to) const {
    const char* data = text.data();
    const uint8_t* shift = m_shift.data();
    for (size_t pos = from; pos <= to;) {
        const uint16_t block = Block(data + pos);
        if (const uint8_t step = shift[block]) {
            pos += step;
            continue;
        }
        if (Matches(text, pos + kBlockBytes - m_window, m_bucket[block]))
            return true;
        ++pos;
    }
    return false;
}

namespace {

// Whether a find text that was not in a text can be in it once some
// occurrences of another find text are replaced with replacement. Every
// byte outside the new pieces lies as it lay before, so a new occurrence
// must overlap a piece: it lies in it, holds it, or one's start is the
// other's end. An empty replacement joins what lay on either side, which
// can make anything.
bool CouldMake(std::string_view replacement, std::string_view find) {
    if (replacement.empty() || replacement.find(find) != std::string_view::npos ||
        find.find(replacement) != std::string_view::npos)
        return true;
    const size_t most = std::min(replacement.size(), find.size());
    for (size_t n = 1; n < most; ++n) {
        if (find.substr(find.size() - n) == replacement.substr(0, n) ||
            find.substr(0, n) == replacement.substr(replacement.size() - n))
            return true;
    }
    return false;
}

// MbsFind's result, faster where the code page has no double-byte
// characters: a byte match is then a match.
size_t FindFrom(const CCodePage& cp, std::string_view text, std::string_view find, size_t from) {
    if (!cp.IsDoubleByte() && !find.empty())
        return FindBytes(text, find, from);
    return MbsFind(cp, text, find, from);
}

// text with every occurrence of find from first on replaced, into out (its
// capacity reused), in one pass; false when out would reach maxBytes.
bool ReplaceInto(const CCodePage& cp, std::string_view text, std::string_view find,
                 std::string_view replacement, size_t first, size_t maxBytes, std::string& out,
                 std::uint64_t& replaced) {
    out.clear();
    // Room for the text as it is, and some growth when the rule lengthens it.
    const size_t want =
        std::min(text.size() + (replacement.size() > find.size() ? text.size() / 8 : 0), maxBytes);
    if (out.capacity() < want)
        std::string().swap(out);  // free before the larger block is taken
    out.reserve(want);
    size_t done = 0;
    for (size_t hit = first; hit != std::string_view::npos; hit = FindFrom(cp, text, find, done)) {
        if (out.size() + (hit - done) + replacement.size() >= maxBytes)
            return false;
        out.append(text.data() + done, hit - done);
        out.append(replacement);
        done = hit + find.size();
        ++replaced;
    }
    if (out.size() + (text.size() - done) >= maxBytes)
        return false;
    out.append(text.data() + done, text.size() - done);
    return true;
}

}  // namespace

RulesApplied CRuleApplier::Apply(const CCodePage& cp, const std::vector<CReplaceRuleText>& rules,
                                 std::string_view text, std::string& out, size_t maxBytes,
                                 const std::function<void()>& releaseText, std::uint64_t present) {
    std::string_view current = text;
    bool fromText = true;
    m_replacements = 0;
    const std::vector<std::uint64_t>& makes = Makes(rules);
    for (size_t i = 0; i < rules.size(); ++i) {
        const CReplaceRuleText& rule = rules[i];
        if (i < 64 && (present >> i & 1) == 0)
            continue;
        const size_t first = FindFrom(cp, current, rule.find, 0);
        if (first == std::string_view::npos)
            continue;
        present |= makes[i];
        std::string& target = !fromText && current.data() == out.data() ? m_spare : out;
        if (!ReplaceInto(cp, current, rule.find, rule.replacement, first, maxBytes, target,
                         m_replacements))
            return RulesApplied::TooLarge;
        if (fromText && releaseText)
            releaseText();
        fromText = false;
        current = target;
    }
    if (fromText)
        return RulesApplied::NoneOccurred;
    if (current.data() != out.data())
        out.swap(m_spare);
    return RulesApplied::Occurred;
}

const std::vector<std::uint64_t>& CRuleApplier::Makes(const std::vector<CReplaceRuleText>& rules) {
    const bool same = m_makesFor.size() == rules.size() &&
                      std::equal(rules.begin(), rules.end(), m_makesFor.begin(),
                                 [](const CReplaceRuleText& a, const CReplaceRuleText& b) {
                                     return a.find == b.find && a.replacement == b.replacement;
                                 });
    if (!same) {
        m_makesFor = rules;
        m_makes.assign(rules.size(), 0);
        for (size_t i = 0; i < rules.size(); ++i) {
            for (size_t k = i + 1; k < rules.size() && k < 64; ++k) {
                if (CouldMake(rules[i].replacement, rules[k].find))
                    m_makes[i] |= std::uint64_t{1} << k;
            }
        }
    }
    return m_makes;
}

RulesApplied ApplyRulesTo(const CCodePage& cp, const std::vector<CReplaceRuleText>& rules,
                          std::string_view text, std::string& out, size_t maxBytes,
                          const std::function<void()>& releaseText) {
    return CRuleApplier().Apply(cp, rules, text, out, maxBytes, releaseText);
}
