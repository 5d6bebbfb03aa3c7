#include "prep/build_job.h"

#include "engine/journal/journal_store.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/journal_files.h"
#include "prep/job_inputs.h"
#include "service/user_folders.h"

namespace {

void Protect(CJob& job, const std::string& path) {
    CNodeId id;
    if (!path.empty() && IdentifyPath(path, id).Ok())
        job.protectedFiles.push_back(id);
}

}  // namespace

CJob BuildJob(const JobTables& tables, bool dryRun) {
    CJob job;
    job.folder = tables.folderPath;
    for (int i = 0; i < tables.extensionCount; ++i)
        job.extensions.emplace_back(tables.Extension(i));
    for (int i = 0; i < tables.replaceRuleCount; ++i)
        job.rules.push_back({std::string(tables.Find(i)), std::string(tables.Replacement(i))});
    for (int i = 0; i < tables.renameRuleCount; ++i)
        job.renameRules.push_back({std::string(tables.OldName(i)), std::string(tables.NewName(i))});
    job.includeSubfolders = tables.includeSubfolders != 0;
    job.renameFolders = tables.renameFolders != 0;
    job.modes = tables.modes;
    job.dryRun = dryRun;
    job.codePage = CCodePage::Working().Name();
    job.journalRoot = RunJournalRoot();
    // Both of the program's rules files, whether or not this run reads them,
    // and any other rules file it was given.
    Protect(job, tables.replaceRulesPath);
    Protect(job, tables.renameRulesPath);
    if (!tables.appPrefix.empty()) {
        Protect(job, tables.appPrefix + kReplaceRulesSuffix);
        Protect(job, tables.appPrefix + kRenameRulesSuffix);
        Protect(job, tables.appPrefix + ".ini");
    }
    return job;
}

CJob BuildUndoJob(const std::string& folder, bool dryRun) {
    CJob job;
    job.folder = folder;
    job.undo = true;
    job.dryRun = dryRun;
    job.codePage = CCodePage::Working().Name();
    job.journalRoot = RunJournalRoot();
    return job;
}

std::string RunJournalRoot() {
    return kJournalAvailable ? JournalRootIn(UserDataFolder()) : std::string();
}
