#pragma once
// CRunEventsQueue: the dialog's sink for a run's events. The walk's thread
// adds each event; the dialog's thread takes what has arrived (at each
// progress message and at the end) into the results window, so the list
// fills while the run goes on.

#include <mutex>
#include <utility>
#include <vector>

#include "engine/run/run_state.h"

class CRunEventsQueue : public CRunObserver {
  public:
    // Walk's thread.
    void OnEvent(const CRunEvent& event) override {
        if (event.kind == RunEventKind::LinkPassedOver)
            return;  // counted, not listed: a tree may hold thousands
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
    }
    // Dialog's thread: the events since the last call, in walk order.
    std::vector<CRunEvent> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_events, {});
    }

  private:
    std::mutex m_mutex;
    std::vector<CRunEvent> m_events;  // guarded by m_mutex
};
