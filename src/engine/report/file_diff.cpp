#include "engine/report/file_diff.h"

#include "engine/report/reason_texts.h"
#include "engine/rewrite/file_rewriter.h"
#include "platform/code_page.h"
#include "platform/dir.h"
#include "platform/name_text.h"
#include "platform/paths.h"

namespace {

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const size_t slash = path.find_last_of(kPathSeparators);
    folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool DiffOfFile(const CJob& job, const std::string& path, std::uint64_t maxBytes,
                std::vector<CDiffHunk>& hunks, std::string& why) {
    hunks.clear();
    CJob dry = job;
    dry.dryRun = true;
    dry.maxFileBytes = maxBytes;
    std::string folder, name;
    SplitPath(path, folder, name);
    CDir dir;
    CDirEntry entry{{}, EntryType::Other, {}};
    PathTextToName(name, entry.name);
    const CIoResult opened = CDir::OpenPath(folder, dir);
    if (!opened.Ok() || !dir.Probe(entry.name, entry.type).Ok()) {
        why = (ReasonText(Reason::CannotOpen, opened.osError));
        return false;
    }
    CFileRewriter rewriter(dry);
    bool compared = false;
    bool decoded = true;
    rewriter.m_changeHook = [&](std::string_view oldText, std::string_view newText) {
        compared = true;
        decoded = DiffWorkingTexts(
            CCodePage(dry.codePage.empty() ? CCodePage::Working().Name() : dry.codePage), oldText,
            newText, hunks);
    };
    const CFileResult r = rewriter.Rewrite(dir, entry);
    if (r.outcome == FileOutcome::Skipped || r.outcome == FileOutcome::WriteFailed) {
        why = (ReasonText(r.reason, r.osError));
        return false;
    }
    if (compared && !decoded) {
        why = (ReasonText(Reason::BadWorking));
        return false;
    }
    return true;
}
