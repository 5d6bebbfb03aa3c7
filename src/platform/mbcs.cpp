#include "platform/mbcs.h"

#include <cstring>

#include "platform/byte_search.h"
#include "platform/code_page.h"

int MbsCompare(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    if (n != 0) {
        if (int r = std::memcmp(a.data(), b.data(), n))
            return r;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

size_t MbsFind(const CCodePage& cp, std::string_view text, std::string_view needle, size_t from) {
    if (needle.empty() || from > text.size())
        return std::string_view::npos;
    size_t hit = FindBytes(text, needle, from);
    // UTF-8 and single-byte sets cannot match inside a character when the
    // needle is valid text, so the plain byte search is already exact.
    if (!cp.IsDoubleByte())
        return hit;
    // Trail bytes of GBK overlap ASCII: walk character boundaries up to each
    // candidate and step past candidates that start inside a character.
    size_t boundary = from;
    while (hit != std::string_view::npos) {
        while (boundary < hit)
            boundary += cp.CharLength(text, boundary);
        if (boundary == hit)
            return hit;
        hit = FindBytes(text, needle, hit + 1);
    }
    return std::string_view::npos;
}

size_t MbsReplaceAll(const CCodePage& cp, std::string& text, std::string_view find,
                     std::string_view replacement) {
    size_t hit = MbsFind(cp, text, find, 0);
    if (hit == std::string_view::npos)
        return 0;
    std::string out;
    out.reserve(text.size());
    size_t done = 0;
    size_t count = 0;
    while (hit != std::string_view::npos) {
        out.append(text, done, hit - done);
        out.append(replacement);
        done = hit + find.size();
        ++count;
        hit = MbsFind(cp, text, find, done);
    }
    out.append(text, done, std::string::npos);
    text.swap(out);
    return count;
}
