// Start-up, settings and shutdown of the real dialog, and its input checks.
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>

#include "dialog_fixture.h"

// The first start creates both rules files; what was typed and checked, and
// later cleared, is saved at close and shown again at the next start; the
// user's rules survive.
TEST_F(CDialogTest, SettingsAreSavedAtCloseAndRestoredAtTheNextStart) {
    Open();
    EXPECT_TRUE(g_pCore->isFileExist(ReplaceRulesPath()));
    EXPECT_TRUE(g_pCore->isFileExist(RenameRulesPath()));
    EXPECT_EQ(Status(), "就绪");
    // Without its keys (a settings file of an older version) the match stays literal.
    EXPECT_TRUE(Check(IDC_MATCHCASE)->isChecked());
    EXPECT_FALSE(Check(IDC_WHOLEWORD)->isChecked() || Check(IDC_REGEX)->isChecked());
    Check(IDC_MATCHCASE)->setChecked(false);
    Check(IDC_WHOLEWORD)->setChecked(true);
    Check(IDC_REGEX)->setChecked(true);
    WriteFileBytes(ReplaceRulesPath(), "colour`color\n");
    const std::string folder = m_dir / "不存在的目录";
    SetInputs(folder, "*.txt;*.htm", true, true);
    Close();
    for (const bool restored : {true, false}) {
        Open();
        EXPECT_EQ(ReadFileBytes(ReplaceRulesPath()), "colour`color\n");
        EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), restored ? folder : "");
        EXPECT_EQ(Edit(IDC_SUFFIX)->text(), restored ? "*.txt;*.htm" : "");
        EXPECT_EQ(Check(IDC_SUB)->isChecked(), restored);
        EXPECT_EQ(Check(IDC_RENAMEDIR)->isChecked(), restored);
        EXPECT_EQ(Check(IDC_MATCHCASE)->isChecked(), !restored);
        EXPECT_EQ(Check(IDC_WHOLEWORD)->isChecked(), restored);
        EXPECT_EQ(Check(IDC_REGEX)->isChecked(), restored);
        SetInputs("", "", false, false);
        Check(IDC_MATCHCASE)->setChecked(true);
        Check(IDC_WHOLEWORD)->setChecked(false);
        Check(IDC_REGEX)->setChecked(false);
        Close();
    }
    EXPECT_TRUE(m_host.boxes.empty());
}

// Each refusal is one warning, with the focus already on the control to fix,
// and nothing is asked or started. (Their messages and order are the
// command-line tests'.)
TEST_F(CDialogTest, InputRefusalsPutTheFocusOnTheControlToFix) {
    const std::string folder = m_dir / "work";
    MakeTree(folder, {{"a.txt", "x"}});
    const std::tuple<std::string, std::string, std::string, ControlId> cases[] = {
        {folder + "/a.txt", "*.txt", "路径无效！", IDC_PATH},  // a file is no folder
        {folder, "txt;htm", "文件后缀指定无效！", IDC_SUFFIX},
        // Past the dialog's own checks the table loading has its say.
        {folder, "*.txt", "文本内容替换有效规则不能为空。", IDC_STARTSTOP},
    };
    Open();
    for (const auto& [path, suffix, warning, focus] : cases) {
        SCOPED_TRACE(path + " | " + suffix);
        m_host.boxes.clear();
        m_host.focus.clear();
        Button(IDC_STARTSTOP)->setFocus();
        SetInputs(path, suffix, false, false);
        Click(IDC_STARTSTOP);
        EXPECT_EQ(m_host.boxes, std::vector<std::string>{"warning: " + warning});
        EXPECT_EQ(m_host.focus, std::vector<QWidget*>{Ctl(focus)});
        EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), path) << "the edit keeps the text";
    }
}

// A folder dropped on the window fills the folder edit (a file does not);
// the folders previewed are offered again after a restart, newest first.
TEST_F(CDialogTest, DroppedAndRecentFoldersFillTheFolderEdit) {
    const std::string a = m_dir / "甲", b = m_dir / "乙";
    MakeTree(a, {{"x.txt", ""}});
    MakeTree(b, {{"y.txt", ""}});
    Open();
    WriteFileBytes(ReplaceRulesPath(), "x`y\n");
    const auto drop = [this](const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        // A drop goes where the drag was accepted when it entered.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(Edit(IDC_SUFFIX), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(Edit(IDC_SUFFIX), &drop);
    };
    drop(a + "/x.txt");
    EXPECT_EQ(Edit(IDC_PATH)->text(), "");
    // dropped, then shown without its trailing slash
    for (const auto& [folder, shown] : {std::pair{a + "/", a}, {b, b}, {a, a}}) {
        drop(folder);
        EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), shown);
        Edit(IDC_SUFFIX)->setText("*.txt");
        Click(IDC_PREVIEW);
        ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    }
    Close();
    Open();
    const QList<QAction*> recent = Ctl<QToolButton>(IDC_RECENT)->menu()->actions();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_EQ(recent[1]->text().toStdString(), b);
    recent[0]->trigger();
    EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), a);
}
