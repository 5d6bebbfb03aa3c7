#pragma once
// The working code page: the multibyte character set that all text work is
// done in, standing in for the Windows ANSI code page. On Linux it is the
// locale's character set; UTF-8 when the locale names none or plain ASCII.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class CCodePage {
  public:
    // name is an iconv character set name such as "UTF-8", "GBK" or "CP936".
    explicit CCodePage(const std::string& name);

    const std::string& Name() const { return m_name; }
    bool IsUtf8() const { return m_bUtf8; }
    // True for character sets whose characters may be two bytes long with a
    // trail byte that can look like ASCII (GBK, Big5, Shift_JIS...).
    bool IsDoubleByte() const { return m_bDoubleByte; }

    // Length in bytes of the character that starts at text[pos] (pos < size).
    // Malformed or truncated input counts as one byte so that a scan always moves on.
    size_t CharLength(std::string_view text, size_t pos) const;

    // Strict conversions: false on invalid or unmappable input, never a
    // substituted character. out is replaced, also on failure.
    bool ToUtf16(std::string_view bytes, std::u16string& out) const;
    bool FromUtf16(std::u16string_view units, std::string& out) const;
    // Converts text in another character set (an iconv name) into this one.
    bool FromCharset(const std::string& charset, std::string_view bytes, std::string& out) const;
    // True when bytes are valid text in this code page.
    bool IsValid(std::string_view bytes) const;

    // The process-wide working code page. The first call reads the locale
    // (setlocale(LC_ALL, "") and nl_langinfo(CODESET)) unless SetWorking ran.
    // Safe to read from any thread once set.
    static const CCodePage& Working();
    // Replaces the working code page; call only while no run is active (start-up, tests).
    static void SetWorking(const std::string& name);
    // The locale's character set as iconv names it; "UTF-8" for none or ASCII.
    static std::string LocaleCharset();

  private:
    std::string m_name;
    bool m_bUtf8 = false;
    bool m_bDoubleByte = false;
    bool m_bGb18030 = false;
    std::array<bool, 256> m_isLead{};
};

// True when bytes are well-formed UTF-8 (no overlongs, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
// The same, looking at no more than width bytes at a time (32, 16 or 1) even
// where the processor could take more: tests compare the ways it may take.
bool IsValidUtf8Using(std::string_view bytes, size_t width);
// The length of bytes without a last sequence that the end cuts short, so
// that text read a piece at a time is checked in whole characters.
size_t Utf8CompletePart(std::string_view bytes);

// Converts between any two iconv character sets, strictly.
bool ConvertCharset(const char* from, const char* to, std::string_view in, std::string& out);
