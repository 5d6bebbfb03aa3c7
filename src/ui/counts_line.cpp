#include "ui/counts_line.h"

#include "engine/run_state.h"
#include "ui/ui_texts.h"

namespace {

QString Part(const char* format, long long value) {
    return QString::fromUtf8(format).arg(GroupedNumber(value));
}

QString PartIfAny(const char* format, long long value) {
    return value > 0 ? Part(format, value) : QString();
}

}  // namespace

QString GroupedNumber(long long value) {
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString FormatCountsLine(const CRunResult& r, double seconds, bool preview) {
    QString line;
    if (r.stopped)
        line +=
            QString::fromUtf8(ui_text::kCountsStopped) + Part(ui_text::kCountsHandled, r.selected);
    line += Part(preview ? ui_text::kCountsWouldRewrite : ui_text::kCountsRewritten,
                 r.Count(RunEventKind::Rewritten));
    line += PartIfAny(ui_text::kCountsUnchanged, r.unchanged);
    line += Part(ui_text::kCountsSkipped, r.Count(RunEventKind::Skipped));
    line += PartIfAny(ui_text::kCountsWriteFailed, r.Count(RunEventKind::WriteFailed));
    const int renameFailed = r.Count(RunEventKind::RenameFailed);
    if (r.Count(RunEventKind::Renamed) > 0 || renameFailed > 0)
        line += Part(preview ? ui_text::kCountsWouldRename : ui_text::kCountsRenamed,
                     r.Count(RunEventKind::Renamed));
    line += PartIfAny(ui_text::kCountsRenameFailed, renameFailed);
    line += PartIfAny(ui_text::kCountsFolderSkipped, r.Count(RunEventKind::FolderSkipped));
    line += PartIfAny(ui_text::kCountsLinks, r.linksPassedOver);
    line += QString::fromUtf8(ui_text::kCountsTime).arg(seconds, 0, 'f', 1);
    return line;
}
