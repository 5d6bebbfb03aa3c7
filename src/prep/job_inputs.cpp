#include "prep/job_inputs.h"

#include <string>

#include "prep/job_tables.h"
#include "prep/load_job_tables.h"
#include "service/core.h"

namespace {

constexpr const char* kMsgBadPath = "路径无效！";
constexpr const char* kMsgBadSuffix = "文件后缀指定无效！";

int Refuse(void* owner, JobInput input, const char* message,
           const std::function<void(JobInput)>& beforeWarning) {
    if (beforeWarning)
        beforeWarning(input);
    g_pCore->msgboxWarning(owner, message);
    return 0;
}

}  // namespace

int CheckJobInputs(void* owner, const std::function<void(JobInput)>& beforeWarning) {
    JobTables& tables = g_jobTables;
    if (!g_pCore->isPathExist(tables.folderPath))
        return Refuse(owner, JobInput::Folder, kMsgBadPath, beforeWarning);
    if (tables.suffixText.find('.') == std::string::npos)
        return Refuse(owner, JobInput::Suffix, kMsgBadSuffix, beforeWarning);
    tables.folderPath = g_pCore->parsePath(tables.folderPath);
    return LoadJobTables(owner) ? 1 : 0;
}
