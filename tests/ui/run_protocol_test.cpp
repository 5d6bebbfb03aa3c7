// The Start/Stop command and the worker's messages, through the real dialog,
// the real button and a real worker thread.
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include <sys/stat.h>
#include <atomic>
#include <chrono>
#include <thread>

#include "dialog_fixture.h"
#include "engine/job_tables.h"
#include "engine/replace_thread.h"

namespace {

const std::string kConfirm = "confirm: 替换操作无法撤销，请自行备份文件！确定要继续执行吗？";

// Holds the worker at its first directory entry until released or asked to stop.
class CWorkerGate {
  public:
    void Install(CReplaceDlg& dlg) {
        dlg.m_prepareWorker = [this](CReplaceThread& worker) {
            worker.m_entryHook = [this, &worker](const std::string&) {
                if (m_bReached.exchange(true))
                    return;
                for (int ms = 0; ms < 20000 && !m_bReleased; ++ms) {
                    if ((m_bStopSeen = worker.m_pStopWord->load()))
                        break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            };
        };
    }
    std::atomic<bool> m_bReached{false};
    std::atomic<bool> m_bReleased{false};
    std::atomic<bool> m_bStopSeen{false};
};

class CRunTest : public CDialogTest {
  protected:
    void SetUp() override {
        m_folder = m_dir / "work";
        MakeTree(m_folder, {{"a.txt", "foo 1"},
                            {"sub/b.txt", "foo 2"},
                            {"sub/deeper/c.txt", "foo foo"},
                            {"d.dat", "foo 3"}});
        Open();
        WriteFileBytes(ReplaceRulesPath(), "foo`bar\n");
        SetInputs(m_folder, "*.txt", true, false);
    }
    // Starts a run whose worker the gate holds at its first entry.
    void StartHeld(CWorkerGate& gate) {
        gate.Install(*m_pDlg);
        Click(IDC_STARTSTOP);
        ASSERT_TRUE(WaitFor([&] { return gate.m_bReached.load(); }));
    }
    // Presses Start (answered by the host) and waits for the run to end.
    void RunToEnd() {
        Click(IDC_STARTSTOP);
        ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    }
    std::string m_folder;
};

}  // namespace

TEST_F(CRunTest, OnlyYesStartsAndAWholeRunReportsEachStep) {
    m_host.answer = CDialogHost::kNo;
    Click(IDC_STARTSTOP);
    QTest::qWait(50);
    EXPECT_EQ(ReadFileBytes(m_folder + "/a.txt"), "foo 1");
    EXPECT_EQ(Caption(), "开始");
    EXPECT_TRUE(m_statuses.isEmpty());

    m_host.answer = CDialogHost::kYes;
    RunToEnd();
    EXPECT_EQ(m_host.boxes, std::vector<std::string>(2, kConfirm)) << "a clean run has no summary";
    EXPECT_EQ(ReadFileBytes(m_folder + "/a.txt"), "bar 1");
    EXPECT_EQ(ReadFileBytes(m_folder + "/sub/deeper/c.txt"), "bar bar");
    EXPECT_EQ(ReadFileBytes(m_folder + "/d.dat"), "foo 3");
    // Coalescing may drop earlier counts, but the last one is always shown.
    ASSERT_GE(m_statuses.size(), 3);
    EXPECT_EQ(m_statuses.front(), "执行中");
    EXPECT_EQ(m_statuses[m_statuses.size() - 2], "执行中...第3个文件");
    EXPECT_EQ(m_statuses.back(), "执行完成！");
    EXPECT_EQ(Caption(), "执行");
    EXPECT_TRUE(Button(IDC_STARTSTOP)->isEnabled());
}

TEST_F(CRunTest, StopDuringRunDisablesTheButtonUntilTheWorkerEnds) {
    CWorkerGate gate;
    StartHeld(gate);
    EXPECT_EQ(Caption(), "停止");

    // 打开 during the run opens the typed folder and leaves the run's tables alone.
    Edit(IDC_PATH)->setText("/elsewhere");
    Click(IDC_OPENPATH);
    EXPECT_EQ(m_host.opened, std::vector<std::string>{"/elsewhere"});
    EXPECT_EQ(g_jobTables.folderPath, m_folder + "/");

    const QString status = Status();
    Click(IDC_STARTSTOP);
    EXPECT_EQ(Caption(), "正在停止");
    EXPECT_FALSE(Button(IDC_STARTSTOP)->isEnabled());
    EXPECT_EQ(Status(), status) << "a stop request leaves the status line";
    EXPECT_EQ(m_host.boxes, std::vector<std::string>{kConfirm}) << "no second confirmation";

    ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    EXPECT_TRUE(gate.m_bStopSeen);
    EXPECT_EQ(Caption(), "执行");
    EXPECT_EQ(Status(), "执行完成！");
    int rewritten = 0;
    for (const char* name : {"/a.txt", "/sub/b.txt", "/sub/deeper/c.txt"})
        rewritten += ReadFileBytes(m_folder + name).starts_with("bar");
    EXPECT_LE(rewritten, 1) << "the walk ends at its next poll";
}

TEST_F(CRunTest, ClosingDuringRunStopsAndWaitsForTheWorkerBeforeSaving) {
    CWorkerGate gate;
    StartHeld(gate);
    Edit(IDC_SUFFIX)->setText("*.htm");  // typed during the run, saved at close
    Close();                             // returns only once the worker has ended
    EXPECT_TRUE(gate.m_bStopSeen);
    EXPECT_FALSE(gate.m_bReleased);
    QSettings ini(QString::fromStdString(SettingsPath()), QSettings::IniFormat);
    EXPECT_EQ(ini.value("fileext").toString(), "*.htm");
    QTest::qWait(20);  // a late message, if any, must reach nothing
}

// A message box runs its own event loop; the run's end must still be handled
// there, not after the box closes.
TEST_F(CRunTest, RunEndsWhileAMessageBoxIsOpen) {
    CWorkerGate gate;
    StartHeld(gate);

    bool idleInsideBox = false;
    QMessageBox box(QMessageBox::Information, "Korvane", "…", QMessageBox::Ok, m_pDlg.get());
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        gate.m_bReleased = true;
        if (!m_pDlg->IsRunning()) {
            idleInsideBox = Caption() == "执行" && Status() == "执行完成！";
            box.accept();
        }
    });
    poll.start(5);
    QTimer::singleShot(15000, &box, &QMessageBox::reject);
    box.exec();
    EXPECT_TRUE(idleInsideBox);
    EXPECT_EQ(ReadFileBytes(m_folder + "/sub/deeper/c.txt"), "bar bar");
}

