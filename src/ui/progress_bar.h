#pragma once
// The dialog's progress row: a bar that is busy until the job's files are
// counted and exact from then on, and beside it the rate and the time left.
// Both keep their room when hidden, so the fixed-size window never jumps.

class QLabel;
class QProgressBar;
struct CRunProgress;

// New controls for the dialog to lay out.
QProgressBar* MakeProgressBar();
QLabel* MakeRateLabel();
// Shows progress on bar and rate; an inactive progress hides both.
void ShowRunProgress(QProgressBar* bar, QLabel* rate, const CRunProgress& progress);
