#include "app/rules_document.h"

#include <algorithm>
#include <utility>

#include "app/rules_editor_texts.h"
#include "engine/report/reason_texts.h"
#include "engine/report/run_summary.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/mbcs.h"
#include "platform/name_text.h"
#include "platform/paths.h"
#include "prep/load_job_tables.h"
#include "prep/prep_messages.h"

namespace {

#ifdef _WIN32
constexpr std::string_view kNativeLineEnd = "\r\n";
#else
constexpr std::string_view kNativeLineEnd = "\n";
#endif

const CCodePage& Working() {
    return CCodePage::Working();
}

bool ToUtf8(const std::string& working, std::string& utf8) {
    if (Working().IsUtf8()) {
        utf8 = working;
        return true;
    }
    return ConvertCharset(Working().Name().c_str(), "UTF-8", working, utf8);
}

bool FromUtf8(const std::string& utf8, std::string& working) {
    if (Working().IsUtf8()) {
        working = utf8;
        return IsValidUtf8(utf8);
    }
    return ConvertCharset("UTF-8", Working().Name().c_str(), utf8, working);
}

std::string Utf8OrAsIs(const std::string& working) {
    std::string utf8;
    return ToUtf8(working, utf8) ? utf8 : working;
}

std::string Fill(const char* text, std::initializer_list<std::string> args) {
    return FillMessage(text, args);
}

// The folder and the name of a file's path, as the platform opens them.
bool SplitPath(const std::string& path, CDir& dir, CPlatformName& name, CIoResult& opened) {
    const size_t slash = path.find_last_of(kPathSeparators);
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (!PathTextToName(slash == std::string::npos ? path : path.substr(slash + 1), name)) {
        opened = {IoStatus::NotFound, 0};
        return false;
    }
    opened = CDir::OpenPath(folder, dir);
    return opened.Ok();
}

}  // namespace

std::string CRulesDocument::Load(const std::string& path) {
    m_path = path;
    m_bMissing = KindOfPath(path) == PathKind::Missing;
    std::string bytes;
    if (!m_bMissing) {
        CDir dir;
        CPlatformName name;
        CIoResult r;
        if (SplitPath(path, dir, name, r))
            r = ReadFileAt(dir, name, bytes, m_stamp, kMaxRulesFileBytes + 1);
        if (r.status == IoStatus::TooLarge)
            return FillMessage(kMsgRulesFileTooLarge, {PathForDisplay(path)});
        if (!r.Ok())
            return Fill(app_text::kCannotLoadRules,
                        {PathForDisplay(path), ReasonText(ReadReason(r.status), r.osError)});
    }
    LoadBytes(bytes);
    return {};
}

void CRulesDocument::LoadBytes(std::string_view bytes) {
    size_t markBytes = 0;
    m_charset = DetectRulesCharset(bytes, markBytes);
    m_mark = bytes.substr(0, markBytes);
    const std::string_view text = bytes.substr(markBytes);
    CTextLines lines(text, m_charset);
    m_tail = text.substr(lines.TextEnd());
    m_lines.clear();
    m_lineEnd.clear();
    std::string_view line;
    while (lines.Next(line)) {
        const size_t endAt = static_cast<size_t>(line.data() - text.data()) + line.size();
        CLine l;
        l.raw = line;
        l.end = text.substr(endAt, lines.Position() - endAt);
        if (m_lineEnd.empty())
            m_lineEnd = l.end;
        Describe(l, m_lines.size() + 1);
        m_lines.push_back(std::move(l));
    }
    if (m_lineEnd.empty())
        FileText(kNativeLineEnd, m_lineEnd);
    m_bModified = false;
    CheckRows();
}

