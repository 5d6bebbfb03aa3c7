// Validation of UTF-8: thirty-two or sixteen bytes at a time where the
// processor has byte shuffles (a table look-up per nibble of each byte and of
// the byte before it tells every kind of malformed sequence apart), a byte at
// a time otherwise. All give the same answer for every input.

#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/code_page.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEXA_UTF8_SIMD 1
#endif

namespace {

bool IsValidUtf8Scalar(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        // Skip ASCII eight bytes at a time: most text is mostly ASCII.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        unsigned lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            lo = c == 0xE0 ? 0xA0 : lo;
            hi = c == 0xED ? 0x9F : hi;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            lo = c == 0xF0 ? 0x90 : lo;
            hi = c == 0xF4 ? 0x8F : hi;  // at most U+10FFFF
        } else {
            return false;
        }
        if (end - p <= extra || p[1] < lo || p[1] > hi)
            return false;
        for (int i = 2; i <= extra; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        }
        p += extra + 1;
    }
    return true;
}

#ifdef VEXA_UTF8_SIMD

// Error classes of a pair (byte before, byte): each table marks the classes
// a nibble allows; a pair is wrong when all three agree on one.
constexpr uint8_t kTooShort = 1 << 0;   // lead byte followed by a non-continuation
constexpr uint8_t kTooLong = 1 << 1;    // ASCII followed by a continuation
constexpr uint8_t kOverlong3 = 1 << 2;  // E0 80..9F
constexpr uint8_t kTooLarge = 1 << 3;   // F4 90.. and F5..
constexpr uint8_t kSurrogate = 1 << 4;  // ED A0..BF
constexpr uint8_t kOverlong2 = 1 << 5;  // C0, C1
constexpr uint8_t kTooLarge1000 = 1 << 6;
constexpr uint8_t kOverlong4 = 1 << 6;  // F0 80..8F
constexpr uint8_t kTwoConts = 1 << 7;   // a continuation after a continuation
constexpr uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

__attribute__((target("ssse3"))) __m128i Lookup(__m128i nibbles, const uint8_t (&table)[16]) {
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table)), nibbles);
}

// The 16 bytes that end n bytes before the end of block, after prev.
__attribute__((target("ssse3"))) __m128i Before(__m128i block, __m128i prev, int n) {
    switch (n) {
        case 1:
            return _mm_alignr_epi8(block, prev, 15);
        case 2:
            return _mm_alignr_epi8(block, prev, 14);
        default:
            return _mm_alignr_epi8(block, prev, 13);
    }
}

__attribute__((target("ssse3"))) __m128i HighNibbles(__m128i v) {
    return _mm_and_si128(_mm_srli_epi16(v, 4), _mm_set1_epi8(0x0F));
}

// Per nibble of the byte before and of the byte: the classes each allows.
const uint8_t kByte1High[16] = {kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTwoConts,
                                kTwoConts,
                                kTwoConts,
                                kTwoConts,
                                kTooShort | kOverlong2,
                                kTooShort,
                                kTooShort | kOverlong3 | kSurrogate,
                                kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
constexpr uint8_t kHigh = kCarry | kTooLarge | kTooLarge1000;
const uint8_t kByte1Low[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                               kCarry | kOverlong2,
                               kCarry,
                               kCarry,
                               kCarry | kTooLarge,
                               kHigh,
                               kHigh,
                               kHigh,
                               kHigh,
                               kHigh,
                               kHigh,
                               kHigh,
                               kHigh,
                               kHigh | kSurrogate,
                               kHigh,
                               kHigh};
constexpr uint8_t kCont = kTooLong | kOverlong2 | kTwoConts;
const uint8_t kByte2High[16] = {kTooShort,
                                kTooShort,
                                kTooShort,
                                kTooShort,
                                kTooShort,
                                kTooShort,
                                kTooShort,
                                kTooShort,
                                kCont | kOverlong3 | kTooLarge1000 | kOverlong4,
                                kCont | kOverlong3 | kTooLarge,
                                kCont | kSurrogate | kTooLarge,
                                kCont | kSurrogate | kTooLarge,
                                kTooShort,
                                kTooShort,
                                kTooShort,
                                kTooShort};

// Errors of block given the block before it (all zero when none).
__attribute__((target("ssse3"))) __m128i BlockErrors(__m128i block, __m128i prev) {
    const __m128i prev1 = Before(block, prev, 1);
    const __m128i special =
        _mm_and_si128(_mm_and_si128(Lookup(HighNibbles(prev1), kByte1High),
                                    Lookup(_mm_and_si128(prev1, _mm_set1_epi8(0x0F)), kByte1Low)),
                      Lookup(HighNibbles(block), kByte2High));
    // A third or fourth byte of a sequence must be a continuation: the
    // byte two back is E0.. or the byte three back is F0...
    const __m128i third = _mm_subs_epu8(Before(block, prev, 2), _mm_set1_epi8(0xE0 - 0x80));
    const __m128i fourth = _mm_subs_epu8(Before(block, prev, 3), _mm_set1_epi8(0xF0 - 0x80));
    const __m128i must23 =
        _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
    return _mm_xor_si128(must23, special);
}

__attribute__((target("ssse3"))) bool IsValidUtf8Ssse3(const unsigned char* p, size_t size) {
    __m128i prev = _mm_setzero_si128();
    __m128i errors = _mm_setzero_si128();
    size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        // A block of ASCII after a complete sequence needs no look-ups.
        if (_mm_movemask_epi8(block) == 0 && _mm_movemask_epi8(prev) == 0) {
            prev = block;
            continue;
        }
        errors = _mm_or_si128(errors, BlockErrors(block, prev));
        prev = block;
    }
    // The rest padded with zeros: a sequence cut off by the end meets a zero
    // where its continuation should be. There is always at least one.
    unsigned char last[16] = {};
    // An empty view may have no storage, and memcpy takes no null pointer.
    if (size > at)
        std::memcpy(last, p + at, size - at);
    errors = _mm_or_si128(
        errors, BlockErrors(_mm_loadu_si128(reinterpret_cast<const __m128i*>(last)), prev));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(errors, _mm_setzero_si128())) == 0xFFFF;
}

