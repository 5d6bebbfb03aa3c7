#pragma once
// The problems of a run as the dialogs and the command line list them,
// with their paths and reasons, and paths made readable. UTF-8 text.

#include <cstddef>
#include <string>

#include "engine/run/run_state.h"

// The problems (skipped files, failed writes, failed renames, skipped
// folders), one a line with path and reason, at most maxListed lines, then a
// line that says how many more there are.
std::string FormatRunProblems(const CRunResult& result, size_t maxListed);

// A path as path text (the working code page; UTF-8 on Windows) made
// readable in UTF-8 text.
std::string PathForDisplay(const std::string& workingPath);
// The same, quoted first when it holds what a list would misread (QuoteName).
std::string NameForDisplay(const std::string& workingPath);
