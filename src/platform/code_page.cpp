// The parts of the working code page that are the same on every system:
// character lengths and the process-wide working code page.
#include <mutex>
#include <vector>

#include "platform/code_page.h"

namespace {

std::mutex g_workingMutex;
// Every code page ever made working stays alive: a reference handed out by
// Working() must never dangle. One per name, so the history stays small.
std::vector<std::unique_ptr<CCodePage>> g_workingHistory;
const CCodePage* g_working = nullptr;

}  // namespace

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
    // A name made working before takes that code page again, so that switching
    // back and forth (tests, fuzz targets) neither grows the history nor
    // probes the character set anew.
    for (const auto& known : g_workingHistory) {
        if (known->Name() == name) {
            g_working = known.get();
            return;
        }
    }
    g_workingHistory.push_back(std::make_unique<CCodePage>(name));
    g_working = g_workingHistory.back().get();
}
