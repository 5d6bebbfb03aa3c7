#include "ui/dialog_notify.h"

#include <QCoreApplication>

#include "ui/job_event.h"

CDialogNotify::CDialogNotify(QObject* receiver) : m_receiver(receiver) {}

void CDialogNotify::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_JOB_PROGRESS) {
        m_latestCount.store(lParam);
        if (m_bProgressQueued.exchange(true))
            return;  // the queued event will show this count
    }
    std::lock_guard lock(m_mutex);
    if (m_receiver)
        QCoreApplication::postEvent(m_receiver, new CJobEvent(message, wParam, lParam));
}

void CDialogNotify::Detach() {
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}

std::intptr_t CDialogNotify::TakeProgress() {
    // Clear first: a count stored after this sees no queued event and posts one.
    m_bProgressQueued.store(false);
    return m_latestCount.load();
}
