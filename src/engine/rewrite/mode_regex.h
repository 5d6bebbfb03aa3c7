#pragma once
// Boost.Regex as the match modes use it: the one header that includes it.
// Header-only; no Windows header (BOOST_REGEX_NO_W32), and the bound on the
// states a match may visit before it is given up as too complex. The
// character traits make case and character classes the same in every
// locale and on every system (unicode_tables.h).

#ifndef BOOST_REGEX_NO_W32
#define BOOST_REGEX_NO_W32
#endif
#ifndef BOOST_REGEX_MAX_STATE_COUNT
#define BOOST_REGEX_MAX_STATE_COUNT 100000000
#endif

#include <boost/regex.hpp>
#include <locale>

#include "engine/rewrite/unicode_tables.h"

class CModeTraits : public boost::cpp_regex_traits<wchar_t> {
    using Base = boost::cpp_regex_traits<wchar_t>;

  public:
    CModeTraits() {
        imbue(std::locale::classic());
        m_word = Lookup(L"w");
        m_alnum = Lookup(L"alnum");
        m_alpha = Lookup(L"alpha");
        m_digit = Lookup(L"d");
        m_space = Lookup(L"s");
        m_vertical = Lookup(L"v");
        m_horizontal = Lookup(L"h");
        m_unicode = Lookup(L"unicode");
    }

    wchar_t translate(wchar_t c) const { return c; }
    wchar_t translate(wchar_t c, bool icase) const { return icase ? translate_nocase(c) : c; }
    wchar_t translate_nocase(wchar_t c) const { return static_cast<wchar_t>(FoldCase(Code(c))); }

    bool isctype(wchar_t c, char_class_type f) const {
        const char32_t u = Code(c);
        if (Has(f, m_word) && IsWordChar(u))
            return true;
        if (Has(f, m_alnum) && IsWordChar(u) && u != U'_')
            return true;
        if (Has(f, m_digit) && IsDigitChar(u))
            return true;
        if (Has(f, m_space) && IsSpaceChar(u))
            return true;
        if (u < 0x80)
            return Base::isctype(c, f);
        // Outside ASCII the other classes are what the tables tell, or nothing.
        if (Has(f, m_alpha) && IsWordChar(u) && !IsDigitChar(u) && u != U'_')
            return true;
        const bool vertical = u == 0x85 || u == 0x2028 || u == 0x2029;
        return (Has(f, m_vertical) && vertical) ||
               (Has(f, m_horizontal) && IsSpaceChar(u) && !vertical) ||
               (Has(f, m_unicode) && u > 0xFF);
    }

  private:
    static char32_t Code(wchar_t c) {
        return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
    }
    static bool Has(char_class_type f, char_class_type cls) { return cls != 0 && (f & cls) == cls; }
    char_class_type Lookup(const wchar_t* name) const {
        const wchar_t* end = name;
        while (*end)
            ++end;
        return Base::lookup_classname(name, end);
    }

    char_class_type m_word = 0, m_alnum = 0, m_alpha = 0, m_digit = 0, m_space = 0, m_vertical = 0,
                    m_horizontal = 0, m_unicode = 0;
};

using CModeRegex = boost::basic_regex<wchar_t, CModeTraits>;
