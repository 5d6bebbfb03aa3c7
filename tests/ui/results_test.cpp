// What the dialog shows of a run: the results window, the preview with its
// differences, and the warning of a failing open command; through the real
// dialog and a real worker thread.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/app_texts.h"
#include "dialog_fixture.h"
#include "engine/journal/journal_store.h"
#include "platform/code_page.h"
#include "service/user_folders.h"
#include "ui/results_model.h"

namespace {

class CResultsTest : public CDialogTest {
  protected:
    void SetUp() override {
        m_folder = m_dir / "work";
        Open();
        WriteFileBytes(ReplaceRulesPath(), "foo`bar\n");
        WriteFileBytes(RenameRulesPath(), "old`new\n");
        m_host.answer = CDialogHost::kYes;
    }
    // Runs (or previews) the job to its end; the results list, kind -> paths.
    std::map<QString, QStringList> RunToEnd(ControlId button) {
        Click(button);
        EXPECT_TRUE(WaitFor([this] {
            CResultsWindow* w = m_pDlg->ResultsWindow();
            return !m_pDlg->IsRunning() && w && w->Pending() == 0;
        }));
        std::map<QString, QStringList> list;
        CResultsModel& model = m_pDlg->ResultsWindow()->Model();
        for (int row = 0; row < model.rowCount(); ++row)
            list[model.index(row, 0).data().toString()] << model.index(row, 1).data().toString();
        for (auto& [kind, paths] : list)
            paths.sort();
        return list;
    }
    // Every file below root with its bytes.
    std::map<std::string, std::string> Snapshot(const std::string& root) {
        std::map<std::string, std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(root))
            files[e.path()] = e.is_regular_file() ? ReadFileBytes(e.path()) : "/";
        return files;
    }
    // Answers the next message box (a three-way question) with button.
    void AnswerNextBox(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            m_asked << box->text();
            // Alt+Y and Alt+N answer it, as they answer every yes/no box.
            EXPECT_TRUE(box->button(QMessageBox::Yes)->text().endsWith("(&Y)"));
            EXPECT_TRUE(box->button(QMessageBox::No)->text().endsWith("(&N)"));
            box->button(button)->click();
        });
    }
    // A run on a tree with files to rewrite and a folder to rename; the tree before it.
    std::map<std::string, std::string> RunOnTree() {
        MakeTree(m_folder, {{"a.txt", "foo"}, {"keep.txt", "none"}, {"old/c.txt", "x foo"}});
        SetInputs(m_folder, "*.txt", true, true);
        auto before = Snapshot(m_folder);
        RunToEnd(IDC_STARTSTOP);
        EXPECT_EQ(ReadFileBytes(m_folder + "/new/c.txt"), "x bar");
        return before;
    }
    QPushButton* UndoButton() const {
        return m_pDlg->ResultsWindow()->findChild<QPushButton*>("undo");
    }
    std::string m_folder;
    QStringList m_asked;
};

// Longest gap between the ticks of a 50 ms timer while until() is false.
qint64 LongestGap(const std::function<bool()>& until) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(50);
    EXPECT_TRUE(QTest::qWaitFor(until, 60000));
    return std::max(longest, clock.elapsed() - last);
}

}  // namespace

