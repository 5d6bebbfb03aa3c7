#include "engine/report/run_summary.h"

#include "engine/report/name_quote.h"
#include "platform/code_page.h"
#include "platform/paths.h"

namespace {

const char* ProblemLabel(RunEventKind kind) {
    switch (kind) {
        case RunEventKind::Skipped:
            return "已跳过";
        case RunEventKind::WriteFailed:
            return "写入失败";
        case RunEventKind::RenameFailed:
            return "重命名失败";
        case RunEventKind::FolderSkipped:
            return "目录已跳过";
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
    return "已选文件 " + n(r.selected) + " 个，已改写 " + n(r.Count(RunEventKind::Rewritten)) +
           " 个，未改动 " + n(r.unchanged) + " 个，已跳过 " + n(r.Count(RunEventKind::Skipped)) +
           " 个，写入失败 " + n(r.Count(RunEventKind::WriteFailed)) + " 个；文件夹已重命名 " +
           n(r.Count(RunEventKind::Renamed)) + " 个，重命名失败 " +
           n(r.Count(RunEventKind::RenameFailed)) + " 个。" +
           (r.Count(RunEventKind::Binary) > 0
                ? "二进制文件（未改动）" + n(r.Count(RunEventKind::Binary)) + " 个。"
                : std::string()) +
           (r.linksPassedOver > 0 ? "未跟随符号链接 " + n(r.linksPassedOver) + " 个。"
                                  : std::string());
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
        text += label;
        text += "：";
        text += NameForDisplay(e.path);
        if (!e.newPath.empty())
            text += " -> " + NameForDisplay(e.newPath);
        if (!e.reason.empty())
            text += "（" + e.reason + "）";
        text += "\n";
    }
    if (total > listed)
        text += "……另有 " + std::to_string(total - listed) + " 项未列出。\n";
    return text;
}
