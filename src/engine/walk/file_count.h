#pragma once
// The number of files a run of job would select, found by listing folders
// only: no file is opened or read, nothing is renamed, nothing is recorded.
// It is an estimate for a progress bar, not the run's walk: the tree may
// change between the two. Any thread; it reads nothing global.

#include <atomic>

#include "engine/run/job.h"

// The files the walk of job selects; -1 when stopWord was set before the end.
long CountSelectedFiles(const CJob& job, const std::atomic<bool>* stopWord);
