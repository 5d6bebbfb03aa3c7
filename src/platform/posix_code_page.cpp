#include "platform/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <bit>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <mutex>
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

std::mutex g_workingMutex;
// Every code page ever made working stays alive: a reference handed out by
// Working() must never dangle, and SetWorking runs a handful of times at most.
std::vector<std::unique_ptr<CCodePage>> g_workingHistory;
const CCodePage* g_working = nullptr;

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

size_t CCodePage::CharLength(std::string_view text, size_t pos) const {
    const auto c = static_cast<unsigned char>(text[pos]);
    const size_t left = text.size() - pos;
    if (c < 0x80)
        return 1;
    if (m_bUtf8) {
        size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return n <= left ? n : 1;
    }
    if (!m_isLead[c] || left < 2)
        return 1;
    if (m_bGb18030 && left >= 4) {
        const auto second = static_cast<unsigned char>(text[pos + 1]);
        if (second >= 0x30 && second <= 0x39)
            return 4;
    }
    return 2;
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

bool CCodePage::FromCharset(const std::string& charset, std::string_view bytes,
                            std::string& out) const {
    return ConvertCharset(charset.c_str(), m_name.c_str(), bytes, out);
}

bool CCodePage::IsValid(std::string_view bytes) const {
    if (m_bUtf8)
        return IsValidUtf8(bytes);
    std::u16string ignored;
    return ToUtf16(bytes, ignored);
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

const CCodePage& CCodePage::Working() {
    std::lock_guard lock(g_workingMutex);
    if (!g_working) {
        g_workingHistory.push_back(std::make_unique<CCodePage>(LocaleCharset()));
        g_working = g_workingHistory.back().get();
    }
    return *g_working;
}

void CCodePage::SetWorking(const std::string& name) {
    std::lock_guard lock(g_workingMutex);
    g_workingHistory.push_back(std::make_unique<CCodePage>(name));
    g_working = g_workingHistory.back().get();
}
