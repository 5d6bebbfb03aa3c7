#pragma once
// A clean engine for each test: its own temporary and config folders, a fresh
// g_pCore with a recording host and no settings store, allocated job tables,
// and the working code page UTF-8 (tests that set GBK get it put back).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/job_tables.h"
#include "service/core.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

class CEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_core->SetDialogHost(&m_host);
        g_pCore = m_core.get();
        g_jobTables = JobTables{};
        g_jobTables.Allocate();
    }
    void TearDown() override {
        g_jobTables.Release();
        g_jobTables = JobTables{};
        g_pCore = nullptr;
    }

    // Fills the replacement rules from (find, replacement) pairs.
    void SetRules(const std::vector<std::pair<std::string, std::string>>& rules) {
        g_jobTables.ClearReplaceRules();
        for (const auto& [find, replacement] : rules)
            ASSERT_TRUE(g_jobTables.AppendReplaceRule(find, replacement)) << find;
    }
    // Fills the extension list from entries such as "txt" or "*".
    void SetExtensions(const std::vector<std::string>& extensions) {
        g_jobTables.ClearExtensions();
        for (const auto& ext : extensions)
            ASSERT_TRUE(g_jobTables.AppendExtension(ext)) << ext;
    }

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
    CRecordingDialogHost m_host;
    std::unique_ptr<CCore> m_core = std::make_unique<CCore>();
};
