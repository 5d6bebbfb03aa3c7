// The dialog's commands: folder picker, open buttons, keys, help, About and
// the Qt message boxes.
#include <QApplication>
#include <QMessageBox>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include "dialog_fixture.h"
#include "service/soft_record.h"
#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/qt_dialog_host.h"

// The picker opens on the typed folder when it is one, and its answer
// replaces the text without trailing slashes; cancelling keeps the text.
TEST_F(CDialogTest, FolderPickerStartsOnTypedFolderAndCancelKeepsTheText) {
    const std::string folder = m_dir / "数据";
    MakeTree(folder, {{"x.txt", ""}});
    const std::tuple<std::string, QString, std::string, std::string> cases[] = {
        // typed, the picker's answer ("" = cancelled), its initial folder, the text afterwards
        {folder + "/", "/srv//", folder + "/", "/srv"},
        {folder + "/x.txt", "", "", folder + "/x.txt"},
        {"", "/", "", "/"},
    };
    CReplaceDlg& dlg = Open();
    for (const auto& [typed, answer, initial, afterwards] : cases) {
        SCOPED_TRACE(typed);
        QStringList starts;
        dlg.m_pickFolder = [&](QWidget* owner, const QString& title, const QString& start) {
            EXPECT_EQ(owner, &dlg);
            EXPECT_EQ(title, "请指定目录：");
            starts << start;
            return answer;
        };
        Edit(IDC_PATH)->setText(QString::fromStdString(typed));
        Click(IDC_BROWSE);
        EXPECT_EQ(starts, QStringList{QString::fromStdString(initial)});
        EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), afterwards);
    }
}

TEST_F(CDialogTest, OpenButtonsHandPathsOnUnchanged) {
    Open();
    Click(IDC_OPENPATH);  // empty field: handed on as it is
    const std::string typed = m_dir / "不存在";
    Edit(IDC_PATH)->setText(QString::fromStdString(typed));
    Click(IDC_OPENPATH);
    Click(IDC_REPLACE_RULES);
    Click(IDC_RENAME_RULES);
    EXPECT_EQ(m_host.opened,
              (std::vector<std::string>{"", typed, ReplaceRulesPath(), RenameRulesPath()}));
    CQtDialogHost().OpenUrl("");  // the desktop back end takes an empty path quietly
}

// Focus starts on 开始 and moves in the template's order. On every control
// Enter, Escape and Alt combinations reach nothing and never close the
// dialog; Space still presses, and the close box closes.
TEST_F(CDialogTest, TabOrderAndKeysThatWouldCloseOrPressDoNothing) {
    CReplaceDlg& dlg = Open();
    const std::string folder = m_dir / "work";
    MakeTree(folder, {{"a.txt", "foo"}});
    WriteFileBytes(ReplaceRulesPath(), "foo`bar\n");
    SetInputs(folder, "*.txt", false, false);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_F4, Qt::AltModifier},
        {Qt::Key_S, Qt::AltModifier},     {Qt::Key_Space, Qt::AltModifier},
        {Qt::Key_Alt, Qt::AltModifier}};
    QWidget* w = dlg.focusWidget();
    for (int id : {1003, 1000, 1001, 1004, 1002, 1010, 1011, 1013, 1012, 1005}) {
        ASSERT_EQ(w->objectName(), QStringLiteral("ctl%1").arg(id));
        for (const auto& [key, modifiers] : keys) {
            w->setFocus();
            QTest::keyClick(w, key, modifiers);
            ASSERT_TRUE(dlg.isVisible()) << id << " key " << key;
        }
        w = w->nextInFocusChain();
    }
    EXPECT_TRUE(m_host.boxes.empty());
    EXPECT_TRUE(m_host.opened.empty());
    EXPECT_EQ(m_host.aboutSoft, nullptr);
    EXPECT_FALSE(Check(IDC_SUB)->isChecked());
    EXPECT_EQ(ReadFileBytes(folder + "/a.txt"), "foo");
    EXPECT_TRUE(dlg.findChildren<CHelpWindow*>().isEmpty()) << "no help by Enter/Escape";

    QTest::keyClick(Button(IDC_ABOUT), Qt::Key_Space);
    EXPECT_EQ(m_host.aboutSoft, g_pSoft) << "Space still presses the focused button";
    dlg.windowHandle()->close();  // the close box
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(g_pCore, nullptr) << "closing ran the destruction handling";
    m_pDlg.reset();
}

TEST_F(CDialogTest, F1OpensOneHelpWindowNamingTheRulesFile) {
    CReplaceDlg& dlg = Open();
    QTest::keyClick(Edit(IDC_PATH), Qt::Key_F1);
    QTest::keyClick(&dlg, Qt::Key_F1);  // a second F1 raises the same window
    ASSERT_EQ(dlg.findChildren<CHelpWindow*>().size(), 1);
    CHelpWindow* help = dlg.findChild<CHelpWindow*>();
    EXPECT_TRUE(help->isVisible());
    const QString text = help->findChild<QTextBrowser*>()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromStdString(ReplaceRulesPath())));
}

// The About box shows what the record spells, not the program's constants.
TEST(AboutBox, ShowsTheIdentityDecodedFromTheRecord) {
    tagSoft soft{};
    FillSoftRecord(soft);
    for (const char* part : {"Korvane", "Vexa", "1.0.4.27", "1.0427", "software"})
        EXPECT_TRUE(AboutText(soft).contains(QString::fromUtf8(part))) << part;
    ASSERT_TRUE(EncodeSoftField("Other", soft.title, sizeof soft.title));
    EXPECT_EQ(AboutCaption(soft), "关于 Other");
    EXPECT_TRUE(AboutText(soft).contains("Other"));
    EXPECT_FALSE(AboutText(soft).contains("Korvane"));
}

// The Qt boxes speak Chinese and belong to the dialog.
TEST_F(CDialogTest, QtBoxesSpeakChinese) {
    CReplaceDlg& dlg = Open();
    CQtDialogHost host;
    host.SetOwner(&dlg);
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->parentWidget(), &dlg);
        seen << box->windowTitle() << box->text();
        for (QAbstractButton* b : box->buttons())
            seen << b->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(host.Confirm(dlg.Owner(), "确定？"), CDialogHost::kNo);
    EXPECT_EQ(seen, QStringList({"Korvane", "确定？", "是(&Y)", "否(&N)"}));
}
