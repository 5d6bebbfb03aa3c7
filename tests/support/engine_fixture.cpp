#include "support/engine_fixture.h"

#include <cstdlib>

#include "platform/code_page.h"

void CEngineTest::SetUp() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        m_savedXdg = xdg;
    ::setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    CCodePage::SetWorking("UTF-8");
    m_core = std::make_unique<CCore>();
    m_core->SetDialogHost(&m_host);
    m_core->SetSettingsStore(&m_store);
    g_pCore = m_core.get();
    g_jobTables = JobTables{};
    g_jobTables.Allocate();
}

void CEngineTest::TearDown() {
    g_jobTables.Release();
    g_jobTables = JobTables{};
    g_pCore = nullptr;
    if (m_savedXdg.empty()) {
        ::unsetenv("XDG_CONFIG_HOME");
    } else {
        ::setenv("XDG_CONFIG_HOME", m_savedXdg.c_str(), 1);
    }
    CCodePage::SetWorking("UTF-8");
}

void CEngineTest::SetRules(const std::vector<std::pair<std::string, std::string>>& rules) {
    g_jobTables.ClearReplaceRules();
    for (const auto& [find, replacement] : rules) {
        ASSERT_TRUE(g_jobTables.AppendReplaceRule(find, replacement)) << find;
    }
}

void CEngineTest::SetExtensions(const std::vector<std::string>& extensions) {
    g_jobTables.ClearExtensions();
    for (const auto& ext : extensions)
        ASSERT_TRUE(g_jobTables.AppendExtension(ext)) << ext;
}
