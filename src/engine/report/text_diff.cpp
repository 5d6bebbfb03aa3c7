#include "engine/report/text_diff.h"

#include <algorithm>
#include <cstdint>

#include "platform/code_page.h"

namespace {

struct CLineRef {
    std::u16string_view text;
    std::u16string_view lineBreak;
    std::uint64_t hash = 0;

    bool operator==(const CLineRef& other) const {
        return hash == other.hash && text == other.text && lineBreak == other.lineBreak;
    }
};

enum class Op : char { Equal, Delete, Insert };

// Beyond this many inserted plus deleted lines the shortest edit script
// costs too much time and memory; the lines are then matched by position.
constexpr int kMaxEdits = 2000;

std::vector<CLineRef> SplitLines(std::u16string_view text) {
    std::vector<CLineRef> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find(u'\n', start);
        size_t end = lf == std::u16string_view::npos ? text.size() : lf;
        const size_t next = lf == std::u16string_view::npos ? text.size() : lf + 1;
        if (lf != std::u16string_view::npos && end > start && text[end - 1] == u'\r')
            --end;
        CLineRef line{text.substr(start, end - start), text.substr(end, next - end)};
        std::uint64_t h = 1469598103934665603ull;
        for (const char16_t unit : text.substr(start, next - start))
            h = (h ^ unit) * 1099511628211ull;
        line.hash = h;
        lines.push_back(line);
        start = next;
    }
    return lines;
}

// The shortest edit script from a to b (Myers), or false when it needs more
// than kMaxEdits steps.
bool ShortestEdit(const CLineRef* a, int n, const CLineRef* b, int m, std::vector<Op>& ops) {
    const int maxD = std::min(n + m, kMaxEdits);
    const int offset = maxD + 1;
    std::vector<int> v(2 * static_cast<size_t>(maxD) + 3, 0);
    std::vector<std::vector<int>> trace;  // v[-d-1 .. d+1] as it was before step d
    for (int d = 0; d <= maxD; ++d) {
        trace.emplace_back(v.begin() + offset - d - 1, v.begin() + offset + d + 2);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                        ? v[offset + k + 1]
                        : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y])
                ++x, ++y;
            v[offset + k] = x;
            if (x < n || y < m)
                continue;
            // Walk back from the end through the saved steps.
            std::vector<Op> reversed;
            for (int step = d; step >= 0; --step) {
                const std::vector<int>& prev = trace[step];
                const auto at = [&](int kk) { return prev[kk + step + 1]; };
                const int kk = x - y;
                const bool down = kk == -step || (kk != step && at(kk - 1) < at(kk + 1));
                const int prevK = step == 0 ? 0 : down ? kk + 1 : kk - 1;
                const int prevX = step == 0 ? 0 : at(prevK);
                const int prevY = prevX - prevK;
                while (x > prevX && y > prevY)
                    reversed.push_back(Op::Equal), --x, --y;
                if (step > 0)
                    reversed.push_back(down ? Op::Insert : Op::Delete);
                x = prevX, y = prevY;
            }
            ops.insert(ops.end(), reversed.rbegin(), reversed.rend());
            return true;
        }
    }
    return false;
}

// Lines matched by position: what a run of rules that keeps the number of
// lines does; otherwise all old lines replaced by all new ones.
void EditByPosition(const CLineRef* a, int n, const CLineRef* b, int m, std::vector<Op>& ops) {
    if (n != m) {
        ops.insert(ops.end(), static_cast<size_t>(n), Op::Delete);
        ops.insert(ops.end(), static_cast<size_t>(m), Op::Insert);
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (a[i] == b[i]) {
            ops.push_back(Op::Equal);
        } else {
            ops.push_back(Op::Delete);
            ops.push_back(Op::Insert);
        }
    }
}

