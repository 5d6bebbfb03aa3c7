#include "win32/progress_bar.h"

#include <commctrl.h>

#include <climits>

#include "app/run_progress.h"
#include "win32/resource.h"
#include "win32/wide_text.h"

namespace {

// The marquee runs only while the style says so; exact values need it off.
void SetBusy(HWND bar, bool busy) {
    const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
    const bool isBusy = (style & PBS_MARQUEE) != 0;
    if (busy == isBusy)
        return;
    SetWindowLongPtrW(bar, GWL_STYLE, busy ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
    SendMessageW(bar, PBM_SETMARQUEE, busy ? TRUE : FALSE, 0);
}

}  // namespace

void ShowRunProgress(HWND dialog, const CRunProgress& progress) {
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS);
    HWND rate = GetDlgItem(dialog, IDC_RATE);
    ShowWindow(bar, progress.active ? SW_SHOWNA : SW_HIDE);
    ShowWindow(rate, progress.active ? SW_SHOWNA : SW_HIDE);
    if (!progress.active) {
        SetBusy(bar, false);
        SendMessageW(bar, PBM_SETPOS, 0, 0);
        SetWindowTextW(rate, L"");
        return;
    }
    const long total = progress.Total();
    SetBusy(bar, total < 0);
    if (total >= 0) {
        // The bar counts in int; a larger total is shown in proportion.
        const long scale = total / INT_MAX + 1;
        SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total / scale));
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(progress.count / scale), 0);
    }
    SetWindowTextW(rate, Widen(RateAndTimeLeft(progress)).c_str());
}
