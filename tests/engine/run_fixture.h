#pragma once
// A run of the engine over a tree of its own: the job is a value the test
// fills, the worker runs it on the test's thread, and the events can be
// looked up by path relative to the tree.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "engine/run/replace_thread.h"
#include "platform/paths.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

class CRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = m_dir / "top";
        m_job.folder = m_root + "/";
        m_job.extensions = {"txt"};
        m_job.rules = {{"x", "xy"}};
        m_job.includeSubfolders = true;
        m_job.renameFolders = true;
    }

    // Runs the job on this thread; the worker's result.
    const CRunResult& Run(bool dryRun = false) {
        m_job.dryRun = dryRun;
        m_events.clear();
        JobParams params{&m_notify, nullptr, &m_stop, m_job, &m_events};
        EXPECT_EQ(m_worker.RunJob(&params), 1);
        return m_worker.m_result;
    }
    std::string P(const std::string& relative) const { return m_root + "/" + relative; }
    std::string Bytes(const std::string& relative) const { return ReadFileBytes(P(relative)); }

    // "kind path[ -> new]: reason" for every event, paths relative to the tree.
    std::vector<std::string> Events() const {
        static const char* const kKinds[] = {"rewritten",   "skipped",        "failed", "renamed",
                                             "not renamed", "folder skipped", "binary", "link"};
        std::vector<std::string> out;
        for (const CRunEvent& e : m_events) {
            std::string line = std::string(kKinds[static_cast<int>(e.kind)]) + " " + Rel(e.path);
            if (!e.newPath.empty())
                line += " -> " + Rel(e.newPath);
            if (!e.reason.empty())
                line += ": " + e.reason;
            out.push_back(line);
        }
        return out;
    }
    std::vector<std::string> SortedEvents() const {
        std::vector<std::string> lines = Events();
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    // Relative to the tree, with "/" between folders on every system.
    std::string Rel(const std::string& path) const {
        std::string rel = path.starts_with(m_root + "/") ? path.substr(m_root.size() + 1) : path;
        std::replace(rel.begin(), rel.end(), kPathSeparator, '/');
        return rel;
    }

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
    std::string m_root;
    CJob m_job;
    CReplaceThread m_worker;
    CRecordingNotify m_notify;
    struct CEvents : CRunObserver, std::vector<CRunEvent> {
        void OnEvent(const CRunEvent& e) override { push_back(e); }
    } m_events;
    std::atomic<bool> m_stop{false};
};
