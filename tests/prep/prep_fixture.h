#pragma once
// Loading the job tables against rules files written into the test's own
// folder, with the warnings shown recorded by the fixture's dialog host.

#include <optional>
#include <string>

#include "prep/load_job_tables.h"
#include "support/engine_fixture.h"

class CPrepTest : public CEngineTest {
  protected:
    void SetUp() override {
        CEngineTest::SetUp();
        g_jobTables.suffixText = "*.txt";
        g_jobTables.replaceRulesPath = m_dir / "vexa_文本替换规则.txt";
        g_jobTables.renameRulesPath = m_dir / "vexa_文件夹重命名规则.txt";
    }

    // Writes the rules files; std::nullopt leaves the file missing.
    void WriteRules(const std::optional<std::string>& replace,
                    const std::optional<std::string>& rename = std::nullopt) {
        if (replace)
            WriteFileBytes(g_jobTables.replaceRulesPath, *replace);
        if (rename)
            WriteFileBytes(g_jobTables.renameRulesPath, *rename);
    }

    // Loads with a fresh record of warnings.
    int Load() {
        m_host.warnings.clear();
        return LoadJobTables(&m_owner);
    }

    // The load is refused with exactly this one warning.
    void ExpectRefused(const std::string& message) {
        EXPECT_EQ(Load(), 0);
        EXPECT_EQ(m_host.warnings, std::vector<std::string>{message});
    }

    int m_owner = 0;  // stands for the dialog window
};
