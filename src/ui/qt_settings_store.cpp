#include "ui/qt_settings_store.h"

#include "service/core.h"
#include "ui/working_text.h"

CQtSettingsStore::CQtSettingsStore(QString filePath) : m_path(std::move(filePath)) {}

QString CQtSettingsStore::DefaultFilePath() {
    return FromWorking(CCore().getAppPath() + ".ini");
}

void CQtSettingsStore::Load() {
    if (m_path.isEmpty())
        m_path = DefaultFilePath();
    m_pSettings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
}

QSettings& CQtSettingsStore::Settings() {
    if (!m_pSettings)
        Load();
    return *m_pSettings;
}

std::string CQtSettingsStore::GetStr(const char* key) {
    return ToWorking(Settings().value(QLatin1String(key)).toString());
}

int CQtSettingsStore::GetBool(const char* key) {
    return Settings().value(QLatin1String(key), 0).toInt() != 0 ? 1 : 0;
}

void CQtSettingsStore::SaveStr(const char* key, const std::string& value) {
    Settings().setValue(QLatin1String(key), FromWorking(value));
    Settings().sync();
}

void CQtSettingsStore::SaveBool(const char* key, int value) {
    Settings().setValue(QLatin1String(key), value ? 1 : 0);
    Settings().sync();
}
