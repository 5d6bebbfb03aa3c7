#pragma once
// The worker thread's entry procedure: runs the job of the worker object
// named in params, then releases params. Returns 0.

#include "engine/run/replace_thread.h"

unsigned JobThreadProc(JobParams* params);
