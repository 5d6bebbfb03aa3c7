#pragma once
// The end-of-run summary as the command line prints it and the problems as
// the dialogs list them, with their paths and reasons; paths made readable.
// UTF-8 text.

#include <cstddef>
#include <string>

#include "engine/run/run_state.h"

// The command line's line of counts, stable for scripts that read it, e.g.
// "已选文件 12 个，已改写 3 个，未改动 8 个，已跳过 1 个，写入失败 0 个；
// 文件夹已重命名 2 个，重命名失败 0 个。"
std::string FormatRunCounts(const CRunResult& result);

// The problems (skipped files, failed writes, failed renames, skipped
// folders), one a line with path and reason, at most maxListed lines, then a
// line that says how many more there are.
std::string FormatRunProblems(const CRunResult& result, size_t maxListed);

// A path as path text (the working code page; UTF-8 on Windows) made
// readable in UTF-8 text.
std::string PathForDisplay(const std::string& workingPath);
// The same, quoted first when it holds what a list would misread (QuoteName).
std::string NameForDisplay(const std::string& workingPath);