// The list fills from a run of thousands of files, and from a hundred
// thousand entries, without holding up the event loop; the filter and the
// copied text follow it.
TEST_F(CResultsTest, ResultsFillWithoutBlockingTheEventLoop) {
    std::vector<std::pair<std::string, std::string>> tree;
    for (int i = 0; i < 3000; ++i)
        tree.emplace_back("d" + std::to_string(i % 30) + "/f" + std::to_string(i) + ".txt",
                          i % 3 ? "foo" : "nothing");
    MakeTree(m_folder, tree);
    // Read-only files are skipped with their reason: entries without a write each.
    for (const auto& [name, content] : tree)
        if (content == "foo")
            std::filesystem::permissions(m_folder + "/" + name, std::filesystem::perms::owner_read);
    SetInputs(m_folder, "*.txt", true, false);
    Click(IDC_STARTSTOP);
    EXPECT_LT(LongestGap([this] { return !m_pDlg->IsRunning(); }), 200);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    ASSERT_TRUE(WaitFor([&] { return results->Pending() == 0; }));
    EXPECT_EQ(results->Model().rowCount(), 2000);
    EXPECT_TRUE(Counts().startsWith("已改写 0 个文件，未改动 1,000 个，跳过 2,000 个；用时 "))
        << Counts();

    std::vector<CRunEvent> many;
    for (int i = 0; i < 100000; ++i)
        many.push_back({i % 10 ? RunEventKind::Rewritten : RunEventKind::Skipped,
                        m_folder + "/x" + std::to_string(i), "", i % 10 ? "" : "原因"});
    results->Begin(RunKind::Run, CJob{});
    results->Feed(std::move(many));
    EXPECT_LT(LongestGap([&] { return results->Pending() == 0; }), 200);
    EXPECT_EQ(results->Model().rowCount(), 100000);
    auto* filter = results->findChild<QComboBox*>("filter");
    filter->setCurrentText("已跳过（10000）");  // each entry counts its rows
    EXPECT_EQ(filter->itemText(0), "全部（100000）");
    EXPECT_EQ(results->findChild<QTreeView*>("list")->model()->rowCount(), 10000);
    QTest::mouseClick(results->findChild<QPushButton*>("copy"), Qt::LeftButton);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 10000);
    EXPECT_EQ(copied[0], QString::fromStdString("已跳过：" + m_folder + "/x0（原因）"));
}

// A preview writes nothing, says so on the status line, and lists exactly
// what the run that follows rewrites and renames, and the binary files both
// pass over, as a kind of their own.
TEST_F(CResultsTest, PreviewWritesNothingAndListsWhatTheRunDoes) {
    MakeTree(m_folder, {{"a.txt", "foo"},
                        {"b.txt", "none"},
                        {"bin.txt", std::string("foo\0", 4)},
                        {"old/c.txt", "x foo"},
                        {"old/d.htm", "foo"},
                        {"e/old/", ""}});
    SetInputs(m_folder, "*.txt", true, true);
    const auto before = Snapshot(m_folder);
    const auto preview = RunToEnd(IDC_PREVIEW);
    EXPECT_EQ(Snapshot(m_folder), before);
    EXPECT_TRUE(m_host.boxes.empty()) << "a preview asks nothing";
    EXPECT_EQ(m_statuses.front(), "预览中");
    // With the total once the files are counted, which may come after the last file.
    EXPECT_GE(m_statuses.indexOf(QRegularExpression("^预览中...第4个文件( / 共4个)?$")), 0);
    EXPECT_EQ(m_statuses.back(), "预览完成");
    EXPECT_TRUE(m_pDlg->ResultsWindow()->isVisible());
    EXPECT_TRUE(Counts().startsWith(
        "将改写 2 个文件，未改动 1 个，跳过 0 个，二进制文件 1 个；将重命名 2 个文件夹"))
        << Counts();
    ASSERT_EQ(preview.size(), 3u);
    EXPECT_EQ(preview.at("二进制文件"), QStringList{"bin.txt"});

    const auto run = RunToEnd(IDC_STARTSTOP);
    EXPECT_EQ(preview.at("二进制文件"), run.at("二进制文件"));
    EXPECT_EQ(preview.at("将改写"), run.at("已改写"));
    EXPECT_EQ(preview.at("将重命名"), run.at("已重命名"));
    EXPECT_EQ(ReadFileBytes(m_folder + "/new/c.txt"), "x bar");
}

