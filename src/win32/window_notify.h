#pragma once
// CWindowNotify: the worker's notification target for the Windows dialog.
// Post runs on the worker thread and never blocks: it posts the message to
// the dialog's window (PostMessageW) and returns. A posted message reaches
// the window through whichever message loop runs on the dialog's thread, a
// message box's or the folder picker's included, so none is lost.
//
// Progress is coalesced: the latest count is kept here and at most one
// progress message is queued at a time, so a fast walk cannot fill the
// thread's message queue (which holds 10,000 messages); the dialog shows the
// latest count when the message arrives.
//
// Detach (dialog thread) cuts the link: anything posted afterwards is
// dropped, so a message sent after the window is gone has no effect.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/run/run_state.h"

class CWindowNotify : public CNotifyTarget {
  public:
    explicit CWindowNotify(HWND window) : m_hWnd(window) {}

    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Dialog thread. Later posts are dropped.
    void Detach();
    // Dialog thread, on a progress message: the latest count; the next
    // progress post queues a new message.
    std::intptr_t TakeProgress();

  private:
    std::mutex m_mutex;  // orders Post against Detach
    HWND m_hWnd;         // guarded by m_mutex
    std::atomic<std::intptr_t> m_latestCount{0};
    std::atomic<bool> m_bProgressQueued{false};
};
