#include "app/results_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/app_texts.h"
#include "engine/report/run_summary.h"
#include "platform/paths.h"

const char* ResultKindLabel(RunKind jobKind, RunEventKind kind) {
    // Rows of a run, of a preview and of an undo, by RunEventKind.
    static constexpr const char* kLabels[3][kRunEventKinds] = {
        {app_text::kKindRewritten, app_text::kKindSkipped, app_text::kKindWriteFailed,
         app_text::kKindRenamed, app_text::kKindRenameFailed, app_text::kKindFolderSkipped,
         app_text::kKindBinary, app_text::kKindLink},
        {app_text::kKindWouldRewrite, app_text::kKindSkipped, app_text::kKindWriteFailed,
         app_text::kKindWouldRename, app_text::kKindRenameFailed, app_text::kKindFolderSkipped,
         app_text::kKindBinary, app_text::kKindLink},
        {app_text::kKindRestored, app_text::kKindNotRestored, app_text::kKindWriteFailed,
         app_text::kKindRenamedBack, app_text::kKindNotRenamedBack, app_text::kKindFolderSkipped,
         app_text::kKindBinary, app_text::kKindLink},
    };
    return kLabels[static_cast<int>(jobKind)][static_cast<int>(kind)];
}

std::string ResultDetailText(const CRunEvent& e) {
    std::string detail;
    if (!e.newPath.empty())
        detail = "-> " + NameForDisplay(e.newPath);
    if (!e.reason.empty())
        detail += (detail.empty() ? "" : " ") + e.reason;
    return detail;
}

std::string ResultRowText(RunKind jobKind, const CRunEvent& e) {
    std::string text =
        ResultKindLabel(jobKind, e.kind) + std::string("：") + NameForDisplay(e.path);
    if (!e.newPath.empty())
        text += " -> " + NameForDisplay(e.newPath);
    if (!e.reason.empty())
        text += "（" + e.reason + "）";
    return text;
}

bool IsFileEvent(RunEventKind kind) {
    return kind == RunEventKind::Rewritten || kind == RunEventKind::Skipped ||
           kind == RunEventKind::WriteFailed || kind == RunEventKind::Binary;
}

std::string ParentFolderOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && kPathSeparators.find(trimmed.back()) != std::string_view::npos)
        trimmed.pop_back();
    const size_t cut = trimmed.find_last_of(kPathSeparators);
    if (cut == std::string::npos)
        return ".";
    // The root keeps its separator ("/", "C:\").
    const bool root = cut == 0 || (cut == 2 && trimmed[1] == ':');
    return trimmed.substr(0, root ? cut + 1 : cut);
}

std::string ShownResultPath(const std::string& folder, const std::string& path) {
    const bool below = !folder.empty() && path.size() > folder.size() &&
                       path.compare(0, folder.size(), folder) == 0;
    return NameForDisplay(below ? path.substr(folder.size()) : path);
}

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The code point starting at text[at] and its length; a byte that starts no
// valid sequence stands for itself.
std::pair<std::uint32_t, size_t> CodePointAt(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 1;
    if (length == 1 || at + length > text.size())
        return {lead, 1};
    std::uint32_t cp = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return {lead, 1};
        cp = (cp << 6) | (byte(at + i) & 0x3F);
    }
    return {cp, length};
}