// The list shows paths below the chosen folder (the full path as the
// tooltip), sorted by path, reversed by a click on 路径, and searched by path.
TEST_F(CResultsTest, TheListShowsPathsBelowTheFolderSortedAndSearched) {
    MakeTree(m_folder, {{"b/x.txt", "foo"}, {"a.txt", "foo"}, {"c/B.txt", "foo"}});
    SetInputs(m_folder, "*.txt", true, false);
    RunToEnd(IDC_PREVIEW);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    auto* list = results->findChild<QTreeView*>("list");
    const auto column = [list](int col) {
        QStringList shown;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            shown << list->model()->index(row, col).data().toString();
        return shown;
    };
    EXPECT_EQ(column(1), QStringList({"a.txt", "b/x.txt", "c/B.txt"}));
    EXPECT_EQ(list->model()->index(0, 1).data(Qt::ToolTipRole).toString(),
              QString::fromStdString(m_folder + "/a.txt"));
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(list->header()->sectionViewportPosition(1) + 5, 5));
    EXPECT_EQ(column(1), QStringList({"c/B.txt", "b/x.txt", "a.txt"}));
    QTest::keyClicks(results->findChild<QLineEdit*>("search"), "b");
    EXPECT_EQ(column(1), QStringList({"c/B.txt", "b/x.txt"})) << "any case";
    EXPECT_EQ(results->ListText().count('\n'), 3) << "the counts and the rows shown";
}

// 执行 under a preview runs it on the files left checked, with the
// preview's rules and its folder renames, and asks again when a rules file
// changed since.
TEST_F(CResultsTest, APreviewRunsOnTheFilesLeftChecked) {
    MakeTree(m_folder, {{"old/a.txt", "foo foo"}, {"old/b.txt", "foo"}, {"c.txt", "foo"}});
    SetInputs(m_folder, "*.txt", true, true);
    RunToEnd(IDC_PREVIEW);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    auto* list = results->findChild<QTreeView*>("list");
    // Sorted by path: c.txt, old (将重命名), old/a.txt, old/b.txt.
    EXPECT_EQ(list->model()->index(2, 2).data().toInt(), 2) << "替换次数 of old/a.txt";
    list->model()->setData(list->model()->index(3, 0), Qt::Unchecked, Qt::CheckStateRole);
    auto* run = results->findChild<QPushButton*>("run");
    ASSERT_TRUE(run->isVisible());
    WriteFileBytes(ReplaceRulesPath(), "foo`baz\n");
    m_host.answer = CDialogHost::kNo;
    run->click();
    EXPECT_EQ(m_host.boxes.back(), std::string("confirm: ") + app_text::kAskRulesChanged);
    EXPECT_EQ(ReadFileBytes(m_folder + "/old/a.txt"), "foo foo");

    m_host.answer = CDialogHost::kYes;
    run->click();
    ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    EXPECT_EQ(ReadFileBytes(m_folder + "/new/a.txt"), "bar bar") << "the preview's rules";
    EXPECT_EQ(ReadFileBytes(m_folder + "/new/b.txt"), "foo") << "left out";
    EXPECT_EQ(ReadFileBytes(m_folder + "/c.txt"), "bar");
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/old"));
    EXPECT_TRUE(Counts().startsWith("已改写 2 个文件，跳过 0 个；重命名 1 个文件夹")) << Counts();
    EXPECT_TRUE(Counts().endsWith("；另有 1 个文件未勾选，未处理")) << Counts();
}

// The differences of a UTF-16 file and of a GBK file (in a GBK locale),
// decoded from their own encodings, with the replaced text highlighted, and
// gone when the filter hides the file.
TEST_F(CResultsTest, DifferencesOfUtf16AndGbkFiles) {
    CCodePage::SetWorking("GBK");
    std::string utf16 = "\xFF\xFE";  // little-endian mark, then the text
    for (char16_t u : std::u16string_view(u"中文 foo\r\n"))
        utf16 += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    MakeTree(m_folder, {{"a.txt", utf16}, {"b.txt", "\xBE\xC9 foo\n\xD0\xC2\n"}});
    SetInputs(m_folder, "*.txt", false, false);
    RunToEnd(IDC_PREVIEW);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    auto* list = results->findChild<QTreeView*>("list");
    auto* diff = results->findChild<QTextEdit*>("diff");
    const QString expected[] = {"-中文 foo\n+中文 bar", "-旧 foo\n+旧 bar"};
    for (int row = 0; row < 2; ++row) {
        list->setCurrentIndex(list->model()->index(row, 0));
        const QString path = list->model()->index(row, 1).data().toString();
        EXPECT_TRUE(diff->toPlainText().contains(expected[path.endsWith("b.txt")]))
            << diff->toPlainText();
        // The replaced text is marked: "bar" alone, on a darker green.
        QStringList marked;
        for (QTextBlock b = diff->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().background().color() == QColor(0x9b, 0xe9, 0xa8))
                    marked << it.fragment().text();
        EXPECT_EQ(marked, QStringList{"bar"});
    }
    // A filter that hides the selected file takes its differences away too.
    results->findChild<QComboBox*>("filter")->setCurrentText("已跳过（0）");
    EXPECT_EQ(diff->toPlainText(), "");
    EXPECT_EQ(ReadFileBytes(m_folder + "/a.txt"), utf16);
}

