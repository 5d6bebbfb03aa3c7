#include "app/counts_line.h"

#include <gtest/gtest.h>

#include "engine/run/run_state.h"

namespace {

CRunResult Result(int rewritten, int unchanged, int skipped, int renamed, bool stopped = false) {
    CRunResult r;
    for (int i = 0; i < rewritten; ++i)
        r.Record({RunEventKind::Rewritten, "f", "", ""});
    for (int i = 0; i < skipped; ++i)
        r.Record({RunEventKind::Skipped, "s", "", "why"});
    for (int i = 0; i < renamed; ++i)
        r.Record({RunEventKind::Renamed, "d", "e", ""});
    r.unchanged = unchanged;
    r.selected = rewritten + unchanged + skipped;
    r.stopped = stopped;
    return r;
}

TEST(CountsLine, NamesWhatEachKindOfJobDidWithGroupedNumbers) {
    const struct {
        CRunResult result;
        RunKind kind;
        const char* line;
    } cases[] = {
        {Result(1263, 2497, 0, 3), RunKind::Run,
         "已改写 1,263 个文件，未改动 2,497 个，跳过 0 个；重命名 3 个文件夹；用时 3.6 秒"},
        {Result(0, 0, 1, 0), RunKind::Run, "已改写 0 个文件，跳过 1 个；用时 3.6 秒"},
        {Result(2, 1, 0, 1), RunKind::Preview,
         "将改写 2 个文件，未改动 1 个，跳过 0 个；将重命名 1 个文件夹；用时 3.6 秒"},
        {Result(1, 1, 1, 0), RunKind::Undo,
         "已恢复 1 个文件，无需恢复 1 个，未恢复 1 个；用时 3.6 秒"},
        {Result(5, 0, 0, 0, true), RunKind::Run,
         "已停止，已处理 5 个文件，已改写 5 个文件，跳过 0 个；用时 3.6 秒"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatCountsLine(c.result, 3.62, c.kind), c.line);
    EXPECT_EQ(GroupedNumber(-1234567), "-1,234,567");
    EXPECT_EQ(GroupedNumber(999), "999");
    const std::string journal = FormatJournalLine(0, 2, 0, false);
    EXPECT_EQ(journal.substr(journal.find("）")), "）已改写 2 个文件；该次执行被中断，未做完");
}

}  // namespace
