#pragma once
// A clean engine plus what a walk test needs: a worker, its stop flag and
// message recorder, and a run of the whole job over a tree in the test folder.

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
        m_root = m_dir / "top";
        g_jobTables.folderPath = m_root + "/";
        g_jobTables.includeSubfolders = 1;
        g_jobTables.renameFolders = 1;
        SetExtensions({"txt"});
        SetRules({{"x", "xy"}});
    }

    void SetRenameRules(const std::vector<std::pair<std::string, std::string>>& rules) {
        g_jobTables.ClearRenameRules();
        for (const auto& [oldName, newName] : rules)
            ASSERT_TRUE(g_jobTables.AppendRenameRule(oldName, newName));
    }

    // Runs the whole job on this thread with m_worker.
    void Run() {
        JobParams params;
        params.notify = &m_notify;
        params.stopWord = &m_stop;
        EXPECT_EQ(m_worker.RunJob(&params), 1);
        const auto messages = m_notify.Messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().message, WM_JOB_DONE);
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
