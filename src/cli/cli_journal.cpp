#include "cli/cli_journal.h"

#include <cstdio>

#include "cli/cli_job.h"
#include "cli/console_host.h"
#include "engine/journal/journal_store.h"
#include "engine/report/name_quote.h"
#include "engine/report/run_summary.h"
#include "platform/journal_files.h"
#include "platform/local_time.h"
#include "service/user_folders.h"

namespace {

std::string Size(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

// What a journal's folder is doing now, or why its journal cannot be undone.
std::string StateNote(const CJournalInfo& info) {
    if (info.busy)
        return "  （正在执行）";
    if (info.contents.damagedLine != 0)
        return "  （日志已损坏，第 " + std::to_string(info.contents.damagedLine) + " 行）";
    return info.contents.finished ? "" : "  （执行被中断）";
}

}  // namespace

int ListJournals() {
    CJournalStore store;
    std::string out;
    std::uint64_t total = 0;
    if (store.Open(JournalRootIn(UserDataFolder()), false).Ok()) {
        for (const CJournalInfo& info : store.List()) {
            size_t files = 0, folders = 0;
            for (const CJournalEntry& e : info.contents.entries)
                ++(e.kind == JournalRecord::File ? files : folders);
            total += info.copyBytes;
            out += PathForDisplay(QuoteName(info.folder)) + "\n    " +
                   LocalTimeText(info.contents.header.startTime) + "  " +
                   info.contents.header.options + "  文件 " + std::to_string(files) +
                   " 个，文件夹 " + std::to_string(folders) + " 个，副本 " + Size(info.copyBytes) +
                   StateNote(info) + "\n";
        }
    }
    out += "撤销日志共占用 " + Size(total) + "（上限 " + Size(kJournalCopyLimit) + "），位于 " +
           PathForDisplay(store.RootPath()) + "\n";
    WriteLocaleText(stdout, out);
    return kExitClean;
}

int ForgetJournal(const std::string& folder) {
    CJournalStore store;
    const std::string real = RealPathOf(folder);
    const std::string key = CJournalStore::KeyOf(real.empty() ? folder : real);
    CDir journal;
    CJournalContents contents;
    if (!store.Open(JournalRootIn(UserDataFolder()), false).Ok() ||
        !store.Root().OpenChild(key, journal).Ok() || !CJournalStore::ReadLog(journal, contents)) {
        WriteLocaleText(stderr, "vexa-cli: 文件夹 " + PathForDisplay(folder) + " 没有撤销日志。\n");
        return kExitRefused;
    }
    const CIoResult r = store.Forget(key);
    if (r.status == IoStatus::Busy) {
        WriteLocaleText(stderr, "vexa-cli: 文件夹 " + PathForDisplay(folder) +
                                    " 正在被执行或撤销，日志未删除。\n");
        return kExitRefused;
    }
    if (!r.Ok()) {
        WriteLocaleText(stderr, "vexa-cli: 无法删除撤销日志：" + OsErrorText(r.osError) + "\n");
        return kExitProblems;
    }
    WriteLocaleText(stderr, "已删除文件夹 " + PathForDisplay(folder) + " 的撤销日志。\n");
    return kExitClean;
}
