#pragma once
// A clean engine plus a worker, its stop flag and message recorder, and a
// run of the whole job over the tree m_root in the test folder.

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "engine/replace_thread.h"
#include "support/engine_fixture.h"

class CWalkTest : public CEngineTest {
  protected:
    void SetUp() override {
        CEngineTest::SetUp();
        SetRoot(m_dir / "top");
        g_jobTables.includeSubfolders = 1;
        g_jobTables.renameFolders = 1;
        SetExtensions({"txt"});
        SetRules({{"x", "xy"}});
    }
    void SetRoot(const std::string& root) {
        m_root = root;
        g_jobTables.folderPath = root + "/";
    }
    void SetRenameRules(const std::vector<std::pair<std::string, std::string>>& rules) {
        g_jobTables.ClearRenameRules();
        for (const auto& [oldName, newName] : rules)
            ASSERT_TRUE(g_jobTables.AppendRenameRule(oldName, newName));
    }
    // Runs the whole job on this thread with worker (m_worker by default).
    void Run(CReplaceThread* worker = nullptr) {
        JobParams params{&m_notify, nullptr, &m_stop};
        EXPECT_EQ((worker ? worker : &m_worker)->RunJob(&params), 1);
        ASSERT_FALSE(m_notify.Messages().empty());
        EXPECT_EQ(m_notify.Messages().back().message, WM_JOB_DONE);
    }
    // Paths of the events of one kind, sorted (the walk order is the file system's).
    std::vector<std::string> Paths(RunEventKind kind) const {
        std::vector<std::string> out;
        for (const auto& e : m_worker.m_result.events) {
            if (e.kind == kind)
                out.push_back(kind == RunEventKind::Renamed ? e.path + " -> " + e.newPath : e.path);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    // Index of the first event of kind for path, or -1.
    int EventIndex(RunEventKind kind, const std::string& path) const {
        const auto& ev = m_worker.m_result.events;
        for (size_t i = 0; i < ev.size(); ++i) {
            if (ev[i].kind == kind && ev[i].path == path)
                return static_cast<int>(i);
        }
        return -1;
    }
    std::string P(const std::string& relative) const { return m_root + "/" + relative; }

    std::string m_root;
    CReplaceThread m_worker;
    CRecordingNotify m_notify;
    std::atomic<bool> m_stop{false};
};
