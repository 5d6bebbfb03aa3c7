#pragma once
// The Windows settings store: an INI file beside the rules files
// (%APPDATA%\Vexa\vexa.ini), read and written with the profile API. The file
// is created as UTF-16 so that a folder name outside the ANSI code page
// survives; the store's texts are UTF-8 on this side. Every save is written
// through at once. Dialog thread only.

#include <string>

#include "service/settings_store.h"

class CIniSettingsStore : public CSettingsStore {
  public:
    // An empty path means vexa.ini beside the rules files, found when loading.
    explicit CIniSettingsStore(std::wstring filePath = std::wstring());

    void Load() override;
    std::string GetStr(const char* key) override;
    int GetBool(const char* key) override;
    void SaveStr(const char* key, const std::string& value) override;
    void SaveBool(const char* key, int value) override;

    const std::wstring& FilePath() const { return m_path; }

  private:
    std::wstring m_path;
};
