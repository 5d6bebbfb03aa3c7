#include "ui/counts_line.h"

#include <QDateTime>

#include "engine/run/run_state.h"
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

namespace {

// The parts of the line that differ between a run, a preview and an undo.
struct CCountsTexts {
    const char* rewritten;
    const char* unchanged;
    const char* skipped;
    const char* renamed;
    const char* renameFailed;
};

constexpr CCountsTexts kCountsTexts[] = {
    {ui_text::kCountsRewritten, ui_text::kCountsUnchanged, ui_text::kCountsSkipped,
     ui_text::kCountsRenamed, ui_text::kCountsRenameFailed},
    {ui_text::kCountsWouldRewrite, ui_text::kCountsUnchanged, ui_text::kCountsSkipped,
     ui_text::kCountsWouldRename, ui_text::kCountsRenameFailed},
    {ui_text::kCountsRestored, ui_text::kCountsNothingToRestore, ui_text::kCountsNotRestored,
     ui_text::kCountsRenamedBack, ui_text::kCountsNotRenamedBack},
};

}  // namespace

QString FormatCountsLine(const CRunResult& r, double seconds, ResultsKind kind) {
    const CCountsTexts& t = kCountsTexts[static_cast<int>(kind)];
    QString line;
    if (r.stopped)
        line +=
            QString::fromUtf8(ui_text::kCountsStopped) + Part(ui_text::kCountsHandled, r.selected);
    line += Part(t.rewritten, r.Count(RunEventKind::Rewritten));
    line += PartIfAny(t.unchanged, r.unchanged);
    line += Part(t.skipped, r.Count(RunEventKind::Skipped));
    line += PartIfAny(ui_text::kCountsWriteFailed, r.Count(RunEventKind::WriteFailed));
    const int renameFailed = r.Count(RunEventKind::RenameFailed);
    if (r.Count(RunEventKind::Renamed) > 0 || renameFailed > 0)
        line += Part(t.renamed, r.Count(RunEventKind::Renamed));
    line += PartIfAny(t.renameFailed, renameFailed);
    line += PartIfAny(ui_text::kCountsFolderSkipped, r.Count(RunEventKind::FolderSkipped));
    line += PartIfAny(ui_text::kCountsLinks, r.linksPassedOver);
    line += QString::fromUtf8(ui_text::kCountsTime).arg(seconds, 0, 'f', 1);
    return line;
}

QString FormatJournalLine(std::int64_t startTime, size_t files, size_t folders, bool finished) {
    const QString when =
        QDateTime::fromSecsSinceEpoch(startTime).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString line = QString::fromUtf8(ui_text::kJournalWhen).arg(when);
    line += Part(ui_text::kCountsRewritten, static_cast<long long>(files));
    line += PartIfAny(ui_text::kCountsRenamed, static_cast<long long>(folders));
    if (!finished)
        line += QString::fromUtf8(ui_text::kJournalInterrupted);
    return line;
}