std::vector<Op> EditScript(const std::vector<CLineRef>& a, const std::vector<CLineRef>& b) {
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    std::vector<Op> ops(head, Op::Equal);
    const int n = static_cast<int>(a.size() - head - tail);
    const int m = static_cast<int>(b.size() - head - tail);
    if (!ShortestEdit(a.data() + head, n, b.data() + head, m, ops))
        EditByPosition(a.data() + head, n, b.data() + head, m, ops);
    ops.insert(ops.end(), tail, Op::Equal);
    return ops;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

CDiffLine MakeLine(DiffLineKind kind, const CLineRef& ref) {
    CDiffLine line;
    line.kind = kind;
    line.text = ref.text;
    line.lineBreak = ref.lineBreak;
    if (kind != DiffLineKind::Context && !ref.text.empty())
        line.spans.push_back({0, ref.text.size()});
    return line;
}

// A word (letters, digits and '_', Latin, Greek and Cyrillic included) or a
// single other character (a surrogate pair whole): the unit in which two
// paired lines are compared, so that two replacements in one line are marked
// apart and the unchanged text between them is not.
std::vector<CDiffSpan> Tokens(std::u16string_view text) {
    const auto isWord = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
               c == u'_' || (c >= 0xC0 && c <= 0x52F && c != 0xD7 && c != 0xF7);
    };
    std::vector<CDiffSpan> tokens;
    for (size_t i = 0; i < text.size();) {
        size_t end = i + 1;
        if (isWord(text[i])) {
            while (end < text.size() && isWord(text[end]))
                ++end;
        } else if (IsHighSurrogate(text[i]) && end < text.size() && IsLowSurrogate(text[end])) {
            ++end;
        }
        tokens.push_back({i, end - i});
        i = end;
    }
    return tokens;
}

// Marks a[aFrom, aTo) and b[bFrom, bTo), a changed stretch of two paired
// lines, without the characters the two have in common at either end and
// never splitting a surrogate pair.
void MarkStretch(std::u16string_view a, size_t aFrom, size_t aTo, std::u16string_view b,
                 size_t bFrom, size_t bTo, CDiffLine& removed, CDiffLine& added) {
    size_t head = 0;
    while (aFrom + head < aTo && bFrom + head < bTo && a[aFrom + head] == b[bFrom + head])
        ++head;
    if (head > 0 && IsHighSurrogate(a[aFrom + head - 1]))
        --head;
    size_t tail = 0;
    while (tail < aTo - aFrom - head && tail < bTo - bFrom - head &&
           a[aTo - 1 - tail] == b[bTo - 1 - tail])
        ++tail;
    if (tail > 0 && IsLowSurrogate(a[aTo - tail]))
        --tail;
    if (aTo - aFrom > head + tail)
        removed.spans.push_back({aFrom + head, aTo - aFrom - head - tail});
    if (bTo - bFrom > head + tail)
        added.spans.push_back({bFrom + head, bTo - bFrom - head - tail});
}

// Beyond this many token pairs a line pair is marked as one stretch.
constexpr size_t kMaxTokenPairs = 1u << 20;

