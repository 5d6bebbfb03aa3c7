#pragma once
// The counts line under the status line, the same in both dialogs and at
// the end of vexa-cli's summary: what a run, a preview or an undo did, e.g.
// "已改写 1,263 个文件，未改动 2,497 个，跳过 0 个；重命名 3 个文件夹；用时 3.6 秒".
// UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/run_kind.h"

struct CRunResult;

// Rewritten and skipped are always named; the other counts only when not 0.
// A stopped run starts with "已停止，已处理 N 个文件，". A preview counts in
// the future tense (将改写, 将重命名); an undo counts what it put back
// (已恢复, 改回原名) and what it left because it changed since (未恢复).
std::string FormatCountsLine(const CRunResult& result, double seconds, RunKind kind);
// The counts of the last run as its journal recorded them: when it started
// (seconds since 1970), the files it rewrote and the folders it renamed, and
// whether it was interrupted.
std::string FormatJournalLine(std::int64_t startTime, size_t files, size_t folders, bool finished);

// The warning after a run that skipped a file or failed to write or rename
// something: a heading, the counts line, and the first maxListed problems.
struct CRunEnd;
std::string RunProblemsText(const CRunEnd& end, size_t maxListed);

// Said after the counts of a run or preview with a match mode on:
// "；匹配模式：不区分大小写、正则表达式"; empty with none.
struct CMatchModes;
std::string ModesPart(const CMatchModes& modes);
// The names of the modes that are on, in the user's language (vexa-cli's
// summary), joined by "、"; empty when none is.
std::string ModeNames(const CMatchModes& modes);

// value with a comma between groups of three digits: 1,263.
std::string GroupedNumber(long long value);

// Said after the counts of a run of a preview with files left out:
// "；另有 N 个文件未勾选，未处理".
std::string LeftOutPart(size_t files);
