// Sixteen candidate places at a time: a place is looked at closely only where
// both the needle's first and its last byte are where they belong, which in
// text rules out almost every place at once. glibc's memmem compares far more
// bytes per place for the short needles that find texts are.

#include "platform/byte_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char* FindScalar(const char* p, const char* end, std::string_view needle) {
    const size_t n = needle.size();
    for (; p < end; ++p) {
        if (p[0] == needle[0] && p[n - 1] == needle[n - 1] && std::memcmp(p, needle.data(), n) == 0)
            return p;
    }
    return nullptr;
}

// end: one past the last place a match may start.
const char* FindWide(const char* p, const char* end, std::string_view needle) {
#if defined(__SSE2__)
    const size_t n = needle.size();
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[n - 1]);
    for (; end - p >= 16; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        for (; mask != 0; mask &= mask - 1) {
            const char* at = p + __builtin_ctz(mask);
            if (std::memcmp(at + 1, needle.data() + 1, n - 2) == 0)
                return at;
        }
    }
#endif
    return FindScalar(p, end, needle);
}

}  // namespace

size_t FindBytes(std::string_view text, std::string_view needle, size_t from) {
    if (from > text.size() || text.size() - from < needle.size())
        return std::string_view::npos;
    if (needle.empty())
        return from;
    const char* start = text.data() + from;
    const char* hit =
        needle.size() == 1
            ? static_cast<const char*>(std::memchr(start, needle[0], text.size() - from))
            : FindWide(start, text.data() + text.size() - needle.size() + 1, needle);
    return hit ? static_cast<size_t>(hit - text.data()) : std::string_view::npos;
}
