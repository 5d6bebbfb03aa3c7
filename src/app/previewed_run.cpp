#include "app/previewed_run.h"

#include <algorithm>

#include "prep/build_job.h"
#include "prep/job_tables.h"
#include "prep/load_job_tables.h"

CJob JobOfPreviewedRun(const CPreviewedRun& run) {
    CJob job = run.job;
    job.dryRun = false;
    if (run.leftOut > 0) {
        job.keepOnly = true;
        job.keptFiles = run.files;
    }
    return job;
}

namespace {

bool SameRules(const CJob& a, const CJob& b) {
    const auto sameReplace = [](const CReplaceRuleText& x, const CReplaceRuleText& y) {
        return x.find == y.find && x.replacement == y.replacement;
    };
    const auto sameRename = [](const CRenameRuleText& x, const CRenameRuleText& y) {
        return x.oldName == y.oldName && x.newName == y.newName;
    };
    return std::equal(a.rules.begin(), a.rules.end(), b.rules.begin(), b.rules.end(),
                      sameReplace) &&
           std::equal(a.renameRules.begin(), a.renameRules.end(), b.renameRules.begin(),
                      b.renameRules.end(), sameRename);
}

}  // namespace

// Only the rules are compared: the suffix edit may hold anything by now, so
// a text that always loads stands in for it; the rename rules are read when
// the preview read them. A start refills the tables from the inputs.
bool RulesChangedSince(const CJob& job) {
    g_jobTables.suffixText = "*.*";
    g_jobTables.renameFolders = job.renameFolders ? 1 : 0;
    g_jobTables.modes = job.modes;
    return LoadTables().has_value() || !SameRules(BuildJob(g_jobTables), job);
}
