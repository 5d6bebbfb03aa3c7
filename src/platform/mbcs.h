#pragma once
// Multibyte text operations with the semantics of the Windows multibyte
// runtime: exact byte comparison, and a search that never starts a match on
// the trail byte of a double-byte character.

#include <cstddef>
#include <string>
#include <string_view>

class CCodePage;

// _mbscmp: exact, case-sensitive byte comparison; <0, 0 or >0.
int MbsCompare(std::string_view a, std::string_view b);

// Position of the first occurrence of needle in text at or after from that
// starts on a character boundary, or std::string_view::npos. from must itself
// be a character boundary. An empty needle is never found.
size_t MbsFind(const CCodePage& cp, std::string_view text, std::string_view needle,
               size_t from = 0);

// Replaces every occurrence of find by replacement: left to right, without
// overlaps, and the inserted text is not searched again. Returns the number
// of replacements.
size_t MbsReplaceAll(const CCodePage& cp, std::string& text, std::string_view find,
                     std::string_view replacement);
