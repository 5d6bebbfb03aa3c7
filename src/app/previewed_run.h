#pragma once
// Running what a preview showed: the preview's own job (its rules, as read
// when it started) made real, on every file it would rewrite or only on
// those the user kept checked. Front end's thread, while idle.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/run/job.h"

struct CPreviewedRun {
    CJob job;                        // the preview's job, as it ran
    std::vector<std::string> files;  // the files kept, relative to job.folder, "/" between names
    size_t leftOut = 0;              // files the preview would rewrite that were unchecked
};

// The run: the preview's job writing for real; with files left out, exactly
// the files kept (folder renames need the walk, so they are not done then).
CJob JobOfPreviewedRun(const CPreviewedRun& run);

// Whether the rules files now say something else than the rules job was
// built with: read again as a start reads them (a file that now cannot be
// loaded counts as changed). Uses the job tables.
bool RulesChangedSince(const CJob& job);
