// The run protocol through a fake view: what every front end gets from the
// controller, with a real worker on its own thread (or, where a test must
// decide when it runs, on the test's thread).

#include "app/run_controller.h"

#include <gmock/gmock.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "engine/run/replace_thread.h"
#include "platform/journal_files.h"
#include "prep/job_inputs.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Records what the controller shows and answers its questions as told. The
// worker's messages wait in a queue until the test hands them back.
class CFakeView : public CRunView, public CNotifyTarget {
  public:
    CDialogSettings Inputs() const override { return inputs; }
    void ShowInputs(const CDialogSettings& settings) override { inputs = settings; }
    void* Owner() override { return nullptr; }
    void FocusInput(JobInput input) override {
        said.push_back(input == JobInput::Folder ? "focus folder" : "focus suffix");
    }
    void SetStatus(const std::string& text) override {
        status = text;
        statuses.push_back(text);
    }
    bool WantsTotal() const override { return wantsTotal; }
    void ShowProgress(const CRunProgress& p) override { progress.push_back(p); }
    void SetCounts(const std::string& text) override { counts = text; }
    void ShowState(RunState state, RunKind) override { states.push_back(state); }
    bool Confirm(const std::string& text) override {
        said.push_back("confirm " + text);
        return yes;
    }
    Answer AskYesNoCancel(const std::string& text) override {
        said.push_back("ask " + text);
        return answer;
    }
    void Warn(const std::string& text) override { said.push_back("warn " + text); }
    void Notice(const std::string& text) override { said.push_back("notice " + text); }
    CNotifyTarget& NotifyTarget() override { return *this; }
    void OnRunEnded(const CRunEnd& end) override { ended.push_back(end.result.refusal); }
    void CloseWindow() override { closed = true; }

    void Post(unsigned message, std::uintptr_t, std::intptr_t lParam) override {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({message, lParam});
        m_arrived.notify_all();
    }
    // Hands the worker's messages to controller, as a front end's event
    // loop does, until WM_JOB_DONE.
    void Pump(CRunController& controller) {
        for (bool done = false; !done;) {
            std::unique_lock lock(m_mutex);
            m_arrived.wait(lock, [this] { return !m_queue.empty(); });
            const auto [message, lParam] = m_queue.front();
            m_queue.erase(m_queue.begin());
            lock.unlock();
            done = message == WM_JOB_DONE;
            done ? controller.OnJobDone() : controller.OnJobProgress(lParam);
        }
    }

    CDialogSettings inputs;
    bool yes = true;
    Answer answer = Answer::No;
    std::string status, counts;
    std::vector<std::string> statuses;
    bool wantsTotal = false;
    std::vector<CRunProgress> progress;
    std::vector<RunState> states;
    std::vector<std::string> said, ended;
    bool closed = false;

  private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::pair<unsigned, std::intptr_t>> m_queue;
};

class CRunControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_view.inputs = {m_dir / "site", "*.txt", true, false, {}};
        MakeTree(m_dir / "site", {{"a.txt", "colour"}, {"b.txt", "plain"}});
        WriteFileBytes(m_session.ReplaceRulesPath(), "colour`color\n");
    }
    std::string Site(const std::string& name) { return ReadFileBytes(m_dir / "site/" + name); }

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
    CRecordingDialogHost m_host;
    CAppSession m_session{CAppSession::Kind::Dialog, nullptr, &m_host};
    CFakeView m_view;
    CRunController m_controller{m_session, m_view};
};

TEST_F(CRunControllerTest, ARunIsConfirmedAndAPreviewIsNotAndAnUndoPutsTheRunBack) {
    ASSERT_EQ(m_controller.Start(RunKind::Preview), CRunController::Outcome::Started);
    m_view.Pump(m_controller);
    EXPECT_EQ(m_view.status, app_text::kPreviewFinished);
    EXPECT_THAT(m_view.counts, HasSubstr("将改写 1 个文件，未改动 1 个"));
    EXPECT_EQ(Site("a.txt"), "colour");
    EXPECT_TRUE(m_view.said.empty());

    ASSERT_EQ(m_controller.Start(RunKind::Run), CRunController::Outcome::Started);
    EXPECT_THAT(m_view.said,
                ElementsAre(std::string("confirm ") +
                            (kJournalAvailable ? app_text::kConfirmRunJournaled : kMsgConfirmRun)));
    m_view.Pump(m_controller);
    EXPECT_EQ(m_view.status, app_text::kFinished);
    EXPECT_EQ(Site("a.txt"), "color");
    EXPECT_EQ(m_view.states.back(), RunState::Idle);

    if (!kJournalAvailable)
        return;  // Windows keeps no journal yet
    ASSERT_EQ(m_controller.StartUndo(m_dir / "site"), CRunController::Outcome::Started);
    m_view.Pump(m_controller);
    EXPECT_EQ(m_view.status, app_text::kUndoFinished);
    EXPECT_THAT(m_view.counts, HasSubstr("已恢复 1 个文件"));
    EXPECT_EQ(Site("a.txt"), "colour");
}

