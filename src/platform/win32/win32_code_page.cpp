// The working code page on Windows: the ANSI code page (GetACP), converted
// strictly with MultiByteToWideChar (MB_ERR_INVALID_CHARS) and
// WideCharToMultiByte (WC_NO_BEST_FIT_CHARS and the used-default flag), so
// that nothing is ever replaced by a look-alike or a question mark.
#include <windows.h>

#include <cstring>

#include "platform/code_page.h"

namespace {

constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// The code page number of a character set name; 0 for none known.
UINT CodePageOf(const std::string& name) {
    const std::string upper = Upper(name);
    struct CAlias {
        const char* name;
        UINT id;
    };
    static constexpr CAlias kAliases[] = {
        {"UTF-8", CP_UTF8},  {"UTF8", CP_UTF8}, {"UTF-16LE", kUtf16Le}, {"UTF-16BE", kUtf16Be},
        {"GBK", 936},        {"GB2312", 936},   {"GB18030", 54936},     {"BIG5", 950},
        {"SHIFT_JIS", 932},  {"EUC-KR", 949},   {"WINDOWS-1252", 1252}, {"ISO-8859-1", 28591},
        {"US-ASCII", 20127}, {"ASCII", 20127},
    };
    for (const CAlias& alias : kAliases) {
        if (upper == alias.name)
            return alias.id;
    }
    for (const char* prefix : {"CP", "WINDOWS-"}) {
        const size_t n = std::strlen(prefix);
        if (upper.size() > n && upper.compare(0, n, prefix) == 0 &&
            upper.find_first_not_of("0123456789", n) == std::string::npos)
            return static_cast<UINT>(std::stoul(upper.substr(n)));
    }
    return 0;
}

// Code pages where the flags of a strict conversion are accepted.
bool TakesStrictFlags(UINT id) {
    return !(id >= 50220 && id <= 50229) && id != 52936 && !(id >= 57002 && id <= 57011) &&
           id != 65000 && id != 42;
}

bool ToWide(UINT id, std::string_view bytes, std::wstring& out) {
    out.clear();
    if (bytes.empty())
        return true;
    if (id == 0)
        return false;  // never the ANSI code page by accident
    if (id == kUtf16Le || id == kUtf16Be) {
        if (bytes.size() % 2 != 0)
            return false;
        out.resize(bytes.size() / 2);
        for (size_t i = 0; i < out.size(); ++i) {
            const auto a = static_cast<unsigned char>(bytes[2 * i]);
            const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
            out[i] = static_cast<wchar_t>(id == kUtf16Le ? a | (b << 8) : (a << 8) | b);
        }
        return true;
    }
    const DWORD flags = TakesStrictFlags(id) ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(bytes.size());
    out.resize(bytes.size());
    const int n = ::MultiByteToWideChar(id, flags, bytes.data(), size, out.data(), size);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0;
}

bool IsLoneSurrogateIn(std::wstring_view units) {
    for (size_t i = 0; i < units.size(); ++i) {
        const wchar_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

bool FromWide(UINT id, std::wstring_view units, std::string& out) {
    out.clear();
    if (units.empty())
        return true;
    if (id == 0)
        return false;
    if (id == kUtf16Le || id == kUtf16Be) {
        if (IsLoneSurrogateIn(units))
            return false;
        out.resize(units.size() * 2);
        for (size_t i = 0; i < units.size(); ++i) {
            const auto u = static_cast<unsigned>(units[i]);
            out[2 * i + (id == kUtf16Le ? 0 : 1)] = static_cast<char>(u & 0xFF);
            out[2 * i + (id == kUtf16Le ? 1 : 0)] = static_cast<char>(u >> 8);
        }
        return true;
    }
    const int size = static_cast<int>(units.size());
    out.resize(units.size() * 4);
    const int room = static_cast<int>(out.size());
    int n = 0;
    if (id == CP_UTF8) {
        n = ::WideCharToMultiByte(id, WC_ERR_INVALID_CHARS, units.data(), size, out.data(), room,
                                  nullptr, nullptr);
    } else {
        BOOL usedDefault = FALSE;
        const bool strict = TakesStrictFlags(id);
        n = ::WideCharToMultiByte(id, strict ? WC_NO_BEST_FIT_CHARS : 0, units.data(), size,
                                  out.data(), room, nullptr, strict ? &usedDefault : nullptr);
        if (usedDefault)
            n = 0;
    }
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0;
}

}  // namespace

bool ConvertCharset(const char* from, const char* to, std::string_view in, std::string& out) {
    out.clear();
    if (in.empty())
        return true;
    const UINT fromId = CodePageOf(from);
    const UINT toId = CodePageOf(to);
    std::wstring wide;
    return fromId != 0 && toId != 0 && ToWide(fromId, in, wide) && FromWide(toId, wide, out);
}

CCodePage::CCodePage(const std::string& name) : m_name(name) {
    const UINT id = CodePageOf(name);
    m_bUtf8 = id == CP_UTF8;
    m_bGb18030 = id == 54936;
    CPINFO info{};
    if (m_bUtf8 || id == 0 || !::GetCPInfo(id, &info))
        return;
    for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
        for (unsigned b = info.LeadByte[range]; b <= info.LeadByte[range + 1] && b <= 0xFF; ++b) {
            m_isLead[b] = true;
            m_bDoubleByte = true;
        }
    }
    if (m_bGb18030) {
        for (unsigned b = 0x81; b <= 0xFE; ++b)
            m_isLead[b] = true;
        m_bDoubleByte = true;
    }
}

bool CCodePage::ToUtf16(std::string_view bytes, std::u16string& out) const {
    std::wstring wide;
    const bool ok = ToWide(CodePageOf(m_name), bytes, wide);
    out.assign(wide.begin(), wide.end());
    return ok;
}

bool CCodePage::FromUtf16(std::u16string_view units, std::string& out) const {
    const std::wstring wide(units.begin(), units.end());
    return FromWide(CodePageOf(m_name), wide, out);
}

std::string CCodePage::LocaleCharset() {
    const UINT id = ::GetACP();
    return id == CP_UTF8 ? std::string("UTF-8") : "CP" + std::to_string(id);
}
