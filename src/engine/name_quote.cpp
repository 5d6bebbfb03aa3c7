#include "engine/name_quote.h"

namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool NeedsQuotes(std::string_view name) {
    for (const char c : name) {
        if (IsControl(static_cast<unsigned char>(c)) || c == '\\' || c == '"')
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
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
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
