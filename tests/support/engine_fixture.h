#pragma once
// A clean engine for each test: its own temporary and config folders, a fresh
// g_pCore with a recording host and no settings store, allocated job tables,
// and the working code page UTF-8 (tests that set GBK get it put back).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "prep/job_tables.h"
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

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
    CRecordingDialogHost m_host;
    std::unique_ptr<CCore> m_core = std::make_unique<CCore>();
};
