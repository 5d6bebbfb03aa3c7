#include "engine/rewrite/wide_text.h"

#include "platform/code_page.h"

namespace {

constexpr bool kWide32 = sizeof(wchar_t) == 4;

// UTF-8 that is already known valid (the working text), decoded directly:
// the common case, without the detour through UTF-16.
bool DecodeUtf8(std::string_view text, std::wstring& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) {
            out.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        if (c >= 0xF0) {
            cp = c & 0x07;
            n = 4;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            n = 3;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            n = 2;
        } else {
            return false;
        }
        if (i + n > text.size())
            return false;
        for (size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        i += n;
        if (kWide32 || cp < 0x10000) {
            out.push_back(static_cast<wchar_t>(cp));
        } else {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return true;
}

void PutUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The code points of text; false at a lone surrogate (UTF-16).
template <class Put>
bool ForEachCodePoint(std::wstring_view text, Put put) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (!kWide32 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() &&
            static_cast<char32_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<char32_t>(text[i + 1]) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            return false;
        } else if (c > 0x10FFFF) {
            return false;
        }
        put(c);
    }
    return true;
}

}  // namespace

bool DecodeWide(const CCodePage& cp, std::string_view text, std::wstring& out) {
    if (cp.IsUtf8())
        return DecodeUtf8(text, out);
    std::u16string units;
    if (!cp.ToUtf16(text, units))
        return false;
    out.clear();
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (kWide32 && c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() &&
            units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        out.push_back(static_cast<wchar_t>(c));
    }
    return true;
}

bool EncodeWide(const CCodePage& cp, std::wstring_view text, std::string& out) {
    out.clear();
    if (cp.IsUtf8()) {
        out.reserve(text.size());
        return ForEachCodePoint(text, [&](char32_t c) { PutUtf8(c, out); });
    }
    std::u16string units;
    units.reserve(text.size());
    const bool whole = ForEachCodePoint(text, [&](char32_t c) {
        if (c < 0x10000) {
            units.push_back(static_cast<char16_t>(c));
        } else {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    });
    return whole && cp.FromUtf16(units, out);
}