// A line in the working code page: a rule row when it is one rule of two
// texts the run would take, else kept with what it does.
void CRulesDocument::Describe(CLine& l, size_t number) const {
    const bool asIs = m_charset == RulesCharset::Working ||
                      (m_charset == RulesCharset::Utf8 && Working().IsUtf8());
    l.bDecoded = asIs ? Working().IsValid(l.raw)
                      : Working().FromCharset(RulesCharsetName(m_charset), l.raw, l.text);
    if (asIs)
        l.text = l.raw;
    CRulesRow& row = l.row;
    row.bKept = true;
    if (!l.bDecoded) {
        row.note = Fill(app_text::kKeptBadText, {std::to_string(number), Working().Name()});
        return;
    }
    const bool replace = m_file == RulesFile::Replace;
    const std::string shown = Utf8OrAsIs(l.text);
    auto [field0, field1] = SplitRuleLine(l.text);
    switch (l.text.empty() ? -1 : CountRuleAccents(l.text)) {
        case -1:
            row.note = app_text::kKeptEmpty;
            return;
        case 0:
            row.note =
                Fill(replace ? app_text::kKeptDeletes : app_text::kKeptIgnoredNoAccent, {shown});
            return;
        case 1:
            break;
        default:
            row.note = Fill(app_text::kKeptManyAccents, {Utf8OrAsIs(field0), Utf8OrAsIs(field1)});
            return;
    }
    if (field0.empty() || (!replace && field1.empty())) {
        row.note = Fill(app_text::kKeptEmptyField, {shown});
        return;
    }
    if (replace) {
        MbsReplaceAll(Working(), field0, "^", "\n");
        MbsReplaceAll(Working(), field1, "^", "\n");
    }
    row.bKept = false;
    row.cells[0] = Utf8OrAsIs(field0);
    row.cells[1] = Utf8OrAsIs(field1);
}

bool CRulesDocument::KeptRule(const CLine& l, std::string& field0, std::string& field1) const {
    if (!l.row.bKept || !l.bDecoded)
        return false;
    std::tie(field0, field1) = SplitRuleLine(l.text);
    return !field0.empty() && (m_file == RulesFile::Replace || !field1.empty());
}

// Why a line cannot be saved, as the loader would refuse it.
std::string CRulesDocument::RowProblem(const CLine& l, size_t number, int rulesBefore) const {
    const std::string line = std::to_string(number);
    const bool replace = m_file == RulesFile::Replace;
    std::string w0, w1;
    if (l.row.bKept && !l.bDecoded)
        return FillMessage(replace ? kMsgReplaceLineBadText : kMsgRenameLineBadText,
                           {line, Working().Name()});
    if (l.row.bKept)
        return KeptRule(l, w0, w1) ? RuleProblem(m_file, w0, w1, number, rulesBefore) : "";
    if (!FromUtf8(l.row.cells[0], w0) || !FromUtf8(l.row.cells[1], w1))
        return Fill(app_text::kCellNotInCodePage, {line, Working().Name()});
    if (replace && (MbsFind(Working(), w0, "^") != std::string::npos ||
                    MbsFind(Working(), w1, "^") != std::string::npos))
        return Fill(app_text::kCellHoldsCaret, {line});
    return CellsProblem(m_file, w0, w1, number, rulesBefore);
}

// The loader's checks, line by line, counting the rules before each.
void CRulesDocument::CheckRows() {
    int rules = 0;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        CLine& l = m_lines[i];
        l.row.problem = RowProblem(l, i + 1, rules);
        std::string w0, w1;
        if (l.row.problem.empty() && (!l.row.bKept || KeptRule(l, w0, w1)))
            ++rules;
    }
}

bool CRulesDocument::FileText(std::string_view working, std::string& bytes) const {
    if (m_charset == RulesCharset::Working ||
        (m_charset == RulesCharset::Utf8 && Working().IsUtf8())) {
        // A new string moved in: g++ 12 at -O3 wrongly sees an overlapping
        // copy in assigning the view to a string in place.
        bytes = std::string(working);
        return true;
    }
    return ConvertCharset(Working().Name().c_str(), RulesCharsetName(m_charset), working, bytes);
}

bool CRulesDocument::Encode(const CRulesRow& row, std::string& bytes) const {
    std::string w0, w1;
    if (!FromUtf8(row.cells[0], w0) || !FromUtf8(row.cells[1], w1))
        return false;
    if (m_file == RulesFile::Replace) {
        MbsReplaceAll(Working(), w0, "\n", "^");
        MbsReplaceAll(Working(), w1, "\n", "^");
    }
    return FileText(w0 + "`" + w1, bytes);
}

