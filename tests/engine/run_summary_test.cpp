#include "engine/report/run_summary.h"

#include "engine/report/name_quote.h"

#include <gtest/gtest.h>

namespace {

TEST(RunSummary, ListsTheFailureThenOnlyProblemsUpToTheLimit) {
    CRunResult r;
    r.selected = 4;
    r.unchanged = 1;
    for (CRunEvent e : {CRunEvent{RunEventKind::Rewritten, "/d/a.txt", "", ""},
                        CRunEvent{RunEventKind::Skipped, "/d/b.txt", "", "只读文件"},
                        CRunEvent{RunEventKind::Renamed, "/d/old", "/d/new", ""},
                        CRunEvent{RunEventKind::RenameFailed, "/d/x", "/d/y", "目标已存在"},
                        CRunEvent{RunEventKind::WriteFailed, "/d/c.txt", "", "磁盘已满"}})
        r.Record(e);
    EXPECT_TRUE(r.HasProblems());
    EXPECT_EQ(FormatRunCounts(r),
              "已选文件 4 个，已改写 1 个，未改动 1 个，已跳过 1 个，写入失败 1 个；"
              "文件夹已重命名 1 个，重命名失败 1 个。");
    EXPECT_EQ(FormatRunProblems(r, 2),
              "已跳过：/d/b.txt（只读文件）\n"
              "重命名失败：/d/x -> /d/y（目标已存在）\n"
              "……另有 1 项未列出。\n");
    r.failure = "撤销日志已损坏（第 2 行）：/j";
    EXPECT_EQ(FormatRunProblems(r, 0), r.failure + "\n……另有 3 项未列出。\n");
    r.failure.clear();
    r.events.clear();
    EXPECT_FALSE(r.HasProblems());
    EXPECT_EQ(FormatRunProblems(r, 5), "");
}

// Every printed name reads back to its exact bytes: a newline, a quote or
// " -> " in a name can never pass for another line or for a rename.
TEST(RunSummary, UnusualNamesAreQuotedWithEscapes) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain 名字.txt", "plain 名字.txt"},
        {"a\nb.txt", "\"a\\nb.txt\""},
        {"a -> b", "\"a -> b\""},
        {"q\"\\\t\x01\x7f", "\"q\\\"\\\\\\t\\001\\177\""},
        {"a->b", "a->b"},
    };
    for (const auto& [name, quoted] : cases)
        EXPECT_EQ(QuoteName(name), quoted);
}

}  // namespace
