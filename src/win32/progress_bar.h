#pragma once
// The dialog's progress row under Win32: a progress bar (msctls_progress32)
// that is busy (marquee) until the job's files are counted and exact from
// then on, and beside it the rate and the time left. Both are in the
// dialog template, hidden while idle, so nothing moves when they show.

#include <windows.h>

struct CRunProgress;

// Shows progress on the bar and the rate line of dialog; an inactive
// progress hides both.
void ShowRunProgress(HWND dialog, const CRunProgress& progress);
