#pragma once
// CDialogNotify: the worker's notification target for the dialog. Post runs
// on the worker thread and never blocks on the dialog: it queues a
// CJobEvent for the receiver and returns.
//
// Progress is coalesced: the latest count is kept here and at most one
// progress event is queued at a time, so a fast walk cannot flood the
// dialog's queue; the dialog shows the latest count when the event arrives,
// and the last count before WM_JOB_DONE is always shown.
//
// Detach (dialog thread) cuts the link: anything posted afterwards is
// dropped, so a message sent after the window is gone has no effect.

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/run/run_state.h"

class CDialogNotify : public CNotifyTarget {
  public:
    explicit CDialogNotify(QObject* receiver);

    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Dialog thread. Later posts are dropped.
    void Detach();
    // Dialog thread, on a progress event: the latest count; the next
    // progress post queues a new event.
    std::intptr_t TakeProgress();

  private:
    std::mutex m_mutex;            // orders Post against Detach
    QPointer<QObject> m_receiver;  // guarded by m_mutex
    std::atomic<std::intptr_t> m_latestCount{0};
    std::atomic<bool> m_bProgressQueued{false};
};
