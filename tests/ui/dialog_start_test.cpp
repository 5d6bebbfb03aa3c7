// Start-up, settings and shutdown of the real dialog, and its input checks.
#include <QSettings>

#include "dialog_fixture.h"
#include "engine/job_tables.h"
#include "service/core.h"

TEST_F(CDialogTest, FirstStartCreatesRulesFilesAndSecondStartRestoresWhatWasTyped) {
    CReplaceDlg& dlg = Open();
    EXPECT_TRUE(g_pCore->isFileExist(ReplaceRulesPath()));
    EXPECT_TRUE(g_pCore->isFileExist(RenameRulesPath()));
    EXPECT_EQ(Edit(IDC_PATH)->text(), "");
    EXPECT_FALSE(Check(IDC_SUB)->isChecked());
    EXPECT_EQ(Status(), "就绪");
    EXPECT_EQ(Caption(), "开始");
    EXPECT_EQ(dlg.focusWidget(), Button(IDC_STARTSTOP));
    EXPECT_EQ(g_jobTables.replaceRulesPath, ReplaceRulesPath());

    // The user edits the rules and types inputs that are never run.
    WriteFileBytes(ReplaceRulesPath(), "colour`color\n");
    const std::string folder = m_dir / "不存在的目录";
    SetInputs(folder, "*.txt;*.htm", true, true);
    Close();
    EXPECT_FALSE(g_jobTables.IsAllocated());
    QSettings ini(QString::fromStdString(SettingsPath()), QSettings::IniFormat);
    EXPECT_EQ(ini.value("pathuser").toString().toStdString(), folder);
    EXPECT_EQ(ini.value("fileext").toString(), "*.txt;*.htm");
    EXPECT_EQ(ini.value("sub").toInt(), 1);
    EXPECT_EQ(ini.value("renamedir").toInt(), 1);

    Open();
    EXPECT_EQ(ReadFileBytes(ReplaceRulesPath()), "colour`color\n");
    EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), folder);
    EXPECT_EQ(Edit(IDC_SUFFIX)->text(), "*.txt;*.htm");
    EXPECT_TRUE(Check(IDC_SUB)->isChecked());
    EXPECT_TRUE(Check(IDC_RENAMEDIR)->isChecked());
    SetInputs("", "", false, false);  // unchecking is saved too
    Close();
    Open();
    EXPECT_FALSE(Check(IDC_SUB)->isChecked());
    EXPECT_FALSE(Check(IDC_RENAMEDIR)->isChecked());
    EXPECT_TRUE(m_host.boxes.empty());
}

TEST_F(CDialogTest, TabOrderFollowsTheTemplateAndNoButtonIsDefault) {
    CReplaceDlg& dlg = Open();
    QWidget* w = Button(IDC_STARTSTOP);
    for (int id : {1003, 1000, 1001, 1004, 1002, 1010, 1011, 1013, 1012, 1005}) {
        ASSERT_EQ(w->objectName(), QStringLiteral("ctl%1").arg(id));
        w = w->nextInFocusChain();
    }
    EXPECT_FALSE(dlg.findChild<QPushButton*>()->isDefault());
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "fixed-size frame";
}

// Each refusal is one warning, with the focus already on the control to fix,
// and nothing is asked or started. The checks run in their order.
TEST_F(CDialogTest, InputChecksRefuseInOrderWithFocusOnTheControl) {
    const std::string folder = m_dir / "work";
    MakeTree(folder, {{"a.txt", "x"}});
    const std::tuple<std::string, std::string, std::string, ControlId> cases[] = {
        {"", "*.txt", "路径无效！", IDC_PATH},
        {m_dir / "missing", "txt;htm", "路径无效！", IDC_PATH},  // folder before suffix
        {folder + "/a.txt", "*.txt", "路径无效！", IDC_PATH},    // a file is no folder
        {folder, "txt;htm", "文件后缀指定无效！", IDC_SUFFIX},
        {folder, "", "文件后缀指定无效！", IDC_SUFFIX},
        // Past the dialog's own checks: the table loading has its say.
        {folder, ";*.txt", "请指定文件扩展名。所有文件用 *.* 表示。", IDC_STARTSTOP},
        {folder, "*.txt", "文本内容替换有效规则不能为空。", IDC_STARTSTOP},
    };
    Open();
    for (const auto& [path, suffix, warning, focus] : cases) {
        SCOPED_TRACE(path + " | " + suffix);
        m_host.boxes.clear();
        Button(IDC_STARTSTOP)->setFocus();
        SetInputs(path, suffix, false, false);
        Click(IDC_STARTSTOP);
        ASSERT_EQ(m_host.boxes.size(), 1u);
        EXPECT_EQ(m_host.boxes[0].kind, "warning");
        EXPECT_EQ(m_host.boxes[0].text, warning);
        EXPECT_EQ(m_host.boxes[0].focus, Ctl(focus));
        EXPECT_FALSE(m_pDlg->IsRunning());
        EXPECT_EQ(Status(), "就绪");
        EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), path) << "the edit keeps the text";
    }
}
