#include "platform/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <bit>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <vector>

namespace {

const char* Utf16Native() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// One strict iconv pass into a buffer sized for the worst case, so that a
// conversion is a single call (no separate measuring pass).
bool Iconv(iconv_t cd, const char* in, size_t inBytes, size_t worstOutBytes, std::string& out) {
    out.resize(worstOutBytes + 16);
    char* src = const_cast<char*>(in);
    char* dst = out.data();
    size_t srcLeft = inBytes;
    size_t dstLeft = out.size();
    if (::iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1))
        return false;
    if (::iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1))
        return false;
    out.resize(out.size() - dstLeft);
    return true;
}

class CIconv {
  public:
    CIconv(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~CIconv() {
        if (Ok())
            ::iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

  private:
    iconv_t m_cd;
};

}  // namespace

bool ConvertCharset(const char* from, const char* to, std::string_view in, std::string& out) {
    out.clear();
    if (in.empty())
        return true;
    CIconv cd(to, from);
    if (!cd.Ok())
        return false;
    // Four output bytes per input byte covers every pair of character sets used here
    // (GBK 2 bytes -> UTF-16 2 bytes, UTF-16 2 bytes -> UTF-8 3 bytes, ...).
    return Iconv(cd.Get(), in.data(), in.size(), in.size() * 4, out);
}

CCodePage::CCodePage(const std::string& name) : m_name(name) {
    const std::string upper = Upper(name);
    m_bUtf8 = upper == "UTF-8" || upper == "UTF8";
    m_bGb18030 = upper == "GB18030";
    if (m_bUtf8)
        return;
    // A byte that iconv reports as an incomplete sequence on its own starts a
    // multibyte character: this finds the lead bytes of any code page.
    CIconv cd(Utf16Native(), name.c_str());
    if (!cd.Ok())
        return;
    for (int b = 0x80; b <= 0xFF; ++b) {
        char in = static_cast<char>(b);
        char* src = &in;
        size_t srcLeft = 1;
        char16_t outUnits[4];
        char* dst = reinterpret_cast<char*>(outUnits);
        size_t dstLeft = sizeof outUnits;
        ::iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
        if (::iconv(cd.Get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) &&
            errno == EINVAL) {
            m_isLead[static_cast<size_t>(b)] = true;
            m_bDoubleByte = true;
        }
    }
}

bool CCodePage::ToUtf16(std::string_view bytes, std::u16string& out) const {
    out.clear();
    if (bytes.empty())
        return true;
    CIconv cd(Utf16Native(), m_name.c_str());
    if (!cd.Ok())
        return false;
    std::string raw;
    if (!Iconv(cd.Get(), bytes.data(), bytes.size(), bytes.size() * 2, raw))
        return false;
    out.resize(raw.size() / 2);
    std::memcpy(out.data(), raw.data(), out.size() * 2);
    return true;
}

bool CCodePage::FromUtf16(std::u16string_view units, std::string& out) const {
    out.clear();
    if (units.empty())
        return true;
    CIconv cd(m_name.c_str(), Utf16Native());
    if (!cd.Ok())
        return false;
    return Iconv(cd.Get(), reinterpret_cast<const char*>(units.data()), units.size() * 2,
                 units.size() * 4, out);
}

std::string CCodePage::LocaleCharset() {
    std::setlocale(LC_ALL, "");
    const char* set = ::nl_langinfo(CODESET);
    std::string name = set ? set : "";
    const std::string upper = Upper(name);
    if (name.empty() || upper == "ANSI_X3.4-1968" || upper == "ASCII" || upper == "US-ASCII") {
        return "UTF-8";
    }
    return name;
}
