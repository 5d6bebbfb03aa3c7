#include "app/journals.h"

#include <cstdio>

#include "app/counts_line.h"
#include "engine/journal/journal_events.h"
#include "engine/journal/journal_store.h"
#include "engine/report/run_summary.h"
#include "platform/journal_files.h"
#include "platform/local_time.h"
#include "platform/message_catalog.h"
#include "prep/build_job.h"
#include "service/user_folders.h"

namespace {

std::string Size(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

// What a journal's folder is doing now, or why its journal cannot be undone;
// empty when neither.
std::string StateNote(const CJournalInfo& info) {
    if (info.busy)
        return Tr(N_("（正在执行）"));
    if (info.contents.damagedLine != 0)
        return FillMessage(N_("（日志已损坏，第 {} 行）"),
                           {std::to_string(info.contents.damagedLine)});
    return info.contents.finished ? "" : Tr(N_("（执行被中断）"));
}

}  // namespace

std::string JournalListing() {
    CJournalStore store;
    std::string out;
    std::uint64_t total = 0;
    if (store.Open(JournalRootIn(UserDataFolder()), false).Ok()) {
        for (const CJournalInfo& info : store.List()) {
            size_t files = 0, folders = 0;
            for (const CJournalEntry& e : info.contents.entries)
                ++(e.kind == JournalRecord::File ? files : folders);
            total += info.copyBytes;
            const std::string note = StateNote(info);
            out += NameForDisplay(info.folder) + "\n    " +
                   LocalTimeText(info.contents.header.startTime) + "  " +
                   info.contents.header.options + "  " +
                   FillMessage(
                       N_("文件 {} 个，文件夹 {} 个，副本 {}"),
                       {std::to_string(files), std::to_string(folders), Size(info.copyBytes)}) +
                   (note.empty() ? "" : "  ") + note + "\n";
        }
    }
    out += FillMessage(N_("撤销日志共占用 {}（上限 {}），位于 {}"),
                       {Size(total), Size(kJournalCopyLimit), PathForDisplay(store.RootPath())}) +
           "\n";
    return out;
}

CForgetOutcome ForgetJournalOf(const std::string& folder) {
    CJournalStore store;
    const std::string real = RealPathOf(folder);
    const std::string key = CJournalStore::KeyOf(real.empty() ? folder : real);
    CDir journal;
    CJournalContents contents;
    if (!store.Open(JournalRootIn(UserDataFolder()), false).Ok() ||
        !store.Root().OpenChild(key, journal).Ok() || !CJournalStore::ReadLog(journal, contents)) {
        return {ForgetResult::NoJournal,
                FillMessage(N_("文件夹 {} 没有撤销日志。"), {PathForDisplay(folder)})};
    }
    const CIoResult r = store.Forget(key);
    if (r.status == IoStatus::Busy) {
        return {ForgetResult::Busy, FillMessage(N_("文件夹 {} 正在被执行或撤销，日志未删除。"),
                                                {PathForDisplay(folder)})};
    }
    if (!r.Ok()) {
        return {ForgetResult::Failed, FillMessage(N_("无法删除撤销日志 {}：{}"),
                                                  {PathForDisplay(store.RootPath() + "/" + key),
                                                   OsErrorText(r.osError)})};
    }
    return {ForgetResult::Forgotten,
            FillMessage(N_("已删除文件夹 {} 的撤销日志。"), {PathForDisplay(folder)})};
}

bool HasJournalOfLastRun(const std::string& folder) {
    const std::string root = RunJournalRoot();
    return !root.empty() && !folder.empty() && HasLastRun(root, folder);
}

bool ReadLastRunShown(const std::string& folder, CLastRunShown& shown) {
    const std::string root = RunJournalRoot();
    CJournalContents journal;
    if (root.empty() || folder.empty() || !ReadLastRun(root, folder, journal))
        return false;
    size_t files = 0;
    for (const CJournalEntry& e : journal.entries)
        files += e.kind == JournalRecord::File;
    shown.events = JournalEvents(journal, folder);
    shown.countsLine = FormatJournalLine(journal.header.startTime, files,
                                         journal.entries.size() - files, journal.finished);
    return true;
}
