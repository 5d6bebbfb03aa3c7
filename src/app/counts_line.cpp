#include "app/counts_line.h"

#include <cstdio>

#include "app/app_texts.h"
#include "app/run_view.h"
#include "engine/report/run_summary.h"
#include "engine/run/job.h"
#include "engine/run/run_state.h"
#include "platform/local_time.h"
#include "platform/message_catalog.h"

namespace {

// format with its "%1" replaced by text.
std::string Fill(const char* format, const std::string& text) {
    std::string line = format;
    if (const size_t at = line.find("%1"); at != std::string::npos)
        line.replace(at, 2, text);
    return line;
}

std::string Part(const char* format, long long value) {
    return Fill(format, GroupedNumber(value));
}

std::string PartIfAny(const char* format, long long value) {
    return value > 0 ? Part(format, value) : std::string();
}

// The parts of the line that differ between a run, a preview and an undo.
struct CCountsTexts {
    const char* rewritten;
    const char* unchanged;
    const char* skipped;
    const char* renamed;
    const char* renameFailed;
};

constexpr CCountsTexts kCountsTexts[] = {
    {app_text::kCountsRewritten, app_text::kCountsUnchanged, app_text::kCountsSkipped,
     app_text::kCountsRenamed, app_text::kCountsRenameFailed},
    {app_text::kCountsWouldRewrite, app_text::kCountsUnchanged, app_text::kCountsSkipped,
     app_text::kCountsWouldRename, app_text::kCountsRenameFailed},
    {app_text::kCountsRestored, app_text::kCountsNothingToRestore, app_text::kCountsNotRestored,
     app_text::kCountsRenamedBack, app_text::kCountsNotRenamedBack},
};

}  // namespace

std::string ModeNames(const CMatchModes& modes) {
    std::string names;
    const auto add = [&](bool on, const char* name) {
        if (on)
            names.append(names.empty() ? "" : Tr(N_("、"))).append(Tr(name));
    };
    add(modes.ignoreCase, N_("不区分大小写"));
    add(modes.wholeWord, N_("全字匹配"));
    add(modes.regex, N_("正则表达式"));
    return names;
}

std::string ModesPart(const CMatchModes& modes) {
    return modes.Any() ? Fill(app_text::kCountsModes, ModeNames(modes)) : std::string();
}

std::string GroupedNumber(long long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), 1, ',');
    return value < 0 ? "-" + digits : digits;
}

std::string FormatCountsLine(const CRunResult& r, double seconds, RunKind kind) {
    const CCountsTexts& t = kCountsTexts[static_cast<int>(kind)];
    std::string line;
    if (r.stopped)
        line += std::string(app_text::kCountsStopped) + Part(app_text::kCountsHandled, r.selected);
    line += Part(t.rewritten, r.Count(RunEventKind::Rewritten));
    line += PartIfAny(t.unchanged, r.unchanged);
    line += Part(t.skipped, r.Count(RunEventKind::Skipped));
    line += PartIfAny(app_text::kCountsWriteFailed, r.Count(RunEventKind::WriteFailed));
    line += PartIfAny(app_text::kCountsBinary, r.Count(RunEventKind::Binary));
    const int renameFailed = r.Count(RunEventKind::RenameFailed);
    if (r.Count(RunEventKind::Renamed) > 0 || renameFailed > 0)
        line += Part(t.renamed, r.Count(RunEventKind::Renamed));
    line += PartIfAny(t.renameFailed, renameFailed);
    line += PartIfAny(app_text::kCountsFolderSkipped, r.Count(RunEventKind::FolderSkipped));
    line += PartIfAny(app_text::kCountsLinks, r.linksPassedOver);
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", seconds);
    line += Fill(app_text::kCountsTime, time);
    return line;
}

std::string RunProblemsText(const CRunEnd& end, size_t maxListed) {
    return std::string(app_text::kRunProblemsHeading) + "\n" + end.countsLine + "\n\n" +
           FormatRunProblems(end.result, maxListed);
}

std::string FormatJournalLine(std::int64_t startTime, size_t files, size_t folders, bool finished) {
    std::string line = Fill(app_text::kJournalWhen, LocalTimeText(startTime));
    line += Part(app_text::kCountsRewritten, static_cast<long long>(files));
    line += PartIfAny(app_text::kCountsRenamed, static_cast<long long>(folders));
    if (!finished)
        line += app_text::kJournalInterrupted;
    return line;
}

std::string LeftOutPart(size_t files) {
    return Part(app_text::kCountsLeftOut, static_cast<long long>(files));
}
