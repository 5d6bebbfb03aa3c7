// Lookups in the generated tables of unicode_tables.cpp.
#include <algorithm>

#include "engine/rewrite/unicode_tables.h"

using namespace unicode_tables;

namespace {

bool InRanges(const CCodeRange* ranges, size_t count, char32_t c) {
    const CCodeRange* end = ranges + count;
    const CCodeRange* it = std::upper_bound(
        ranges, end, c, [](char32_t v, const CCodeRange& r) { return v < r.first; });
    return it != ranges && c <= (it - 1)->last;
}

}  // namespace

char32_t FoldCase(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    const CFoldRun* end = kFoldRuns + kFoldRunsCount;
    const CFoldRun* it = std::upper_bound(
        kFoldRuns, end, c, [](char32_t v, const CFoldRun& r) { return v < r.first; });
    if (it == kFoldRuns)
        return c;
    const CFoldRun& run = *(it - 1);
    const char32_t offset = c - run.first;
    if (offset < char32_t{run.count} * run.step && offset % run.step == 0)
        return static_cast<char32_t>(static_cast<std::int64_t>(c) + run.delta);
    return c;
}

bool IsWordChar(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '_';
    return InRanges(kWordRanges, kWordRangesCount, c);
}

bool IsDigitChar(char32_t c) {
    if (c < 0x80)
        return c >= '0' && c <= '9';
    return InRanges(kDigitRanges, kDigitRangesCount, c);
}

bool IsSpaceChar(char32_t c) {
    return InRanges(kSpaceRanges, kSpaceRangesCount, c);
}
