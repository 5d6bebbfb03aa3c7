#include "win32/window_notify.h"

void CWindowNotify::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_JOB_PROGRESS) {
        m_latestCount.store(lParam);
        if (m_bProgressQueued.exchange(true))
            return;  // the queued message will show this count
    }
    std::lock_guard lock(m_mutex);
    if (m_hWnd)
        PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWindowNotify::Detach() {
    std::lock_guard lock(m_mutex);
    m_hWnd = nullptr;
}

std::intptr_t CWindowNotify::TakeProgress() {
    // Clear first: a count stored after this sees no queued message and posts one.
    m_bProgressQueued.store(false);
    return m_latestCount.load();
}
