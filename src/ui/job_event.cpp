#include "ui/job_event.h"

#include "engine/run/run_state.h"

CJobEvent::CJobEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
    : QEvent(TypeOf(message)), m_message(message), m_wParam(wParam), m_lParam(lParam) {}

QEvent::Type CJobEvent::TypeOf(unsigned message) {
    return message == WM_JOB_PROGRESS ? kJobProgressEvent : kJobDoneEvent;
}
