#pragma once
// The character data of the match modes, generated from Python's Unicode
// database by scripts/gen_unicode_tables.py (unicode_tables.cpp), so that
// case folding and word characters give the same answers in every locale and
// on every system: two characters are equal under -i when Python's re with
// IGNORECASE takes them as equal; a word character is what re's \w matches
// (str.isalnum() or "_"), a digit what \d matches, a space what \s matches.

#include <cstddef>
#include <cstdint>

namespace unicode_tables {

// first + step * i (i < count) maps to itself plus delta.
struct CFoldRun {
    std::uint32_t first;
    std::uint16_t count;
    std::uint8_t step;
    std::int32_t delta;
};
struct CCodeRange {
    std::uint32_t first, last;
};

extern const CFoldRun kFoldRuns[];
extern const size_t kFoldRunsCount;
extern const CCodeRange kWordRanges[];
extern const size_t kWordRangesCount;
extern const CCodeRange kDigitRanges[];
extern const size_t kDigitRangesCount;
extern const CCodeRange kSpaceRanges[];
extern const size_t kSpaceRangesCount;

}  // namespace unicode_tables

// The one member of c's case class (c itself when it has no other case).
char32_t FoldCase(char32_t c);
bool IsWordChar(char32_t c);
bool IsDigitChar(char32_t c);
bool IsSpaceChar(char32_t c);
