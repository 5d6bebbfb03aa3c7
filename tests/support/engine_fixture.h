#pragma once
// A fixture that gives each test a clean engine: its own temporary folder and
// config folder, a fresh g_pCore with recording host and store, allocated
// job tables, and the working code page set to UTF-8 (tests that need GBK
// set it themselves; the fixture puts UTF-8 back).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/job_tables.h"
#include "service/core.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

class CEngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Fills the replacement rules of g_jobTables from (find, replacement) pairs.
    void SetRules(const std::vector<std::pair<std::string, std::string>>& rules);
    // Fills ExtensionList from entries such as "txt" or "*".
    void SetExtensions(const std::vector<std::string>& extensions);

    CTempDir m_dir;
    CRecordingDialogHost m_host;
    CMemorySettingsStore m_store;
    std::unique_ptr<CCore> m_core;
    std::string m_savedXdg;
};
