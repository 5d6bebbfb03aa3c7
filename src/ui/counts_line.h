#pragma once
// The counts line under the status line: what a run (or a preview) did,
// filled when it ends or is stopped, e.g. "已改写 1,263 个文件，未改动 2,497
// 个，跳过 0 个；重命名 3 个文件夹；用时 3.6 秒".

#include <QString>

struct CRunResult;

// Rewritten and skipped are always named; the other counts only when not 0.
// A stopped run starts with "已停止，已处理 N 个文件，". preview: the counts
// of a dry run, in the future tense (将改写, 将重命名).
QString FormatCountsLine(const CRunResult& result, double seconds, bool preview);

// value with a comma between groups of three digits: 1,263.
QString GroupedNumber(long long value);
