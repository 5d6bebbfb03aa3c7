#pragma once
// What a job of the run controller is, and where it stands.

#include "app/app_texts.h"

// A run writes; a preview is the same run with nothing written; an undo
// puts the folder's last run back.
enum class RunKind { Run, Preview, Undo };

// Idle: ready to start. Running: a worker runs. Stopping: it was asked to
// stop and finishes the file in hand.
enum class RunState { Idle, Running, Stopping };

// The start/stop button's caption in state: 执行 when idle (after the first
// job; the dialog shows 开始 before), 停止 while running, 正在停止 once asked to stop.
inline const char* StartStopCaption(RunState state) {
    return state == RunState::Idle      ? app_text::kRun
           : state == RunState::Running ? app_text::kStop
                                        : app_text::kStopping;
}