// The same thirty-two bytes at a time: each half of a register looks its
// nibbles up in the same tables, and the bytes before a half come from the
// other half or from the block before.
__attribute__((target("avx2"))) __m256i Lookup32(__m256i nibbles, const uint8_t (&table)[16]) {
    return _mm256_shuffle_epi8(
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table))),
        nibbles);
}

__attribute__((target("avx2"))) __m256i Before32(__m256i block, __m256i prev, int n) {
    // The high half of prev then the low half of block: what precedes each half.
    const __m256i preceding = _mm256_permute2x128_si256(prev, block, 0x21);
    switch (n) {
        case 1:
            return _mm256_alignr_epi8(block, preceding, 15);
        case 2:
            return _mm256_alignr_epi8(block, preceding, 14);
        default:
            return _mm256_alignr_epi8(block, preceding, 13);
    }
}

__attribute__((target("avx2"))) __m256i HighNibbles32(__m256i v) {
    return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

__attribute__((target("avx2"))) __m256i BlockErrors32(__m256i block, __m256i prev) {
    const __m256i prev1 = Before32(block, prev, 1);
    const __m256i special = _mm256_and_si256(
        _mm256_and_si256(Lookup32(HighNibbles32(prev1), kByte1High),
                         Lookup32(_mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)), kByte1Low)),
        Lookup32(HighNibbles32(block), kByte2High));
    const __m256i third = _mm256_subs_epu8(Before32(block, prev, 2), _mm256_set1_epi8(0xE0 - 0x80));
    const __m256i fourth =
        _mm256_subs_epu8(Before32(block, prev, 3), _mm256_set1_epi8(0xF0 - 0x80));
    const __m256i must23 =
        _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(static_cast<char>(0x80)));
    return _mm256_xor_si256(must23, special);
}

__attribute__((target("avx2"))) bool IsValidUtf8Avx2(const unsigned char* p, size_t size) {
    __m256i prev = _mm256_setzero_si256();
    __m256i errors = _mm256_setzero_si256();
    size_t at = 0;
    for (; at + 32 <= size; at += 32) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at));
        if (_mm256_movemask_epi8(block) == 0 && _mm256_movemask_epi8(prev) == 0) {
            prev = block;
            continue;
        }
        errors = _mm256_or_si256(errors, BlockErrors32(block, prev));
        prev = block;
    }
    unsigned char last[32] = {};
    if (size > at)
        std::memcpy(last, p + at, size - at);
    errors = _mm256_or_si256(
        errors, BlockErrors32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(last)), prev));
    return _mm256_testz_si256(errors, errors) != 0;
}

#endif

}  // namespace

bool IsValidUtf8Using(std::string_view bytes, size_t width) {
    const auto* p = reinterpret_cast<const unsigned char*>(std::to_address(bytes.begin()));
#ifdef VEXA_UTF8_SIMD
    static const bool kShuffles = __builtin_cpu_supports("ssse3");
    static const bool kWide = __builtin_cpu_supports("avx2");
    if (kWide && width >= 32)
        return IsValidUtf8Avx2(p, bytes.size());
    if (kShuffles && width >= 16)
        return IsValidUtf8Ssse3(p, bytes.size());
#endif
    return IsValidUtf8Scalar(p, p + bytes.size());
}

bool IsValidUtf8(std::string_view bytes) {
    return IsValidUtf8Using(bytes, 32);
}

size_t Utf8CompletePart(std::string_view bytes) {
    // A sequence is at most four bytes: only the last three can be cut off.
    const size_t size = bytes.size();
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto c = static_cast<unsigned char>(bytes[size - back]);
        if ((c & 0xC0) == 0x80)
            continue;  // a continuation: its lead lies further back
        const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}