std::string CRulesDocument::ToBytes() const {
    std::string out = m_mark;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const CLine& l = m_lines[i];
        std::string encoded;
        if (l.bEdited && Encode(l.row, encoded))
            out += encoded;
        else
            out += l.raw;
        // A line that ended the file without a break gets one when others follow it.
        out += l.end.empty() && i + 1 < m_lines.size() ? m_lineEnd : l.end;
    }
    return out + m_tail;
}

CRulesDocument::SaveOutcome CRulesDocument::Save(std::string& why) {
    if (InvalidCount() > 0) {
        why = FirstProblem();
        return SaveOutcome::Failed;
    }
    const std::string bytes = ToBytes();
    const std::string shown = PathForDisplay(m_path);
    CDir dir;
    CPlatformName name;
    CIoResult r;
    std::string now;
    CFileStamp stamp = m_stamp;
    if (m_bMissing && !CreateEmptyFile(m_path))
        r = {IoStatus::OpenFailed, 0};
    else if (SplitPath(m_path, dir, name, r) && m_bMissing)
        r = ReadFileAt(dir, name, now, stamp, 1);  // an empty file, or someone else's
    if (r.status == IoStatus::TooLarge)
        r = {IoStatus::Changed, 0};
    if (r.Ok())
        r = ReplaceFileAt(dir, name, stamp, {bytes});
    if (r.status == IoStatus::Changed || r.status == IoStatus::NotFound) {
        why = Fill(app_text::kRulesChangedElsewhere, {shown});
        return SaveOutcome::ChangedElsewhere;
    }
    if (!r.Ok()) {
        why = Fill(app_text::kCannotSaveRules, {shown, ReasonText(ReplaceReason(r), r.osError)});
        return SaveOutcome::Failed;
    }
    // The file as it is now is what the next save expects.
    if (ReadFileAt(dir, name, now, m_stamp, kMaxRulesFileBytes + 1).Ok())
        LoadBytes(now);
    m_bMissing = false;
    m_bModified = false;
    return SaveOutcome::Saved;
}

void CRulesDocument::SetCell(size_t row, int column, const std::string& utf8) {
    std::string text;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\r')
            text += utf8[i];
        else if (i + 1 >= utf8.size() || utf8[i + 1] != '\n')
            text += '\n';
    }
    CLine& l = m_lines[row];
    if (l.row.bKept || l.row.cells[column] == text)
        return;
    l.row.cells[column] = std::move(text);
    l.bEdited = true;
    m_bModified = true;
    CheckRows();
}

void CRulesDocument::InsertRule(size_t at) {
    CLine l;
    l.end = m_lineEnd;
    l.bEdited = true;
    l.bDecoded = true;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(std::min(at, m_lines.size())),
                   std::move(l));
    m_bModified = true;
    CheckRows();
}

void CRulesDocument::RemoveRow(size_t row) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(row));
    m_bModified = true;
    CheckRows();
}

bool CRulesDocument::MoveRow(size_t row, bool up) {
    if (up ? row == 0 : row + 1 >= m_lines.size())
        return false;
    std::swap(m_lines[row], m_lines[up ? row - 1 : row + 1]);
    m_bModified = true;
    CheckRows();
    return true;
}

size_t CRulesDocument::InvalidCount() const {
    return static_cast<size_t>(std::count_if(
        m_lines.begin(), m_lines.end(), [](const CLine& l) { return !l.row.problem.empty(); }));
}

std::string CRulesDocument::FirstProblem() const {
    for (const CLine& l : m_lines) {
        if (!l.row.problem.empty())
            return l.row.problem;
    }
    return {};
}

std::vector<CReplaceRuleText> CRulesDocument::Rules(bool regexFind) const {
    std::vector<CReplaceRuleText> rules;
    for (const CLine& l : m_lines) {
        std::string w0, w1;
        if (!l.row.problem.empty())
            continue;
        if (l.row.bKept ? !KeptRule(l, w0, w1)
                        : !FromUtf8(l.row.cells[0], w0) || !FromUtf8(l.row.cells[1], w1))
            continue;
        if (!l.row.bKept && m_file == RulesFile::Replace) {
            MbsReplaceAll(Working(), w0, "\n", "^");
            MbsReplaceAll(Working(), w1, "\n", "^");
        }
        if (m_file == RulesFile::Replace)
            ExpandLineBreaks(w0, w1, regexFind);
        rules.push_back({std::move(w0), std::move(w1)});
    }
    return rules;
}