// An open command that cannot open its path names it and why, and copies
// it, over the window it was asked in.
TEST_F(CResultsTest, FailingOpenNamesThePathAndCopiesIt) {
    const std::string missing = m_dir / "不存在";
    const std::tuple<ControlId, bool, std::string, QString> cases[] = {
        {IDC_OPENPATH, true, missing, "文件夹不存在。"},
    };
    for (const auto& [button, openable, path, why] : cases) {
        m_host.openable = openable;
        Edit(IDC_PATH)->setText(QString::fromStdString(missing));
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            box->findChild<QPushButton*>("copyPath")->click();
            EXPECT_TRUE(box->isVisible()) << "copying keeps the box";
            box->button(QMessageBox::Ok)->click();
        });
        Click(button);
        EXPECT_TRUE(text.contains(QString::fromStdString(path)) && text.contains(why)) << text;
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), path);
    }
    // Asked from the results window, the box is the results window's.
    MakeTree(m_folder, {{"a.txt", "foo"}});
    SetInputs(m_folder, "*.txt", false, false);
    RunToEnd(IDC_PREVIEW);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
        owner = QApplication::activeModalWidget()->parentWidget();
        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->accept();
    });
    Q_EMIT results->openRequested(missing, true);
    EXPECT_EQ(owner, results);
}

// 撤销本次执行 puts the tree back byte for byte, the renamed folder
// included, lists what it restored, and is not offered a second time.
TEST_F(CResultsTest, UndoFromTheResultsWindowRestoresTheTree) {
    const auto before = RunOnTree();
    Click(IDC_RESULTS);
    ASSERT_FALSE(UndoButton()->isHidden());
    m_statuses.clear();
    QTest::mouseClick(UndoButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    ASSERT_TRUE(WaitFor([this] { return m_pDlg->ResultsWindow()->Pending() == 0; }));
    EXPECT_TRUE(m_host.boxes.back().starts_with("confirm: 撤销这次执行")) << m_host.boxes.back();
    EXPECT_EQ(Snapshot(m_folder), before);
    EXPECT_GE(m_statuses.indexOf(QRegularExpression("^撤销中...第2个文件( / 共2个)?$")), 0)
        << m_statuses.join(',');
    EXPECT_EQ(m_statuses.back(), "撤销完成");
    EXPECT_TRUE(Counts().startsWith("已恢复 2 个文件，未恢复 0 个；改回原名 1 个文件夹；用时"))
        << Counts();
    const QStringList rows = m_pDlg->ResultsWindow()->ListText().split('\n').mid(1);
    EXPECT_TRUE(rows.contains(
        QString::fromStdString("已改回原名：" + m_folder + "/new -> " + m_folder + "/old")))
        << rows.join('\n');
    EXPECT_TRUE(UndoButton()->isHidden());
}

// What a screen reader hears after a run: the status and counts lines say
// what they show, every button is named by its label (its tooltip is the
// description), and the results window is a window, not a pane.
TEST_F(CResultsTest, AssistiveTechnologyHearsWhatTheWindowsShow) {
    RunOnTree();
    Click(IDC_RESULTS);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    const auto said = [](QObject* object, QAccessible::Text t = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(object)->text(t);
    };
    EXPECT_EQ(said(Ctl(IDC_STATUS)), "执行完成！");
    EXPECT_TRUE(Counts().startsWith("已改写 2 个文件") &&
                said(Ctl(IDC_COUNTS)).remove('\n') == Counts())
        << said(Ctl(IDC_COUNTS));
    EXPECT_EQ(said(results->findChild<QLabel*>("counts")), Counts());
    for (QWidget* window : {static_cast<QWidget*>(m_pDlg.get()), static_cast<QWidget*>(results)})
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            const QString label = button->text().remove('&');
            EXPECT_TRUE(said(button).contains(label)) << label << " is called " << said(button);
            EXPECT_EQ(said(button, QAccessible::Description), button->toolTip()) << label;
        }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(results)->role(), QAccessible::Window);
    EXPECT_EQ(said(results), results->windowTitle());
}

