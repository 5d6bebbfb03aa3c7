#pragma once
// Where CCore keeps the dialog's settings. The front end installs one: the
// dialog a QSettings-backed store, tests an in-memory recorder.

#include <string>

class CSettingsStore {
  public:
    virtual ~CSettingsStore() = default;
    // Prepares the store so that the getters return what was saved last.
    virtual void Load() = 0;
    // A key never saved reads as empty text and 0.
    virtual std::string GetStr(const char* key) = 0;
    virtual int GetBool(const char* key) = 0;
    virtual void SaveStr(const char* key, const std::string& value) = 0;
    virtual void SaveBool(const char* key, int value) = 0;
};
