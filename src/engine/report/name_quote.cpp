#include "engine/report/name_quote.h"

#include "platform/paths.h"

namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// The code unit of a lone surrogate that starts at name[i] in path text that
// is UTF-8 (Windows, where a name may hold one), or 0. It is no character,
// so it is shown as \uXXXX.
unsigned LoneSurrogateAt(std::string_view name, size_t i) {
    if (!kPathTextIsUtf8 || i + 2 >= name.size() || static_cast<unsigned char>(name[i]) != 0xED)
        return 0;
    const auto b1 = static_cast<unsigned char>(name[i + 1]);
    const auto b2 = static_cast<unsigned char>(name[i + 2]);
    if (b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80)
        return 0;
    return 0xD000u | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
}

bool NeedsQuotes(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        // Where the backslash separates folders it is no part of a name.
        if (IsControl(static_cast<unsigned char>(c)) || c == '"' ||
            (c == '\\' && kPathSeparator != '\\') || LoneSurrogateAt(name, i) != 0)
            return true;
    }
    return name.find(" -> ") != std::string_view::npos;
}

}  // namespace

std::string QuoteName(std::string_view name) {
    if (!NeedsQuotes(name))
        return std::string(name);
    static constexpr char kSimple[] = "\a\b\t\n\v\f\r";
    static constexpr char kLetters[] = "abtnvfr";
    std::string out = "\"";
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const auto byte = static_cast<unsigned char>(c);
        if (const unsigned unit = LoneSurrogateAt(name, i)) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(unit >> shift) & 0xF];
            i += 2;
        } else if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte != 0 && std::string_view(kSimple).find(c) != std::string_view::npos) {
            out += '\\';
            out += kLetters[std::string_view(kSimple).find(c)];
        } else if (IsControl(byte)) {
            out += '\\';
            out += static_cast<char>('0' + (byte >> 6));
            out += static_cast<char>('0' + ((byte >> 3) & 7));
            out += static_cast<char>('0' + (byte & 7));
        } else {
            out += c;
        }
    }
    return out + "\"";
}
