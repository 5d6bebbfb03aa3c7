#include "win32/ini_settings_store.h"

#include <windows.h>

#include "service/core.h"
#include "win32/wide_text.h"

namespace {

constexpr const wchar_t* kSection = L"General";

}  // namespace

CIniSettingsStore::CIniSettingsStore(std::wstring filePath) : m_path(std::move(filePath)) {}

// The profile API writes a new file in the ANSI code page; one that starts
// with a UTF-16 mark it keeps as UTF-16.
void CIniSettingsStore::Load() {
    if (m_path.empty())
        m_path = FromEnginePath(CCore().getAppPath() + ".ini");
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;  // there already, or its folder is missing: the getters read empty
    const unsigned char mark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, mark, sizeof mark, &written, nullptr);
    CloseHandle(file);
}

std::string CIniSettingsStore::GetStr(const char* key) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = GetPrivateProfileStringW(kSection, Widen(key).c_str(), L"", buffer.data(),
                                                   size, m_path.c_str());
        if (got + 1 < size) {
            buffer.resize(got);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

int CIniSettingsStore::GetBool(const char* key) {
    return GetPrivateProfileIntW(kSection, Widen(key).c_str(), 0, m_path.c_str()) != 0 ? 1 : 0;
}

// Quoted, so that leading and trailing blanks come back: the reader strips
// one pair of quotes around a value, and blanks outside them.
void CIniSettingsStore::SaveStr(const char* key, const std::string& value) {
    const std::wstring quoted = L"\"" + Widen(value) + L"\"";
    WritePrivateProfileStringW(kSection, Widen(key).c_str(), quoted.c_str(), m_path.c_str());
}

void CIniSettingsStore::SaveBool(const char* key, int value) {
    WritePrivateProfileStringW(kSection, Widen(key).c_str(), value ? L"1" : L"0", m_path.c_str());
}
