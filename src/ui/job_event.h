#pragma once
// The worker's two messages as Qt events. Posted events are delivered by
// every event loop of the receiving thread, nested modal loops (message
// boxes, the folder picker) included, so neither message is ever lost.

#include <QEvent>

#include <cstdint>

inline const QEvent::Type kJobProgressEvent = static_cast<QEvent::Type>(QEvent::User + 1);
inline const QEvent::Type kJobDoneEvent = static_cast<QEvent::Type>(QEvent::User + 2);

class CJobEvent : public QEvent {
  public:
    // message is WM_JOB_PROGRESS or WM_JOB_DONE.
    CJobEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    unsigned Message() const { return m_message; }
    std::uintptr_t WParam() const { return m_wParam; }
    std::intptr_t LParam() const { return m_lParam; }

    // The event type a worker message travels as.
    static QEvent::Type TypeOf(unsigned message);

  private:
    unsigned m_message;
    std::uintptr_t m_wParam;
    std::intptr_t m_lParam;
};
