#pragma once
// The settings store on QSettings: an INI file beside the rules files,
// ~/.config/Vexa/vexa.ini (XDG_CONFIG_HOME moves it). Values are kept as
// Unicode text; the service class sees working-code-page bytes. Every save
// is written through at once.

#include <QSettings>
#include <QString>

#include <memory>

#include "service/settings_store.h"

class CQtSettingsStore : public CSettingsStore {
  public:
    // An empty path means the default file named above, found when loading.
    explicit CQtSettingsStore(QString filePath = QString());

    void Load() override;
    std::string GetStr(const char* key) override;
    int GetBool(const char* key) override;
    void SaveStr(const char* key, const std::string& value) override;
    void SaveBool(const char* key, int value) override;

    QString FilePath() const { return m_path; }
    // ~/.config/Vexa/vexa.ini, moved by XDG_CONFIG_HOME.
    static QString DefaultFilePath();

  private:
    QSettings& Settings();

    QString m_path;
    std::unique_ptr<QSettings> m_pSettings;
};
