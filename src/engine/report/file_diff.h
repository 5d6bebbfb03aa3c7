#pragma once
// The differences a job would make to one file now, worked out on request
// (a preview's window, when a file is selected): the same rewriter in a dry
// run reads and decodes the file from its own encoding, applies the rules,
// and the difference routine compares the old and new text. Writes nothing;
// any thread.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/report/text_diff.h"
#include "engine/run/job.h"

// path: the file as the job's events name it. Files of maxBytes and more
// are not compared. False with why (a reason for the user) when the file
// cannot be shown; true with no hunks when nothing in it would change now.
bool DiffOfFile(const CJob& job, const std::string& path, std::uint64_t maxBytes,
                std::vector<CDiffHunk>& hunks, std::string& why);
