#include "platform/needle_sieve.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEXA_SIEVE_SIMD 1
#endif

namespace {

constexpr size_t kGroups = 8;

#ifdef VEXA_SIEVE_SIMD

// The first block from at on in which some place passes, and those places
// as bits of lanes (0 when none is left before the last kPrefix - 1 bytes).
// low and high: the kPrefix tables of 16 entries each, one after another.
__attribute__((target("ssse3"))) size_t NextBlock16(const unsigned char* p, size_t at, size_t size,
                                                    const std::uint8_t* low,
                                                    const std::uint8_t* high, unsigned& lanes) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    __m128i lows[CNeedleSieve::kPrefix], highs[CNeedleSieve::kPrefix];
    for (size_t k = 0; k < CNeedleSieve::kPrefix; ++k) {
        lows[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + 16 * k));
        highs[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + 16 * k));
    }
    for (; at + 16 + CNeedleSieve::kPrefix - 1 <= size; at += 16) {
        __m128i pass = _mm_set1_epi8(-1);
        for (size_t k = 0; k < CNeedleSieve::kPrefix; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + k));
            const __m128i lo = _mm_shuffle_epi8(lows[k], _mm_and_si128(v, nibble));
            const __m128i hi =
                _mm_shuffle_epi8(highs[k], _mm_and_si128(_mm_srli_epi16(v, 4), nibble));
            pass = _mm_and_si128(pass, _mm_and_si128(lo, hi));
        }
        const unsigned none =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(pass, _mm_setzero_si128())));
        if (none != 0xFFFF) {
            lanes = ~none & 0xFFFF;
            return at;
        }
    }
    lanes = 0;
    return at;
}

// The same, thirty-two places at a time (each half of a register looks its
// half bytes up in the same tables).
__attribute__((target("avx2"))) size_t NextBlock32(const unsigned char* p, size_t at, size_t size,
                                                   const std::uint8_t* low,
                                                   const std::uint8_t* high, unsigned& lanes) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i lows[CNeedleSieve::kPrefix], highs[CNeedleSieve::kPrefix];
    for (size_t k = 0; k < CNeedleSieve::kPrefix; ++k) {
        lows[k] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + 16 * k)));
        highs[k] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + 16 * k)));
    }
    for (; at + 32 + CNeedleSieve::kPrefix - 1 <= size; at += 32) {
        __m256i pass = _mm256_set1_epi8(-1);
        for (size_t k = 0; k < CNeedleSieve::kPrefix; ++k) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at + k));
            const __m256i lo = _mm256_shuffle_epi8(lows[k], _mm256_and_si256(v, nibble));
            const __m256i hi =
                _mm256_shuffle_epi8(highs[k], _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
            pass = _mm256_and_si256(pass, _mm256_and_si256(lo, hi));
        }
        const unsigned none = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(pass, _mm256_setzero_si256())));
        if (none != 0xFFFFFFFFu) {
            lanes = ~none;
            return at;
        }
    }
    lanes = 0;
    return at;
}

#endif

}  // namespace

bool CNeedleSieve::Prepare(const std::vector<std::string>& needles, size_t maxPlaces) {
    m_usable = false;
    m_low = {};
    m_high = {};
    m_needles = needles;
    for (std::vector<std::uint8_t>& group : m_groups)
        group.clear();
#ifdef VEXA_SIEVE_SIMD
    static const bool kShuffles = __builtin_cpu_supports("ssse3");
    static const bool kWide = __builtin_cpu_supports("avx2");
    if (!kShuffles || needles.empty() || needles.size() > kMaxNeedles)
        return false;
    if (std::any_of(needles.begin(), needles.end(),
                    [](const std::string& needle) { return needle.size() < kPrefix; }))
        return false;
    // Needles that begin alike share a group: a place that passes for one
    // of them is compared with all of them, and the other groups stay sharp.
    std::vector<size_t> order(needles.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&needles](size_t a, size_t b) {
        return needles[a].compare(0, kPrefix, needles[b], 0, kPrefix) < 0;
    });
    size_t group = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const std::string& needle = needles[order[i]];
        if (i > 0 && needle.compare(0, kPrefix, needles[order[i - 1]], 0, kPrefix) != 0)
            group = (group + 1) % kGroups;
        for (size_t k = 0; k < kPrefix; ++k) {
            const auto byte = static_cast<unsigned char>(needle[k]);
            m_low[16 * k + (byte & 0x0F)] |= static_cast<std::uint8_t>(1u << group);
            m_high[16 * k + (byte >> 4)] |= static_cast<std::uint8_t>(1u << group);
        }
        m_groups[group].push_back(static_cast<std::uint8_t>(order[i]));
    }
    m_wide = kWide && maxPlaces >= 32;
    m_usable = true;
#else
    (void)maxPlaces;
#endif
    return m_usable;
}

std::uint8_t CNeedleSieve::Passes(const unsigned char* at) const {
    std::uint8_t pass = 0xFF;
    for (size_t k = 0; k < kPrefix; ++k)
        pass &= m_low[16 * k + (at[k] & 0x0F)] & m_high[16 * k + (at[k] >> 4)];
    return pass;
}

void CNeedleSieve::Confirm(std::string_view text, size_t at, unsigned groups,
                           std::uint64_t& found) const {
    for (; groups != 0; groups &= groups - 1) {
        for (const std::uint8_t i : m_groups[static_cast<size_t>(__builtin_ctz(groups))]) {
            const std::string& needle = m_needles[i];
            if (text.size() - at >= needle.size() &&
                std::memcmp(text.data() + at, needle.data(), needle.size()) == 0)
                found |= std::uint64_t{1} << i;
        }
    }
}

std::uint64_t CNeedleSieve::Scan(std::string_view text, bool all) const {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::uint64_t found = 0;
    size_t at = 0;
#ifdef VEXA_SIEVE_SIMD
    const size_t width = m_wide ? 32 : 16;
    for (;;) {
        unsigned lanes = 0;
        at = m_wide ? NextBlock32(p, at, text.size(), m_low.data(), m_high.data(), lanes)
                    : NextBlock16(p, at, text.size(), m_low.data(), m_high.data(), lanes);
        if (lanes == 0)
            break;
        for (; lanes != 0; lanes &= lanes - 1) {
            const size_t place = at + static_cast<size_t>(__builtin_ctz(lanes));
            Confirm(text, place, Passes(p + place), found);
        }
        if (found != 0 && !all)
            return found;
        at += width;
    }
#endif
    // The last places, fewer than a block, one at a time.
    for (; at + kPrefix <= text.size() && (all || found == 0); ++at) {
        if (const std::uint8_t groups = Passes(p + at); groups != 0)
            Confirm(text, at, groups, found);
    }
    return found;
}
