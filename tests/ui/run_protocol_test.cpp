// The Start/Stop command and the worker's messages, through the real dialog,
// the real button and a real worker thread.
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

#include <sys/stat.h>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/run_controller.h"
#include "dialog_fixture.h"
#include "engine/run/replace_thread.h"
#include "prep/job_tables.h"

namespace {

const std::string kConfirm =
    "confirm: 本次执行会记录撤销日志，完成后可在“结果”中撤销。确定要继续执行吗？";

class CRunTest : public CDialogTest {
  protected:
    void SetUp() override {
        m_folder = m_dir / "work";
        // Entries come in byte order: the folder "sub" is the first of all.
        MakeTree(m_folder,
                 {{"z.txt", "foo 1"}, {"sub/b.txt", "foo 2"}, {"sub/deeper/c.txt", "foo foo"}});
        Open();
        WriteFileBytes(ReplaceRulesPath(), "foo`bar\n");
        SetInputs(m_folder, "*.txt", true, false);
    }
    // Starts a run whose worker is held at its first directory entry until
    // m_bReleased or a stop request, which sets m_bStopSeen.
    void StartHeld() {
        m_pDlg->Controller()->m_prepareWorker = [this](CReplaceThread& worker) {
            worker.m_entryHook = [this](const std::string&) {
                if (m_bReached.exchange(true))
                    return;
                for (int ms = 0; ms < 20000 && !m_bReleased; ++ms) {
                    if ((m_bStopSeen = m_pDlg->Controller()->StopWord().load()))
                        break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            };
        };
        Click(IDC_STARTSTOP);
        ASSERT_TRUE(WaitFor([this] { return m_bReached.load(); }));
    }
    // Presses Start (answered by the host) and waits for the run to end.
    void RunToEnd() {
        Click(IDC_STARTSTOP);
        ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    }
    std::string m_folder;
    std::atomic<bool> m_bReached{false}, m_bReleased{false}, m_bStopSeen{false};
};

}  // namespace

// Only Yes starts; a clean run shows its counts and opens nothing, a run
// with a skipped file opens the results window listing it with its reason.
TEST_F(CRunTest, OnlyYesStartsAndARunReportsEachStepAndItsSkips) {
    m_host.answer = CDialogHost::kNo;
    Click(IDC_STARTSTOP);
    EXPECT_FALSE(m_pDlg->IsRunning());
    EXPECT_TRUE(m_statuses.isEmpty());

    m_host.answer = CDialogHost::kYes;
    RunToEnd();
    EXPECT_EQ(m_host.boxes, std::vector<std::string>(2, kConfirm));
    // Coalescing may drop earlier counts, but the last one is always shown.
    ASSERT_GE(m_statuses.size(), 3);
    EXPECT_EQ(m_statuses.front(), "执行中");
    EXPECT_TRUE(m_statuses[m_statuses.size() - 2].contains(
        QRegularExpression("^执行中...第3个文件( / 共3个)?$")));
    EXPECT_EQ(m_statuses.back(), "执行完成！");
    EXPECT_EQ(Caption(), "执行");
    EXPECT_TRUE(Counts().startsWith("已改写 3 个文件，跳过 0 个；用时 ")) << Counts();
    EXPECT_FALSE(m_pDlg->ResultsWindow()->isVisible());

    const std::string locked = m_folder + "/sub/b.txt";
    WriteFileBytes(locked, "foo 2");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    RunToEnd();
    EXPECT_EQ(m_host.boxes.size(), 3u) << "no warning box";
    EXPECT_TRUE(Counts().startsWith("已改写 0 个文件，未改动 2 个，跳过 1 个；")) << Counts();
    CResultsWindow* results = m_pDlg->ResultsWindow();
    ASSERT_TRUE(WaitFor([&] { return results->isVisible() && results->Pending() == 0; }));
    EXPECT_EQ(results->windowTitle(), "结果 - Korvane");
    EXPECT_TRUE(results->ListText().startsWith(Counts() + "\n已跳过：" +
                                               QString::fromStdString(locked) + "（"))
        << results->ListText().toStdString();
}

TEST_F(CRunTest, StopDuringRunDisablesTheButtonUntilTheWorkerEnds) {
    const QSize size = m_pDlg->size();
    StartHeld();
    EXPECT_EQ(Caption(), "停止");

    // The open buttons and the rules editor work during the run and leave
    // the run's tables alone.
    const std::string elsewhere = m_dir / "elsewhere";
    MakeTree(elsewhere, {{"x", ""}});
    Edit(IDC_PATH)->setText(QString::fromStdString(elsewhere));
    for (ControlId id : {IDC_OPENPATH, IDC_REPLACE_RULES, IDC_RENAME_RULES})
        Click(id);
    EXPECT_EQ(m_host.opened, (std::vector<std::string>{elsewhere}));
    EXPECT_TRUE(m_pDlg->findChild<QWidget*>("rulesWindow")->isVisible());
    EXPECT_EQ(g_jobTables.folderPath, m_folder + "/");

    const QString status = Status();
    Button(IDC_STARTSTOP)->setFocus();
    Click(IDC_STARTSTOP);
    EXPECT_EQ(Caption(), "正在停止");
    EXPECT_FALSE(Button(IDC_STARTSTOP)->isEnabled());
    EXPECT_EQ(Status(), status) << "a stop request leaves the status line";
    EXPECT_EQ(m_host.boxes, std::vector<std::string>{kConfirm}) << "no second confirmation";

    ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    EXPECT_TRUE(m_bStopSeen);
    EXPECT_EQ(Caption(), "执行");
    EXPECT_TRUE(Button(IDC_STARTSTOP)->isEnabled());
    // The button had the focus and has it again; the folder edit never took it.
    EXPECT_EQ(m_pDlg->focusWidget(), Button(IDC_STARTSTOP));
    EXPECT_FALSE(Edit(IDC_PATH)->hasSelectedText());
    EXPECT_EQ(Status(), "执行完成！");
    // Stopped before the first of three files: nothing opens by itself.
    EXPECT_TRUE(Counts().startsWith("已停止，已处理 0 个文件，已改写 0 个文件，跳过 0 个；用时 "))
        << Counts();
    EXPECT_FALSE(m_pDlg->ResultsWindow()->isVisible());
    // The longer line fits the window as it is, broken only after a phrase.
    EXPECT_EQ(m_pDlg->size(), size);
    const QStringList lines = Ctl<QLabel>(IDC_COUNTS)->text().split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith("；") || lines[i].endsWith("，")) << lines[i];
}

