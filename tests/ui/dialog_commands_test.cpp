// The dialog's commands: folder picker, help and the Qt message boxes.
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>

#include "dialog_fixture.h"
#include "ui/help_window.h"
#include "ui/qt_dialog_host.h"

// The picker opens on the typed folder when it is one, and its answer
// replaces the text without trailing slashes; cancelling keeps the text.
TEST_F(CDialogTest, FolderPickerStartsOnTypedFolderAndCancelKeepsTheText) {
    const std::string folder = m_dir / "数据";
    MakeTree(folder, {{"x.txt", ""}});
    // typed, the picker's answer ("" = cancelled), its initial folder, the text afterwards
    const std::tuple<std::string, QString, std::string, std::string> cases[] = {
        {folder + "/", "/srv//", folder + "/", "/srv"},
        {folder + "/x.txt", "", "", folder + "/x.txt"},
        {"", "/", "", "/"},
    };
    CReplaceDlg& dlg = Open();
    for (const auto& [typed, answer, initial, afterwards] : cases) {
        QStringList starts;
        dlg.m_pickFolder = [&](QWidget*, const QString&, const QString& start) {
            starts << start;
            return answer;
        };
        Edit(IDC_PATH)->setText(QString::fromStdString(typed));
        Click(IDC_BROWSE);
        EXPECT_EQ(starts, QStringList{QString::fromStdString(initial)}) << typed;
        EXPECT_EQ(Edit(IDC_PATH)->text().toStdString(), afterwards);
    }
}

// F1, from any control, opens one help window naming the rules file and the
// journals' folder; the Qt boxes speak Chinese and belong to the dialog. (The
// desktop keys check covers Enter, Escape, Alt+F4 and Space with real keys.)
TEST_F(CDialogTest, HelpAndBoxesBelongToTheDialog) {
    CReplaceDlg& dlg = Open();
    QTest::keyClick(Edit(IDC_PATH), Qt::Key_F1);
    QTest::keyClick(&dlg, Qt::Key_F1);  // a second F1 raises the same window
    const QList<CHelpWindow*> help = dlg.findChildren<CHelpWindow*>();
    ASSERT_EQ(help.size(), 1);
    const QString helpText = help[0]->findChild<QTextBrowser*>()->toPlainText();
    EXPECT_TRUE(helpText.contains(QString::fromStdString(ReplaceRulesPath())));
    EXPECT_TRUE(helpText.contains(QString::fromStdString(m_dir / "data/Vexa/journal/")))
        << "the journals' folder as XDG_DATA_HOME puts it";
    EXPECT_LE(help[0]->frameGeometry().height(), dlg.screen()->availableGeometry().height());
    // Every control says what it does; those without a text of their own say what they are.
    for (QWidget* w : dlg.findChildren<QWidget*>(QRegularExpression("^ctl")))
        EXPECT_FALSE(w->toolTip().isEmpty() ||
                     (qobject_cast<QLineEdit*>(w) && w->accessibleName().isEmpty()))
            << w->objectName();

    CQtDialogHost host;
    host.SetOwner(&dlg);
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->parentWidget(), &dlg);
        seen << box->windowTitle() << box->text() << box->button(QMessageBox::Yes)->text()
             << box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(host.Confirm(dlg.Owner(), "确定？"), CDialogHost::kNo);
    EXPECT_EQ(seen, QStringList({"Korvane", "确定？", "是(&Y)", "否(&N)"}));
}
