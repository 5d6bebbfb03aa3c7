#include "win32/wide_text.h"

#include <windows.h>

#include "platform/code_page.h"

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), units);
    return out;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

bool ToWorking(std::wstring_view text, std::string& out) {
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.data()), text.size());
    return CCodePage::Working().FromUtf16(units, out);
}

std::wstring FromWorking(const std::string& bytes) {
    std::u16string units;
    if (!CCodePage::Working().ToUtf16(bytes, units))
        return {};
    return std::wstring(units.begin(), units.end());
}

// Path text is UTF-8 on this system, so every name the system can hold has
// a form in it. A path that is not valid UTF-16 (a lone surrogate typed or
// pasted) has none and reads as a missing folder, never as another one.
bool ToEnginePath(std::wstring_view path, std::string& out) {
    out.clear();
    if (path.empty())
        return true;
    const int size = static_cast<int>(path.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path.data(), size, nullptr,
                                          0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    out.resize(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path.data(), size, out.data(), bytes,
                        nullptr, nullptr);
    return true;
}

std::wstring FromEnginePath(const std::string& path) {
    return Widen(path);
}
