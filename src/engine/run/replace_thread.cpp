#include "engine/run/replace_thread.h"

#include <system_error>

#include "engine/run/execute.h"

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

int CReplaceThread::RunJob(JobParams* params) {
    m_hNotify = params ? params->notify : nullptr;
    m_pStopWord = params ? params->stopWord : nullptr;
    m_pObserver = params ? params->observer : nullptr;
    if (params)
        m_job = params->job;
    m_fileCount = 0;
    WalkFolder(m_job.folder);
    Post(WM_JOB_DONE, 0);
    return 1;
}

void CReplaceThread::WalkFolder(const std::string& folderPath) {
    m_job.folder = folderPath;
    m_result = Execute(m_job, m_pStopWord, this);
}

void CReplaceThread::OnFileSelected(int count) {
    m_fileCount = count;
    Post(WM_JOB_PROGRESS, m_fileCount);
}

void CReplaceThread::OnEntry(const std::string& entryPath) {
    if (m_entryHook)
        m_entryHook(entryPath);
}

void CReplaceThread::OnEvent(const CRunEvent& event) {
    if (m_pObserver)
        m_pObserver->OnEvent(event);
}

bool CReplaceThread::WantsChanges() const {
    return m_pObserver && m_pObserver->WantsChanges();
}

void CReplaceThread::OnChange(const std::string& path, std::string_view oldText,
                              std::string_view newText) {
    m_pObserver->OnChange(path, oldText, newText);
}