TEST_F(CRunTest, SkippedFileEndsWithOneSummaryWarning) {
    const std::string locked = m_folder + "/sub/b.txt";
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    RunToEnd();
    EXPECT_EQ(ReadFileBytes(locked), "foo 2");
    EXPECT_EQ(ReadFileBytes(m_folder + "/a.txt"), "bar 1");
    ASSERT_EQ(m_host.boxes.size(), 2u);
    const std::string& summary = m_host.boxes[1];
    EXPECT_TRUE(summary.starts_with("warning: 执行完成，但有文件或文件夹未能处理：\n")) << summary;
    EXPECT_NE(summary.find("已选文件 3 个，已改写 2 个"), std::string::npos) << summary;
    EXPECT_NE(summary.find("已跳过：" + locked), std::string::npos) << summary;
    EXPECT_EQ(Status(), "执行完成！") << "the dialog is Idle before the box comes up";
}

TEST_F(CRunTest, ThreadThatCannotStartReturnsToIdle) {
    QStringList shown;
    m_pDlg->m_startThread = [](CReplaceThread&) { return false; };
    m_pDlg->m_frameworkMessage = [&](const QString& text) { shown << text; };
    Click(IDC_STARTSTOP);
    EXPECT_EQ(shown, QStringList({"Cannot Start New Thread"}));
    EXPECT_FALSE(m_pDlg->IsRunning());
    EXPECT_EQ(Caption(), "执行");
    m_pDlg->m_startThread = nullptr;  // the next start works normally
    RunToEnd();
    EXPECT_EQ(ReadFileBytes(m_folder + "/a.txt"), "bar 1");
}
