// The rules editor through the real dialog: opened by the rules buttons,
// rows added and edited in place, 保存 offered only for valid changes, the
// tester, and the rules' warnings in the question before a run.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "support/temp_dir.h"
#include "ui/dialog_fixture.h"
#include "ui/rules_table.h"
#include "ui/rules_window.h"

namespace {

class CRulesWindowTest : public CDialogTest {
  protected:
    QWidget* RulesWindow() const { return m_pDlg->findChild<QWidget*>("rulesWindow"); }
    template <class T>
    T* InRules(const char* name, int tab = 0) const {
        auto* window = static_cast<CRulesWindow*>(RulesWindow());
        return window->Table(tab ? RulesFile::Rename : RulesFile::Replace)
            .template findChild<T*>(name);
    }
    QPushButton* SaveButton() const { return RulesWindow()->findChild<QPushButton*>("saveRules"); }
};

TEST_F(CRulesWindowTest, ARuleAddedAndEditedInPlaceIsSavedAfterTheFilesLines) {
    Open();
    WriteFileBytes(ReplaceRulesPath(), "a`b\n# note\n");
    Click(IDC_REPLACE_RULES);
    ASSERT_NE(RulesWindow(), nullptr);
    EXPECT_EQ(RulesWindow()->windowTitle(), "规则 - Korvane");
    auto* table = InRules<QTableWidget>("rulesTable");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text(), "删除 # note");
    EXPECT_FALSE(SaveButton()->isEnabled());

    QTest::mouseClick(InRules<QPushButton>("addRow"), Qt::LeftButton);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_FALSE(SaveButton()->isEnabled()) << "an empty find text";
    EXPECT_EQ(table->item(2, 0)->toolTip(), "第 3 行：查找内容不能为空。");
    EXPECT_TRUE(InRules<QLabel>("problems")->text().contains("第 3 行：查找内容不能为空。"));

    // The editor opened by 添加 types a line break with Shift+Enter.
    auto* editor = table->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "col");
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor, "our");
    QTest::keyClick(editor, Qt::Key_Return);  // commits from the event loop
    ASSERT_TRUE(WaitFor([&] { return !table->item(2, 0)->text().isEmpty(); })) << editor->text();
    EXPECT_EQ(table->item(2, 0)->text(), "col⏎our");
    table->item(2, 1)->setText("color");
    EXPECT_TRUE(SaveButton()->isEnabled());

    InRules<QPlainTextEdit>("sample")->setPlainText("a col\nour");
    EXPECT_EQ(InRules<QPlainTextEdit>("result")->toPlainText(), "b color");

    QTest::mouseClick(SaveButton(), Qt::LeftButton);
    EXPECT_EQ(ReadFileBytes(ReplaceRulesPath()), "a`b\n# note\ncol^our`color\n");
    EXPECT_FALSE(SaveButton()->isEnabled());
    EXPECT_TRUE(m_host.boxes.empty());

    // The rename tab; its file opens in the desktop's editor from here.
    Click(IDC_RENAME_RULES);
    QTest::mouseClick(RulesWindow()->findChild<QPushButton*>("openInEditor"), Qt::LeftButton);
    EXPECT_EQ(m_host.opened, std::vector<std::string>{RenameRulesPath()});
}

TEST_F(CRulesWindowTest, TheRulesWarningsStandAboveTheQuestionBeforeARun) {
    Open();
    WriteFileBytes(ReplaceRulesPath(), "colour`col`our\nTODO\n");
    MakeTree(m_dir / "tree", {{"t.txt", "colour"}});
    SetInputs(m_dir / "tree", "*.txt", false, false);
    m_host.answer = CDialogHost::kNo;
    Click(IDC_STARTSTOP);
    EXPECT_EQ(m_host.boxes,
              std::vector<std::string>{
                  "confirm: 第 1 行有不止一个反引号：第二个反引号及其后的文字被忽略\n"
                  "第 2 行没有反引号：整行作为查找文本，替换为空（删除）\n\n"
                  "本次执行会记录撤销日志，完成后可在“结果”中撤销。确定要继续执行吗？"});
    EXPECT_EQ(ReadFileBytes(m_dir / "tree/t.txt"), "colour");
}

}  // namespace
