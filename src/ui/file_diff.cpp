#include "ui/file_diff.h"

#include <QFontDatabase>
#include <QTextCursor>
#include <QTextEdit>

namespace {

struct CLineColours {
    QColor line;
    QColor span;
};

QString Units(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString BreakMark(const std::u16string& lineBreak) {
    QString marks;
    for (char16_t u : lineBreak)
        marks += u == u'\r' ? QChar(0x240D) : QChar(0x240A);
    return marks;
}

void InsertLine(QTextCursor& cursor, const CDiffLine& line, const QTextCharFormat& base) {
    static const CLineColours removed{QColor(0xff, 0xeb, 0xe9), QColor(0xff, 0xb0, 0xa8)};
    static const CLineColours added{QColor(0xe6, 0xff, 0xec), QColor(0x9b, 0xe9, 0xa8)};
    const bool context = line.kind == DiffLineKind::Context;
    const CLineColours& colours = line.kind == DiffLineKind::Removed ? removed : added;
    QTextCharFormat plain = base;
    QTextCharFormat marked = base;
    if (!context) {
        plain.setBackground(colours.line);
        marked.setBackground(colours.span);
    }
    cursor.insertText(context                              ? QStringLiteral(" ")
                      : line.kind == DiffLineKind::Removed ? QStringLiteral("-")
                                                           : QStringLiteral("+"),
                      plain);
    size_t at = 0;
    for (const CDiffSpan& span : line.spans) {
        cursor.insertText(Units(std::u16string_view(line.text).substr(at, span.offset - at)),
                          plain);
        cursor.insertText(Units(std::u16string_view(line.text).substr(span.offset, span.length)),
                          marked);
        at = span.offset + span.length;
    }
    cursor.insertText(Units(std::u16string_view(line.text).substr(std::min(at, line.text.size()))),
                      plain);
    if (line.breakChanged)
        cursor.insertText(BreakMark(line.lineBreak), marked);
    cursor.insertText(QStringLiteral("\n"), base);
}

}  // namespace

void ShowDiff(QTextEdit* view, const std::vector<CDiffHunk>& hunks) {
    view->clear();
    QTextCursor cursor(view->document());
    QTextCharFormat base;
    base.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QTextCharFormat header = base;
    header.setForeground(QColor(0x57, 0x60, 0x6a));
    for (const CDiffHunk& hunk : hunks) {
        cursor.insertText(QStringLiteral("@@ -%1,%2 +%3,%4 @@\n")
                              .arg(hunk.oldStart)
                              .arg(hunk.oldCount)
                              .arg(hunk.newStart)
                              .arg(hunk.newCount),
                          header);
        for (const CDiffLine& line : hunk.lines)
            InsertLine(cursor, line, base);
    }
    view->moveCursor(QTextCursor::Start);
}
