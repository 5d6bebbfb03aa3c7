// RunJob: one whole run on the calling thread, from the job tables to
// WM_JOB_DONE. The thread around it belongs to the run control.

#include "engine/job_tables.h"
#include "engine/replace_thread.h"

int CReplaceThread::RunJob(JobParams* params) {
    m_hNotify = params ? params->notify : nullptr;
    m_pStopWord = params ? params->stopWord : nullptr;
    m_wideText.clear();
    m_wideLen = 0;
    m_fileCount = 0;
    m_result = CRunResult{};
    ResetWalk();

    // A copy: the open-folder command may change the tables' path during the run.
    const std::string folderPath = g_jobTables.folderPath;
    WalkFolder(folderPath);

    m_result.selected = m_fileCount;
    m_wideText.clear();
    m_wideText.shrink_to_fit();
    m_wideLen = 0;
    Post(WM_JOB_DONE, 0);
    return 1;
}
