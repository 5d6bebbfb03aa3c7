#pragma once
// Execute: the one way into a run and out of it. It runs the whole job on
// the calling thread: walks the folder and rewrites and renames (or, for an
// undo job, undoes the folder's last run), gives everything it reports on
// the way to the observer, and returns the result. A run that may not start
// (its folder is busy) returns at once with the reason in refusal.

#include <atomic>

#include "engine/run/job.h"
#include "engine/run/run_state.h"

// stop: the run ends at the next entry once it holds true (null: never).
// observer: may be null.
CRunResult Execute(const CJob& job, const std::atomic<bool>* stop, CRunObserver* observer);