// 保存为文本... suggests a name in the run's folder and writes the list as
// 复制列表 copies it, adding .txt to a name typed without one.
TEST_F(CResultsTest, SaveSuggestsANameInTheFolderAndAddsTxt) {
    RunOnTree();
    Click(IDC_RESULTS);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    QString suggested;
    results->m_pickSaveFile = [&](QWidget*, const QString& name) {
        suggested = name;
        return QString::fromStdString(m_dir / "列表");
    };
    QPushButton* save = results->findChild<QPushButton*>("save");
    ASSERT_TRUE(save && save->isVisible());
    save->click();
    EXPECT_EQ(suggested, QString::fromStdString(m_folder + "/结果.txt"));
    EXPECT_EQ(ReadFileBytes(m_dir / "列表.txt"), results->ListText().toStdString());
}

// After a restart, 结果 shows the folder's last run from its journal. That
// run was interrupted: 开始 first asks; 取消 leaves everything, 是 undoes it.
TEST_F(CResultsTest, AfterARestartTheInterruptedLastRunIsShownAndUndone) {
    const auto before = RunOnTree();
    const auto after = Snapshot(m_folder);
    // Interrupted: the log loses its End record, as when the process is killed.
    const std::string log = JournalRootIn(UserDataFolder()) + "/" +
                            CJournalStore::KeyOf(std::filesystem::canonical(m_folder)) + "/log";
    std::string bytes = ReadFileBytes(log);
    bytes.erase(bytes.rfind('\n', bytes.size() - 2) + 1);
    WriteFileBytes(log, bytes);
    Close();
    Open();
    m_host.boxes.clear();
    ASSERT_TRUE(Button(IDC_RESULTS)->isEnabled());
    Click(IDC_RESULTS);
    CResultsWindow* results = m_pDlg->ResultsWindow();
    ASSERT_TRUE(results && results->isVisible());
    ASSERT_TRUE(WaitFor([&] { return results->Pending() == 0; }));
    QStringList rows = results->ListText().split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(rows.takeFirst().contains("该次执行被中断"));
    rows.sort();
    EXPECT_EQ(rows, QStringList({QString::fromStdString("已改写：" + m_folder + "/a.txt"),
                                 QString::fromStdString("已改写：" + m_folder + "/old/c.txt"),
                                 QString::fromStdString("已重命名：" + m_folder + "/old -> " +
                                                        m_folder + "/new")}));
    EXPECT_FALSE(UndoButton()->isHidden());

    AnswerNextBox(QMessageBox::Cancel);
    Click(IDC_STARTSTOP);
    EXPECT_EQ(m_asked, QStringList{"上次在此文件夹的执行被中断。要先撤销它已做的改动吗？"});
    EXPECT_FALSE(m_pDlg->IsRunning());
    EXPECT_EQ(Snapshot(m_folder), after);
    AnswerNextBox(QMessageBox::Yes);
    Click(IDC_STARTSTOP);
    ASSERT_TRUE(WaitFor([this] { return !m_pDlg->IsRunning(); }));
    EXPECT_EQ(Snapshot(m_folder), before);
    EXPECT_EQ(m_statuses.back(), "撤销完成");
    EXPECT_TRUE(m_host.boxes.empty()) << "是 is the undo's confirmation; no run follows";
}
