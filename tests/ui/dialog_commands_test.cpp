// The dialog's commands: folder picker, open buttons, About, help and keys.
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include "dialog_fixture.h"
#include "service/core.h"
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
        {m_dir / "missing", "/srv", "", "/srv"},
        {folder + "/x.txt", "", "", folder + "/x.txt"},
        {"", "/", "", "/"},
    };
    CReplaceDlg& dlg = Open();
    for (const auto& [typed, answer, initial, afterwards] : cases) {
        SCOPED_TRACE(typed);
        std::vector<QString> calls;
        dlg.m_pickFolder = [&](QWidget* owner, const QString& title, const QString& start) {
            EXPECT_EQ(owner, &dlg);
            EXPECT_EQ(title, "请指定目录：");
            calls.push_back(start);
            return answer;
        };
        Edit(IDC_PATH)->setText(QString::fromStdString(typed));
        Click(IDC_BROWSE);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].toStdString(), initial);
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

// Enter, Escape and Alt combinations reach no control and never close the
// dialog; other keys still work, and the close box closes.
TEST_F(CDialogTest, KeysThatWouldCloseOrPressDoNothingButTheCloseBoxCloses) {
    CReplaceDlg& dlg = Open();
    const std::string folder = m_dir / "work";
    MakeTree(folder, {{"a.txt", "foo"}});
    WriteFileBytes(ReplaceRulesPath(), "foo`bar\n");
    SetInputs(folder, "*.txt", false, false);
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier},
                {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_F4, Qt::AltModifier},
                {Qt::Key_S, Qt::AltModifier},     {Qt::Key_Space, Qt::AltModifier},
                {Qt::Key_Alt, Qt::AltModifier}};
    for (int id : {1003, 1000, 1001, 1004, 1002, 1010, 1011, 1013, 1012, 1005}) {
        QWidget* w = dlg.findChild<QWidget*>(QStringLiteral("ctl%1").arg(id));
        for (const Key& k : keys) {
            w->setFocus();
            QTest::keyClick(w, k.key, k.modifiers);
            ASSERT_TRUE(dlg.isVisible()) << id << " key " << k.key;
        }
    }
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(m_host.boxes.empty());
    EXPECT_TRUE(m_host.opened.empty());
    EXPECT_EQ(m_host.abouts, 0);
    EXPECT_FALSE(Check(IDC_SUB)->isChecked());
    EXPECT_EQ(ReadFileBytes(folder + "/a.txt"), "foo");
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<CHelpWindow*>(top) && top->isVisible())
            << "no help by Enter/Escape";

    Button(IDC_ABOUT)->setFocus();
    QTest::keyClick(Button(IDC_ABOUT), Qt::Key_Space);
    EXPECT_EQ(m_host.abouts, 1) << "Space still presses the focused button";
    Edit(IDC_SUFFIX)->setFocus();
    QTest::keyClicks(Edit(IDC_SUFFIX), ";x.y");
    EXPECT_EQ(Edit(IDC_SUFFIX)->text(), "*.txt;x.y");

    dlg.windowHandle()->close();  // the close box
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(g_pCore, nullptr) << "closing ran the destruction handling";
    m_pDlg.reset();
}

TEST_F(CDialogTest, F1OpensOneHelpWindow) {
    CReplaceDlg& dlg = Open();
    QTest::keyClick(Edit(IDC_PATH), Qt::Key_F1);
    QTest::keyClick(&dlg, Qt::Key_F1);  // a second F1 raises the same window
    ASSERT_EQ(dlg.findChildren<CHelpWindow*>().size(), 1);
    CHelpWindow* help = dlg.findChild<CHelpWindow*>();
    EXPECT_TRUE(help->isVisible());
    const QString text = help->findChild<QTextBrowser*>()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromStdString(ReplaceRulesPath())));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(CDialogTest, AboutShowsTheIdentityDecodedFromTheRecord) {
    Open();
    Click(IDC_ABOUT);
    ASSERT_EQ(m_host.abouts, 1);
    ASSERT_EQ(m_host.aboutSoft, g_pSoft);
    QString text = AboutText(*g_pSoft);
    for (const char* part : {"Korvane", "Vexa", "1.0.4.27", "1.0427", "software"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
    EXPECT_EQ(AboutCaption(*g_pSoft), "关于 Korvane");

    // The box reads the record, not the constants.
    tagSoft other{};
    FillSoftRecord(other);
    ASSERT_TRUE(EncodeSoftField("Other", other.title, sizeof other.title));
    EXPECT_EQ(AboutCaption(other), "关于 Other");
    EXPECT_TRUE(AboutText(other).contains("Other"));
    EXPECT_FALSE(AboutText(other).contains("Korvane"));
}

// The Qt boxes speak Chinese, belong to the dialog and keep their own keys.
TEST_F(CDialogTest, QtBoxesSpeakChineseAndKeepTheirKeys) {
    CReplaceDlg& dlg = Open();
    CQtDialogHost host;
    host.SetOwner(&dlg);
    QStringList seen;
    auto answer = [&](auto act) {
        QTimer::singleShot(0, [&seen, &dlg, act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->parentWidget(), &dlg);
            seen << box->windowTitle() << box->text();
            for (QAbstractButton* b : box->buttons())
                seen << b->text();
            act(box);
        });
    };
    answer([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    EXPECT_EQ(host.Confirm(dlg.Owner(), "确定？"), CDialogHost::kNo);
    EXPECT_EQ(seen, QStringList({"Korvane", "确定？", "是(&Y)", "否(&N)"}));
    answer([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(host.Confirm(dlg.Owner(), "确定？"), CDialogHost::kYes) << "Enter answers Yes";
}