// A close request during a run asks; No keeps the window and the run, Yes
// stops the run and closes once the worker has ended, before saving.
TEST_F(CRunTest, ClosingDuringRunAsksThenStopsAndClosesAfterTheWorker) {
    StartHeld();
    Edit(IDC_SUFFIX)->setText("*.htm");  // typed during the run, saved at close
    m_host.answer = CDialogHost::kNo;
    m_pDlg->close();
    EXPECT_EQ(m_host.boxes.back(), "confirm: 正在执行，关闭窗口将停止执行。确定要关闭吗？");
    EXPECT_TRUE(m_pDlg->isVisible());
    EXPECT_TRUE(m_pDlg->IsRunning());
    EXPECT_FALSE(m_bStopSeen);

    m_host.answer = CDialogHost::kYes;
    m_pDlg->close();
    EXPECT_EQ(m_host.boxes.size(), 3u);
    EXPECT_EQ(Caption(), "正在停止");
    ASSERT_TRUE(WaitFor([this] { return !m_pDlg->isVisible(); }));
    EXPECT_TRUE(m_bStopSeen);
    EXPECT_FALSE(m_bReleased);
    EXPECT_EQ(g_pCore, nullptr);
    QSettings ini(QString::fromStdString(m_dir / "config/Vexa/vexa.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("fileext").toString(), "*.htm");
    QTest::qWait(20);  // a late message, if any, must reach nothing
    m_pDlg.reset();
}

// A message box runs its own event loop; the run's end must still be handled
// there, not after the box closes.
TEST_F(CRunTest, RunEndsWhileAMessageBoxIsOpen) {
    StartHeld();
    bool idleInsideBox = false;
    QMessageBox box(QMessageBox::Information, "Korvane", "…", QMessageBox::Ok, m_pDlg.get());
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        m_bReleased = true;
        if (!m_pDlg->IsRunning()) {
            idleInsideBox = Caption() == "执行" && Status() == "执行完成！";
            box.accept();
        }
    });
    poll.start(5);
    QTimer::singleShot(15000, &box, &QMessageBox::reject);
    box.exec();
    EXPECT_TRUE(idleInsideBox);
}
