#include "prep/job_inputs.h"

#include <string>

#include "platform/message_catalog.h"
#include "prep/job_tables.h"
#include "prep/load_job_tables.h"
#include "service/core.h"

namespace {

constexpr const char* kMsgBadPath = N_("路径无效！");
constexpr const char* kMsgBadSuffix = N_("文件后缀指定无效！");

}  // namespace

std::optional<CRefusal> CheckFolderAndSuffix() {
    JobTables& tables = g_jobTables;
    if (!g_pCore->isPathExist(tables.folderPath))
        return CRefusal{JobInput::Folder, Tr(kMsgBadPath)};
    if (tables.suffixText.find('.') == std::string::npos)
        return CRefusal{JobInput::Suffix, Tr(kMsgBadSuffix)};
    tables.folderPath = g_pCore->parsePath(tables.folderPath);
    return std::nullopt;
}

std::optional<CRefusal> CheckInputs(std::vector<CRefusal>* warnings) {
    if (std::optional<CRefusal> refused = CheckFolderAndSuffix())
        return refused;
    return LoadTables(warnings);
}

int CheckJobInputs(void* owner, const std::function<void(JobInput)>& beforeWarning) {
    std::optional<CRefusal> refused = CheckFolderAndSuffix();
    if (refused && beforeWarning)
        beforeWarning(refused->input);
    if (!refused)
        refused = LoadTables();
    if (!refused)
        return 1;
    g_pCore->msgboxWarning(owner, refused->text);
    return 0;
}