// The changed parts of two paired lines: their tokens are matched by the
// longest common subsequence, and each stretch between matched tokens is marked.
void MarkPair(CDiffLine& removed, CDiffLine& added) {
    const std::u16string_view a = removed.text, b = added.text;
    removed.spans.clear();
    added.spans.clear();
    removed.breakChanged = added.breakChanged = removed.lineBreak != added.lineBreak;
    const std::vector<CDiffSpan> ta = Tokens(a), tb = Tokens(b);
    const size_t n = ta.size(), m = tb.size();
    if (n * m > kMaxTokenPairs) {
        MarkStretch(a, 0, a.size(), b, 0, b.size(), removed, added);
        return;
    }
    const auto same = [&](size_t i, size_t j) {
        return a.substr(ta[i].offset, ta[i].length) == b.substr(tb[j].offset, tb[j].length);
    };
    // common[i][j]: the longest common subsequence of ta[i..] and tb[j..].
    std::vector<std::uint32_t> common((n + 1) * (m + 1), 0);
    const auto at = [&](size_t i, size_t j) -> std::uint32_t& { return common[i * (m + 1) + j]; };
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            at(i, j) = same(i, j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    size_t i = 0, j = 0, si = 0, sj = 0;  // si, sj: where the current stretch began
    const auto offsetA = [&](size_t k) { return k < n ? ta[k].offset : a.size(); };
    const auto offsetB = [&](size_t k) { return k < m ? tb[k].offset : b.size(); };
    while (i < n || j < m) {
        if (i < n && j < m && same(i, j)) {
            if (si < i || sj < j)
                MarkStretch(a, offsetA(si), offsetA(i), b, offsetB(sj), offsetB(j), removed, added);
            si = ++i;
            sj = ++j;
        } else if (j == m || (i < n && at(i + 1, j) >= at(i, j + 1))) {
            ++i;
        } else {
            ++j;
        }
    }
    if (si < n || sj < m)
        MarkStretch(a, offsetA(si), a.size(), b, offsetB(sj), b.size(), removed, added);
}

struct CCursor {
    size_t op = 0;
    size_t oldLine = 0;  // from 0
    size_t newLine = 0;
};

// One hunk from ops[from, to); the cursor stands at from.
CDiffHunk MakeHunk(const std::vector<Op>& ops, size_t to, CCursor& at,
                   const std::vector<CLineRef>& a, const std::vector<CLineRef>& b) {
    CDiffHunk hunk;
    hunk.oldStart = at.oldLine + 1;
    hunk.newStart = at.newLine + 1;
    while (at.op < to) {
        if (ops[at.op] == Op::Equal) {
            hunk.lines.push_back(MakeLine(DiffLineKind::Context, a[at.oldLine]));
            ++at.op, ++at.oldLine, ++at.newLine;
            continue;
        }
        std::vector<CDiffLine> removed, added;
        for (; at.op < to && ops[at.op] != Op::Equal; ++at.op) {
            if (ops[at.op] == Op::Delete)
                removed.push_back(MakeLine(DiffLineKind::Removed, a[at.oldLine++]));
            else
                added.push_back(MakeLine(DiffLineKind::Added, b[at.newLine++]));
        }
        for (size_t i = 0; i < removed.size() && i < added.size(); ++i)
            MarkPair(removed[i], added[i]);
        for (std::vector<CDiffLine>* part : {&removed, &added})
            std::move(part->begin(), part->end(), std::back_inserter(hunk.lines));
    }
    hunk.oldCount = at.oldLine + 1 - hunk.oldStart;
    hunk.newCount = at.newLine + 1 - hunk.newStart;
    if (hunk.oldCount == 0)
        --hunk.oldStart;
    if (hunk.newCount == 0)
        --hunk.newStart;
    return hunk;
}

}  // namespace

std::vector<CDiffHunk> DiffTexts(std::u16string_view oldText, std::u16string_view newText,
                                 size_t context) {
    const std::vector<CLineRef> a = SplitLines(oldText), b = SplitLines(newText);
    const std::vector<Op> ops = EditScript(a, b);
    std::vector<CDiffHunk> hunks;
    CCursor at;
    size_t op = 0;
    while (op < ops.size()) {
        while (op < ops.size() && ops[op] == Op::Equal)
            ++op;
        if (op == ops.size())
            break;
        // The hunk starts context lines before its first change and runs on
        // while the next change is at most two contexts away.
        const size_t first = op >= context ? op - context : 0;
        size_t end = op;
        for (;;) {
            while (end < ops.size() && ops[end] != Op::Equal)
                ++end;
            size_t equal = end;
            while (equal < ops.size() && ops[equal] == Op::Equal)
                ++equal;
            if (equal == ops.size() || equal - end > 2 * context) {
                end = std::min(end + context, equal);
                break;
            }
            end = equal;
        }
        while (at.op < first) {
            if (ops[at.op] != Op::Insert)
                ++at.oldLine;
            if (ops[at.op] != Op::Delete)
                ++at.newLine;
            ++at.op;
        }
        hunks.push_back(MakeHunk(ops, end, at, a, b));
        op = end;
    }
    return hunks;
}

bool DiffWorkingTexts(const CCodePage& cp, std::string_view oldText, std::string_view newText,
                      std::vector<CDiffHunk>& hunks, size_t context) {
    std::u16string a, b;
    if (!cp.ToUtf16(oldText, a) || !cp.ToUtf16(newText, b))
        return false;
    hunks = DiffTexts(a, b, context);
    return true;
}
