#include "engine/run/replace_thread.h"

#include <system_error>

CReplaceThread::CReplaceThread(ThreadProc proc, JobParams* params)
    : m_proc(proc), m_pParams(params) {
    if (params)
        params->worker = this;
}

CReplaceThread::~CReplaceThread() {
    Join();
}

bool CReplaceThread::CreateThread() {
    if (!m_proc || m_thread.joinable())
        return false;
    try {
        m_thread = std::thread([this] { m_proc(m_pParams); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CReplaceThread::RunHere() {
    if (m_proc)
        m_proc(m_pParams);
}

void CReplaceThread::Join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void CReplaceThread::Post(unsigned message, std::intptr_t lParam) {
    if (m_hNotify)
        m_hNotify->Post(message, 0, lParam);
}
