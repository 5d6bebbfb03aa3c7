#pragma once
// The dialog's controls as the run controller reads and sets them: the four
// inputs, the input a refusal points at, and the buttons in each run state.

#include <windows.h>

#include "app/dialog_settings.h"
#include "app/run_kind.h"
#include "prep/job_inputs.h"

// The inputs as a job takes them: the folder as path text, the suffixes in
// the working code page. A text with no exact form there is left empty, and
// refused as such (an empty folder is invalid, an empty suffix text too).
CDialogSettings ReadInputs(HWND dialog);
// The same as the settings store keeps text (UTF-8 here): a folder name
// outside the ANSI code page comes back as it was typed.
CDialogSettings ReadInputsToSave(HWND dialog);
void WriteInputs(HWND dialog, const CDialogSettings& settings);
void FocusInputControl(HWND dialog, JobInput input);
// 开始/停止/正在停止/执行 and 预览, which waits while anything runs.
void ShowRunButtons(HWND dialog, RunState state);