TEST_F(CRunControllerTest, RefusedInputsAndADeclinedRunStartNothing) {
    m_view.inputs.folder = m_dir / "missing";
    EXPECT_EQ(m_controller.Start(RunKind::Run), CRunController::Outcome::Refused);
    EXPECT_THAT(m_view.said, ElementsAre("focus folder", "warn 路径无效！"));
    m_view.inputs.folder = m_dir / "site";
    m_view.said.clear();
    m_view.yes = false;
    EXPECT_EQ(m_controller.Start(RunKind::Run), CRunController::Outcome::Declined);
    EXPECT_FALSE(m_controller.IsRunning());
    EXPECT_TRUE(m_view.states.empty());
    EXPECT_EQ(Site("a.txt"), "colour");
}

// The worker runs on the test's thread when the test says so: the stop and
// the close request come while it has not begun.
TEST_F(CRunControllerTest, AStopOrACloseDuringARunEndsItAndACloseClosesTheWindowAfterIt) {
    CReplaceThread* worker = nullptr;
    m_controller.m_startThread = [&worker](CReplaceThread& w) { return worker = &w, true; };
    for (bool close : {false, true}) {
        SCOPED_TRACE(close);
        m_view.said.clear();
        ASSERT_EQ(m_controller.Start(RunKind::Preview), CRunController::Outcome::Started);
        if (close) {
            m_view.yes = false;
            EXPECT_FALSE(m_controller.RequestClose());  // 否: the run goes on
            EXPECT_EQ(m_controller.State(), RunState::Running);
            m_view.yes = true;
            EXPECT_FALSE(m_controller.RequestClose());
        } else {
            m_controller.Stop();
        }
        EXPECT_EQ(m_controller.State(), RunState::Stopping);
        worker->RunHere();
        m_view.Pump(m_controller);
        EXPECT_THAT(m_view.counts, HasSubstr("已停止，"));
        EXPECT_EQ(m_view.closed, close);
    }
    EXPECT_TRUE(m_controller.RequestClose());  // idle: closes at once
}

TEST_F(CRunControllerTest, AThreadThatCannotStartSaysSoAndLeavesTheStatusAlone) {
    m_controller.m_startThread = [](CReplaceThread&) { return false; };
    m_view.status = "就绪";
    EXPECT_EQ(m_controller.Start(RunKind::Preview), CRunController::Outcome::NotStarted);
    EXPECT_THAT(m_view.said, ElementsAre("notice Cannot Start New Thread"));
    EXPECT_THAT(m_view.states, ElementsAre(RunState::Running, RunState::Idle));
    EXPECT_EQ(m_view.status, "就绪");
    EXPECT_FALSE(m_controller.IsRunning());
}

}  // namespace

// A view that shows progress gets the total: counted (folders listed only)
// for a run, taken from the journal for an undo; the bar ends inactive.
TEST_F(CRunControllerTest, AViewThatShowsProgressGetsTheTotal) {
    m_view.wantsTotal = true;
    MakeTree(m_dir / "site", {{"sub/c.txt", "colour"}, {"d.htm", "colour"}});
    // The worker waits for the count, so that every file sees the total.
    m_controller.m_startThread = [this](CReplaceThread& worker) {
        while (m_controller.TotalFiles() < 0)
            std::this_thread::yield();
        return worker.CreateThread();
    };
    ASSERT_EQ(m_controller.Start(RunKind::Run), CRunController::Outcome::Started);
    m_view.Pump(m_controller);
    EXPECT_EQ(m_view.statuses[m_view.statuses.size() - 2], "执行中...第3个文件 / 共3个");
    ASSERT_GE(m_view.progress.size(), 3u);
    const CRunProgress last = m_view.progress[m_view.progress.size() - 2];
    EXPECT_EQ(last.count, 3);
    EXPECT_EQ(last.Total(), 3);
    EXPECT_EQ(last.Percent(), 100);
    EXPECT_FALSE(m_view.progress.back().active);
    if (!kJournalAvailable)
        return;
    ASSERT_EQ(m_controller.StartUndo(m_dir / "site/"), CRunController::Outcome::Started);
    m_view.Pump(m_controller);
    EXPECT_THAT(m_view.statuses, ::testing::Contains("撤销中...第2个文件 / 共2个"));
}

// The rate and the time left follow from the count, the total and the time.
TEST(RunProgress, RateAndTimeLeft) {
    EXPECT_EQ(RateAndTimeLeft({true, 5, -1, 0.2}), "");
    EXPECT_EQ(RateAndTimeLeft({true, 100, -1, 2}), "每秒 50 个");
    EXPECT_EQ(RateAndTimeLeft({true, 100, 400, 2}), "每秒 50 个，还剩约 6 秒");
    EXPECT_EQ(RateAndTimeLeft({true, 100, 40000, 2}), "每秒 50 个，还剩约 13 分 18 秒");
    EXPECT_EQ(CRunProgress({true, 7, 5, 1}).Percent(), 100) << "a tree that grew since the count";
    EXPECT_EQ(CRunProgress({true, 0, 0, 1}).Percent(), 100);
    EXPECT_EQ(DurationText(7384), "2 小时 3 分");
}