// East Asian wide characters take two columns.
size_t ColumnsOf(std::uint32_t cp) {
    const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                      (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                      (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                      (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x20000;
    return wide ? 2 : 1;
}

}  // namespace

std::string ResultFilterEntry(RunKind jobKind, int kind, size_t count) {
    std::string text = app_text::kFilterCount;
    text.replace(text.find("%2"), 2, std::to_string(count));
    text.replace(
        text.find("%1"), 2,
        kind < 0 ? app_text::kKindAll : ResultKindLabel(jobKind, static_cast<RunEventKind>(kind)));
    return text;
}

namespace {

// Paths as the bytes of their names go, a separator before any other byte:
// a folder's entries follow it together ("a\\x" before "a0" on Windows too).
// Equal bytes are passed over eight at a time: the paths of one run share
// the chosen folder, and a list of many is sorted and merged as it fills.
bool PathLess(const std::string& a, const std::string& b) {
    const auto rank = [](char c) {
        return kPathSeparators.find(c) != std::string_view::npos
                   ? 0
                   : static_cast<unsigned char>(c) + 1;
    };
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (std::uint64_t x = 0, y = 0; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            break;
    }
    for (; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        if (const int ra = rank(a[i]), rb = rank(b[i]); ra != rb)
            return ra < rb;
    }
    return a.size() < b.size();
}

}  // namespace

bool ResultLess(ResultColumn column, const CRunEvent& a, const CRunEvent& b) {
    switch (column) {
        case ResultColumn::Kind:
            if (a.kind != b.kind)
                return static_cast<int>(a.kind) < static_cast<int>(b.kind);
            return PathLess(a.path, b.path);
        case ResultColumn::Replacements:
            return a.replacements < b.replacements;
        case ResultColumn::Detail:
            return ResultDetailText(a) < ResultDetailText(b);
        case ResultColumn::Path:
            break;
    }
    return PathLess(a.path, b.path);
}

bool HoldsText(const std::string& text, const std::string& search) {
    const auto same = [](char x, char y) { return AsciiLower(x) == AsciiLower(y); };
    return std::search(text.begin(), text.end(), search.begin(), search.end(), same) != text.end();
}

std::string ElideMiddle(const std::string& text, size_t width) {
    std::vector<std::pair<size_t, size_t>> chars;  // (byte offset, columns)
    size_t total = 0;
    for (size_t at = 0; at < text.size();) {
        const auto [cp, length] = CodePointAt(text, at);
        chars.emplace_back(at, ColumnsOf(cp));
        total += chars.back().second;
        at += length;
    }
    if (total <= width)
        return text;
    // "…" may be drawn wide in an East Asian font: two columns.
    const size_t room = width > 2 ? width - 2 : 0, headRoom = room / 2;
    size_t head = 0, used = 0;
    while (head < chars.size() && used + chars[head].second <= headRoom)
        used += chars[head++].second;
    size_t tail = chars.size();
    while (tail > head && used + chars[tail - 1].second <= room)
        used += chars[--tail].second;
    const size_t headEnd = head < chars.size() ? chars[head].first : text.size();
    const size_t tailStart = tail < chars.size() ? chars[tail].first : text.size();
    return text.substr(0, headEnd) + "…" + text.substr(tailStart);
}

std::vector<std::string> KeptFiles(RunKind jobKind, const std::vector<CRunEvent>& events,
                                   const std::vector<bool>& unchecked, const std::string& folder,
                                   size_t& leftOut) {
    std::vector<std::string> files;
    leftOut = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        const CRunEvent& e = events[i];
        if (!IsCheckableRow(jobKind, e.kind) || e.path.compare(0, folder.size(), folder) != 0)
            continue;
        if (i < unchecked.size() && unchecked[i])
            ++leftOut;
        else
            files.push_back(e.path.substr(folder.size()));
    }
    return files;
}

void CResultsList::Reset(RunKind kind, const std::string& folder) {
    m_events = {};
    m_shown = {};
    m_unchecked = {};
    m_counts.fill(0);
    m_filter = -1;
    m_search.clear();
    m_kind = kind;
    m_folder = folder;
}

bool CResultsList::Shows(const CRunEvent& e) const {
    return (m_filter < 0 || static_cast<int>(e.kind) == m_filter) &&
           (m_search.empty() || HoldsText(ShownResultPath(m_folder, e.path), m_search));
}

bool CResultsList::Before(size_t i, size_t j) const {
    const CRunEvent& a = m_events[m_bAscending ? i : j];
    const CRunEvent& b = m_events[m_bAscending ? j : i];
    if (ResultLess(m_sortColumn, a, b))
        return true;
    return !ResultLess(m_sortColumn, b, a) && i < j;
}

// The new rows are sorted among themselves and merged in: no re-sort of
// the rows already there.
void CResultsList::Append(const std::vector<CRunEvent>& events) {
    const size_t old = m_shown.size();
    for (const CRunEvent& e : events) {
        ++m_counts[static_cast<size_t>(e.kind)];
        if (Shows(e))
            m_shown.push_back(m_events.size());
        m_events.push_back(e);
    }
    m_unchecked.resize(m_events.size());
    const auto before = [this](size_t i, size_t j) { return Before(i, j); };
    const auto middle = m_shown.begin() + static_cast<std::ptrdiff_t>(old);
    std::sort(middle, m_shown.end(), before);
    std::inplace_merge(m_shown.begin(), middle, m_shown.end(), before);
}

void CResultsList::Refill() {
    m_shown.clear();
    for (size_t i = 0; i < m_events.size(); ++i) {
        if (Shows(m_events[i]))
            m_shown.push_back(i);
    }
    std::sort(m_shown.begin(), m_shown.end(), [this](size_t i, size_t j) { return Before(i, j); });
}

void CResultsList::SetFilter(int kind) {
    m_filter = kind;
    Refill();
}

void CResultsList::SetSearch(const std::string& text) {
    m_search = text;
    Refill();
}

void CResultsList::SortBy(ResultColumn column, bool ascending) {
    m_sortColumn = column;
    m_bAscending = ascending;
    Refill();
}

size_t CResultsList::CountOf(int kind) const {
    return kind < 0 ? m_events.size() : m_counts[static_cast<size_t>(kind)];
}

std::string CResultsList::FilterEntryText(int kind) const {
    return ResultFilterEntry(m_kind, kind, CountOf(kind));
}

std::string CResultsList::KindText(size_t row) const {
    return ResultKindLabel(m_kind, Event(row).kind);
}

std::string CResultsList::PathText(size_t row) const {
    return ShownResultPath(m_folder, Event(row).path);
}

std::string CResultsList::ReplacementsText(size_t row) const {
    const int n = Event(row).replacements;
    return n > 0 ? std::to_string(n) : std::string();
}

std::string CResultsList::DetailText(size_t row) const {
    CRunEvent shown = Event(row);
    if (!shown.newPath.empty())
        shown.newPath = ShownResultPath(m_folder, shown.newPath);
    std::string detail;
    if (!shown.newPath.empty())
        detail = "-> " + shown.newPath;
    if (!shown.reason.empty())
        detail += (detail.empty() ? "" : " ") + shown.reason;
    return detail;
}

std::string CResultsList::FullPathText(size_t row) const {
    return NameForDisplay(Event(row).path);
}

std::string CResultsList::OpenablePath(size_t row) const {
    const CRunEvent& e = Event(row);
    const bool renamed = e.kind == RunEventKind::Renamed && m_kind == RunKind::Run;
    return renamed ? e.newPath : e.path;
}

std::string CResultsList::RowText(size_t row) const {
    return ResultRowText(m_kind, Event(row));
}

std::string CResultsList::ListText(const std::string& counts) const {
    std::string text = counts.empty() ? std::string() : counts + "\n";
    for (size_t row = 0; row < Rows(); ++row)
        text += RowText(row) + "\n";
    return text;
}
