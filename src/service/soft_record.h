#pragma once
// tagSoft: the product identity record handed to CCore::uu for the About
// presentation. Four fixed-width fields, each a zero-terminated ASCII text
// that spells the value character by character as four upper-case hex
// digits (a single-byte character as "00" and its byte, a double-byte one as
// lead and trail byte, both in the working code page), then "001E".

#include <cstddef>
#include <string>
#include <string_view>

struct tagSoft {
    char version[51];     // "1.0427"
    char shortName[101];  // "Vexa"
    char category[101];   // "software"
    char title[101];      // "Korvane"
};
static_assert(sizeof(tagSoft) == 354);
static_assert(offsetof(tagSoft, shortName) == 51);
static_assert(offsetof(tagSoft, category) == 152);
static_assert(offsetof(tagSoft, title) == 253);

// The record's values, in the working code page (ASCII here).
inline constexpr std::string_view kSoftVersion = "1.0427";
inline constexpr std::string_view kSoftShortName = "Vexa";
inline constexpr std::string_view kSoftCategory = "software";
inline constexpr std::string_view kSoftTitle = "Korvane";

// Writes value into a field of width bytes; the bytes after the terminator
// are zero. False, and the field left empty, when value holds a character
// longer than two bytes or does not fit the width.
bool EncodeSoftField(std::string_view value, char* field, size_t width);
// The value a field spells, in the working code page; empty when the field
// is not well formed (odd digits, no "001E" end, no terminator in width).
std::string DecodeSoftField(const char* field, size_t width);

// Fills all four fields with the values above.
void FillSoftRecord(tagSoft& soft);

// The one record, from dialog initialisation to destruction.
extern tagSoft* g_pSoft;
