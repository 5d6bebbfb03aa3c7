#include <gtest/gtest.h>

#include "app/help_page.h"
#include "app/results_flow.h"
#include "app/results_list.h"
#include "engine/run/job.h"
#include "platform/paths.h"

namespace {

std::string Sep(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        c = c == '/' ? kPathSeparator : c;
    return out;
}

TEST(ResultsList, FiltersLabelsAndWritesRowsByJobKind) {
    CResultsList list;
    list.Reset(RunKind::Preview);
    list.Append({{RunEventKind::Rewritten, Sep("/t/a.txt"), "", ""},
                 {RunEventKind::Skipped, Sep("/t/b.txt"), "", "含有零字符"},
                 {RunEventKind::Renamed, Sep("/t/old"), Sep("/t/new"), ""}});
    ASSERT_EQ(list.Rows(), 3u);
    EXPECT_EQ(list.ListText("将改写 1 个文件"),
              "将改写 1 个文件\n将改写：" + Sep("/t/a.txt") + "\n已跳过：" + Sep("/t/b.txt") +
                  "（含有零字符）\n将重命名：" + Sep("/t/old") + " -> " + Sep("/t/new") + "\n");
    EXPECT_EQ(list.DetailText(2), "-> " + Sep("/t/new"));
    // A preview renamed nothing: the folder is still under its old name.
    EXPECT_EQ(list.OpenablePath(2), Sep("/t/old"));

    list.SetFilter(static_cast<int>(RunEventKind::Skipped));
    ASSERT_EQ(list.Rows(), 1u);
    EXPECT_EQ(list.PathText(0), Sep("/t/b.txt"));
    list.Append({{RunEventKind::Skipped, Sep("/t/c.txt"), "", "x"},
                 {RunEventKind::Rewritten, Sep("/t/d.txt"), "", ""}});
    EXPECT_EQ(list.Rows(), 2u);  // what arrives later is filtered too
    list.SetFilter(-1);
    EXPECT_EQ(list.Rows(), 5u);

    list.Reset(RunKind::Run);
    list.Append({{RunEventKind::Renamed, Sep("/t/old"), Sep("/t/new"), ""}});
    EXPECT_EQ(list.KindText(0), "已重命名");
    EXPECT_EQ(list.OpenablePath(0), Sep("/t/new"));
    EXPECT_STREQ(ResultKindLabel(RunKind::Undo, RunEventKind::Skipped), "未恢复");
}

// Paths below the folder, sorted by the column chosen (rows appended later
// fall into place), searched by path in any ASCII case, counted by kind;
// a preview's unchecked files are left out of its run.
TEST(ResultsList, SortsSearchesCountsAndKeepsCheckedFiles) {
    CResultsList list;
    list.Reset(RunKind::Preview, Sep("/t/"));
    list.Append({{RunEventKind::Rewritten, Sep("/t/b/x.txt"), "", "", 3},
                 {RunEventKind::Rewritten, Sep("/t/a.txt"), "", "", 1}});
    list.Append({{RunEventKind::Renamed, Sep("/t/b"), Sep("/t/c"), ""},
                 {RunEventKind::Rewritten, Sep("/t/C/B.txt"), "", "", 2}});
    const auto paths = [&list] {
        std::vector<std::string> shown;
        for (size_t row = 0; row < list.Rows(); ++row)
            shown.push_back(list.PathText(row));
        return shown;
    };
    EXPECT_EQ(paths(), (std::vector<std::string>{Sep("C/B.txt"), "a.txt", "b", Sep("b/x.txt")}));
    EXPECT_EQ(list.FullPathText(0), Sep("/t/C/B.txt"));
    EXPECT_EQ(list.DetailText(2), "-> c");
    list.SortBy(ResultColumn::Replacements, false);
    EXPECT_EQ(paths(), (std::vector<std::string>{Sep("b/x.txt"), Sep("C/B.txt"), "a.txt", "b"}));
    EXPECT_EQ(list.ReplacementsText(0), "3");
    EXPECT_EQ(list.ReplacementsText(3), "");
    list.SetSearch("b");
    EXPECT_EQ(paths(), (std::vector<std::string>{Sep("b/x.txt"), Sep("C/B.txt"), "b"}));
    EXPECT_EQ(list.CountOf(static_cast<int>(RunEventKind::Rewritten)), 3u);
    EXPECT_EQ(list.CountOf(-1), 4u);
    EXPECT_EQ(list.FilterEntryText(static_cast<int>(RunEventKind::Rewritten)), "将改写（3）");

    ASSERT_TRUE(list.Checkable(1));
    EXPECT_FALSE(list.Checkable(2)) << "a rename has no check box";
    list.SetChecked(1, false);
    size_t leftOut = 0;
    EXPECT_EQ(list.KeptFiles(leftOut), (std::vector<std::string>{Sep("b/x.txt"), "a.txt"}));
    EXPECT_EQ(leftOut, 1u);
    list.Reset(RunKind::Run, Sep("/t/"));
    list.Append({{RunEventKind::Rewritten, Sep("/t/a.txt"), "", ""}});
    EXPECT_FALSE(list.Checkable(0)) << "a run's rows have none";
}

// By path, a folder's entries follow it together, whatever byte the
// system's separator is.
TEST(ResultsList, AFoldersEntriesFollowIt) {
    CResultsList list;
    list.Reset(RunKind::Run, Sep("/t/"));
    list.Append({{RunEventKind::Rewritten, Sep("/t/b0"), "", ""},
                 {RunEventKind::Rewritten, Sep("/t/b.txt"), "", ""},
                 {RunEventKind::Rewritten, Sep("/t/b/x.txt"), "", ""},
                 {RunEventKind::Renamed, Sep("/t/b"), Sep("/t/c"), ""}});
    std::string shown;
    for (size_t row = 0; row < list.Rows(); ++row)
        shown += list.PathText(row) + " ";
    EXPECT_EQ(shown, "b " + Sep("b/x.txt") + " b.txt b0 ");
}

TEST(ResultsList, ElidesInTheMiddleByColumns) {
    EXPECT_EQ(ElideMiddle("short.txt", 9), "short.txt");
    EXPECT_EQ(ElideMiddle("abcdefghij.txt", 10), "abcd….txt");
    // A Chinese character takes two columns and is never cut in two.
    EXPECT_EQ(ElideMiddle("新闻/二〇二四/页面.htm", 14), "新闻/…面.htm");
    EXPECT_EQ(ElideMiddle("abc", 1), "…");
}

TEST(ResultsList, ParentFolderKeepsTheRoot) {
    EXPECT_EQ(ParentFolderOf(Sep("/t/sub/a.txt")), Sep("/t/sub"));
    EXPECT_EQ(ParentFolderOf(Sep("/t/sub/")), Sep("/t"));
    EXPECT_EQ(ParentFolderOf(Sep("/a.txt")), Sep("/"));
    EXPECT_EQ(ParentFolderOf("a.txt"), ".");
}

class CFakeResults : public CResultsView {
  public:
    void Begin(RunKind, const CJob&) override { ++begun; }
    void Feed(const std::vector<CRunEvent>& events) override { fed += events.size(); }
    void Finish(const std::string& text) override { counts = text; }
    void SetUndoOffered(bool offered) override { undo = offered; }
    void ShowOnTop() override { ++shown; }
    int begun = 0, shown = 0;
    size_t fed = 0;
    std::string counts;
    bool undo = false;
};

TEST(ResultsFlow, OpensAfterPreviewOrProblemsAndOffersUndoOfARealRunThatChanged) {
    CFakeResults view;
    CResultsFlow flow(view);
    CJob job;
    job.folder = Sep("/t/");
    job.journalRoot = Sep("/j");
    job.keepJournal = true;
    const struct {
        RunKind kind;
        RunEventKind event;
        bool stopped, shown, undo;
    } cases[] = {
        {RunKind::Preview, RunEventKind::Rewritten, false, true, false},
        {RunKind::Run, RunEventKind::Rewritten, false, false, true},
        {RunKind::Run, RunEventKind::Skipped, false, true, false},
        {RunKind::Run, RunEventKind::Skipped, true, false, false},  // stopped: opens nothing
    };
    for (const auto& c : cases) {
        view = CFakeResults();
        flow.Observer()->OnEvent({c.event, Sep("/t/a.txt"), "", ""});
        flow.OnRunStarted(c.kind, job);
        CRunResult result;
        result.Record({c.event, Sep("/t/a.txt"), "", ""});
        result.stopped = c.stopped;
        flow.Observer()->OnEvent({c.event, Sep("/t/a.txt"), "", ""});
        flow.OnRunEnded({c.kind, result, job, "counts", false});
        EXPECT_EQ(view.shown, c.shown ? 1 : 0);
        EXPECT_EQ(view.undo, c.undo);
        EXPECT_EQ(flow.UndoFolder(), c.undo ? job.folder : "");
        EXPECT_EQ(view.fed, 1u);  // only the events of this job
        EXPECT_EQ(view.counts, "counts");
    }
    EXPECT_TRUE(flow.HasResults(""));  // a job of the session is always shown
}

TEST(HelpPage, SaysWhatThisBuildDoesAboutUndo) {
    const std::string none = HelpPageHtml("C:\\r<1>.txt", "%2", "s.ini", "", false);
    EXPECT_NE(none.find("C:\\r&lt;1&gt;.txt"), std::string::npos);
    EXPECT_NE(none.find("文件夹重命名规则：%2"), std::string::npos);  // filled once
    EXPECT_NE(none.find("不记录撤销日志"), std::string::npos);
    EXPECT_EQ(none.find("vexa-cli --undo"), std::string::npos);

    const std::string kept = HelpPageHtml("r", "n", "s", "C:\\Users\\u\\Vexa\\journal", true);
    EXPECT_NE(kept.find("C:\\Users\\u\\Vexa\\journal"), std::string::npos);
    EXPECT_NE(kept.find("vexa-cli --undo"), std::string::npos);
    for (const char* gone : {"~/.local/share", "在 Linux 上", "目前不记录撤销日志", "%1"})
        EXPECT_EQ(kept.find(gone), std::string::npos) << gone;
}

}  // namespace
