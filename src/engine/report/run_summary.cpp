#include "engine/report/run_summary.h"

#include "engine/report/name_quote.h"
#include "platform/code_page.h"
#include "platform/message_catalog.h"
#include "platform/paths.h"

namespace {

const char* ProblemLabel(RunEventKind kind) {
    switch (kind) {
        case RunEventKind::Skipped:
            return N_("已跳过");
        case RunEventKind::WriteFailed:
            return N_("写入失败");
        case RunEventKind::RenameFailed:
            return N_("重命名失败");
        case RunEventKind::FolderSkipped:
            return N_("目录已跳过");
        case RunEventKind::Rewritten:
        case RunEventKind::Renamed:
        case RunEventKind::Binary:
        case RunEventKind::LinkPassedOver:
            break;
    }
    return nullptr;
}

}  // namespace

std::string PathForDisplay(const std::string& workingPath) {
    const CCodePage& cp = CCodePage::Working();
    if (cp.IsUtf8() || kPathTextIsUtf8)
        return workingPath;
    std::string utf8;
    return ConvertCharset(cp.Name().c_str(), "UTF-8", workingPath, utf8) ? utf8 : workingPath;
}

std::string NameForDisplay(const std::string& workingPath) {
    return PathForDisplay(QuoteName(workingPath));
}

std::string FormatRunCounts(const CRunResult& r) {
    auto n = [](int value) { return std::to_string(value); };
    std::string line =
        FillMessage(N_("已选文件 {} 个，已改写 {} 个，未改动 {} 个，已跳过 {} 个，写入失败 {} 个；"
                       "文件夹已重命名 {} 个，重命名失败 {} 个。"),
                    {n(r.selected), n(r.Count(RunEventKind::Rewritten)), n(r.unchanged),
                     n(r.Count(RunEventKind::Skipped)), n(r.Count(RunEventKind::WriteFailed)),
                     n(r.Count(RunEventKind::Renamed)), n(r.Count(RunEventKind::RenameFailed))});
    if (r.Count(RunEventKind::Binary) > 0)
        line += FillMessage(N_("二进制文件（未改动）{} 个。"), {n(r.Count(RunEventKind::Binary))});
    if (r.linksPassedOver > 0)
        line += FillMessage(N_("未跟随符号链接 {} 个。"), {n(r.linksPassedOver)});
    return line;
}

std::string FormatRunProblems(const CRunResult& result, size_t maxListed) {
    std::string text = result.failure.empty() ? std::string() : result.failure + "\n";
    size_t listed = 0;
    size_t total = 0;
    for (const CRunEvent& e : result.events) {
        const char* label = ProblemLabel(e.kind);
        if (!label)
            continue;
        ++total;
        if (listed == maxListed)
            continue;
        ++listed;
        std::string names = NameForDisplay(e.path);
        if (!e.newPath.empty())
            names += " -> " + NameForDisplay(e.newPath);
        text += e.reason.empty() ? FillMessage(N_("{}：{}"), {Tr(label), names})
                                 : FillMessage(N_("{}：{}（{}）"), {Tr(label), names, e.reason});
        text += "\n";
    }
    if (total > listed)
        text += FillMessage(N_("……另有 {} 项未列出。"), {std::to_string(total - listed)}) + "\n";
    return text;
}
