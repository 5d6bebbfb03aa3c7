#pragma once
// Running what a preview showed: the preview's own job (its rules, as read
// when it started) made real, on every file it would rewrite or only on
// those the user kept checked. Front end's thread, while idle.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/run/job.h"

struct CPreviewedRun {
    CJob job;  // the preview's job, as it ran
    // The files kept, relative to job.folder as the preview's events spell them.
    std::vector<std::string> files;
    size_t leftOut = 0;  // files the preview would rewrite that were unchecked
};

// The run: the preview's job writing for real, its folder renames included;
// with files left out, the walk hands out only the files kept.
CJob JobOfPreviewedRun(const CPreviewedRun& run);

// Whether the rules files now say something else than the rules job was
// built with: read again as a start reads them (a file that now cannot be
// loaded counts as changed). Uses the job tables.
bool RulesChangedSince(const CJob& job);
