#include "engine/journal/journal_format.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_map>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

constexpr std::string_view kVersion = "V2";
constexpr std::string_view kVersion1 = "V1";
constexpr std::string_view kHashMark = "\t#";

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7f || c == '%';
}

std::string Escape(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (!NeedsEscape(c)) {
            out += ch;
            continue;
        }
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", c);
        out += hex;
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size())
            return false;
        const auto r = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (r.ptr != text.data() + i + 3)
            return false;
        out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Fields joined by tabs, then the hash of that text.
class CLine {
  public:
    explicit CLine(std::string_view kind) : m_text(kind) {}
    CLine& Add(std::string_view text) {
        m_text += '\t';
        m_text += Escape(text);
        return *this;
    }
    CLine& Add(std::uint64_t value) { return Raw(std::to_string(value)); }
    CLine& AddSigned(std::int64_t value) { return Raw(std::to_string(value)); }
    CLine& Add(const CNodeId& id) { return Add(id.dev).Add(id.ino); }
    CLine& AddHex(std::uint64_t value) { return Raw(Hex(value)); }
    std::string Done() const {
        return m_text + std::string(kHashMark) + Hex(Hash64(m_text)) + "\n";
    }

  private:
    CLine& Raw(const std::string& text) {
        m_text += '\t';
        m_text += text;
        return *this;
    }
    std::string m_text;
};

// The fields of one line, read in order; any misfit marks it bad.
class CFields {
  public:
    explicit CFields(std::string_view body) : m_rest(body) {}
    std::string_view Next() {
        const size_t tab = m_rest.find('\t');
        const std::string_view field = m_rest.substr(0, tab);
        m_rest = tab == std::string_view::npos ? std::string_view() : m_rest.substr(tab + 1);
        m_bEnded = tab == std::string_view::npos;
        return field;
    }
    template <typename T>
    CFields& Number(T& value, int base = 10) {
        const std::string_view f = Next();
        const auto r = std::from_chars(f.data(), f.data() + f.size(), value, base);
        m_bOk = m_bOk && r.ec == std::errc() && r.ptr == f.data() + f.size() && !f.empty();
        return *this;
    }
    CFields& Text(std::string& value) {
        m_bOk = m_bOk && Unescape(Next(), value);
        return *this;
    }
    CFields& Id(CNodeId& id) { return Number(id.dev).Number(id.ino); }
    bool Ok() const { return m_bOk && m_bEnded; }

  private:
    std::string_view m_rest;
    bool m_bOk = true;
    bool m_bEnded = false;
};

// The line's body when its hash holds.
bool CheckedBody(std::string_view line, std::string_view& body) {
    const size_t mark = line.rfind(kHashMark);
    if (mark == std::string_view::npos)
        return false;
    body = line.substr(0, mark);
    std::uint64_t hash = 0;
    const std::string_view hex = line.substr(mark + kHashMark.size());
    const auto r = std::from_chars(hex.data(), hex.data() + hex.size(), hash, 16);
    return r.ec == std::errc() && r.ptr == hex.data() + hex.size() && hash == Hash64(body);
}

}  // namespace

std::string JournalPathOf(std::string_view walkPath) {
    std::string path(walkPath);
    std::replace(path.begin(), path.end(), kPathSeparator, '/');
    return path;
}

std::string WalkPathOf(std::string_view journalPath) {
    std::string path(journalPath);
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

namespace {

// A path below the chosen folder made of plain entry names, split at "/":
// never ".", "..", an empty step or anything a rename rule may not name.
bool SafeRelative(std::string_view path, bool emptyAllowed) {
    if (path.empty())
        return emptyAllowed;
    for (size_t start = 0;;) {
        const size_t slash = path.find('/', start);
        const std::string_view step =
            path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (IsUnsafePathTextName(step))
            return false;
        if (slash == std::string_view::npos)
            return true;
        start = slash + 1;
    }
}

bool SafeTempName(std::string_view name, bool emptyAllowed) {
    return name.empty() ? emptyAllowed : IsOwnTempFileName(name);
}

// One record after the header; false when it does not read as one or names
// anything a run could not have made.
bool DecodeEntry(std::string_view body, bool withOriginalHash, CJournalEntry& e) {
    CFields f(body);
    const std::string_view kind = f.Next();
    if (kind.size() != 1)
        return false;
    e.kind = static_cast<JournalRecord>(kind[0]);
    f.Number(e.seq);
    switch (e.kind) {
        case JournalRecord::File: {
            std::string kept;
            f.Text(e.path).Id(e.original.id).Number(e.original.size).Number(e.original.mtimeNs);
            if (withOriginalHash)
                f.Number(e.originalHash, 16);
            e.hasOriginalHash = withOriginalHash;
            f.Text(kept).Id(e.newId).Number(e.newSize).Number(e.newHash, 16).Text(e.tempName);
            if (kept != "L" && kept != "C")
                return false;
            e.kept = static_cast<KeptAs>(kept[0]);
            return f.Ok() && SafeRelative(e.path, false) && SafeTempName(e.tempName, true);
        }
        case JournalRecord::Folder: {
            f.Text(e.path).Id(e.parentId).Text(e.oldName).Text(e.newName).Id(e.folderId);
            // The parent is written as the walk spells it: empty for the
            // chosen folder, else ending in "/".
            std::string_view parent = e.path;
            if (parent.ends_with('/'))
                parent.remove_suffix(1);
            return f.Ok() && SafeRelative(parent, e.path.empty()) &&
                   !IsUnsafePathTextName(e.oldName) && !IsUnsafePathTextName(e.newName);
        }
        case JournalRecord::End:
            return f.Ok();
        case JournalRecord::UndoTemp:
            f.Text(e.path).Id(e.newId).Text(e.tempName);
            return f.Ok() && SafeRelative(e.path, false) && SafeTempName(e.tempName, false);
    }
    return false;
}

bool DecodeHeader(std::string_view body, CJournalHeader& header, bool& withOriginalHash) {
    CFields f(body);
    const std::string_view version = f.Next();
    if (version != kVersion && version != kVersion1)
        return false;
    withOriginalHash = version == kVersion;
    f.Text(header.folder).Id(header.folderId).Number(header.startTime).Text(header.options);
    return f.Ok();
}

// The lines of a log: a last piece without its line end is torn.
class CLogLines {
  public:
    explicit CLogLines(std::string_view log) : m_rest(log) {}
    // The next whole line's body when its hash holds; Torn and End stop.
    enum class Line { Good, Bad, Torn, End };
    Line Next(std::string_view& body) {
        if (m_rest.empty())
            return Line::End;
        const size_t end = m_rest.find('\n');
        if (end == std::string_view::npos)
            return Line::Torn;
        const std::string_view line = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        ++m_number;
        return CheckedBody(line, body) ? Line::Good : Line::Bad;
    }
    size_t Number() const { return m_number; }

  private:
    std::string_view m_rest;
    size_t m_number = 0;
};

}  // namespace

std::uint64_t Hash64(std::string_view bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

std::uint64_t Hash64(const std::vector<std::string_view>& pieces) {
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    for (std::string_view piece : pieces)
        XXH3_64bits_update(&state, piece.data(), piece.size());
    return XXH3_64bits_digest(&state);
}

struct CHash64::CState {
    XXH3_state_t state;
};

CHash64::CHash64() : m_state(std::make_unique<CState>()) {
    XXH3_64bits_reset(&m_state->state);
}

CHash64::~CHash64() = default;

void CHash64::Add(std::string_view bytes) {
    XXH3_64bits_update(&m_state->state, bytes.data(), bytes.size());
}

std::uint64_t CHash64::Value() const {
    return XXH3_64bits_digest(&m_state->state);
}

std::string EncodeHeader(const CJournalHeader& h) {
    return CLine(kVersion)
        .Add(h.folder)
        .Add(h.folderId)
        .AddSigned(h.startTime)
        .Add(h.options)
        .Done();
}

std::string EncodeEntry(const CJournalEntry& e) {
    CLine line(std::string(1, static_cast<char>(e.kind)));
    line.Add(e.seq);
    switch (e.kind) {
        case JournalRecord::File:
            line.Add(e.path).Add(e.original.id).Add(e.original.size).AddSigned(e.original.mtimeNs);
            line.AddHex(e.originalHash);
            line.Add(std::string(1, static_cast<char>(e.kept))).Add(e.newId).Add(e.newSize);
            line.AddHex(e.newHash).Add(e.tempName);
            break;
        case JournalRecord::Folder:
            line.Add(e.path).Add(e.parentId).Add(e.oldName).Add(e.newName).Add(e.folderId);
            break;
        case JournalRecord::End:
            break;
        case JournalRecord::UndoTemp:
            line.Add(e.path).Add(e.newId).Add(e.tempName);
            break;
    }
    return line.Done();
}

bool DecodeJournal(std::string_view log, CJournalContents& out) {
    out = CJournalContents{};
    CLogLines lines(log);
    std::string_view body;
    bool withOriginalHash = false;
    switch (lines.Next(body)) {
        case CLogLines::Line::Good:
            if (DecodeHeader(body, out.header, withOriginalHash))
                break;
            [[fallthrough]];
        case CLogLines::Line::Bad:
            out.header = CJournalHeader{};
            out.damagedLine = 1;
            return true;
        case CLogLines::Line::Torn:
        case CLogLines::Line::End:
            return false;
    }
    std::unordered_map<std::uint64_t, size_t> seen;
    for (;;) {
        const CLogLines::Line line = lines.Next(body);
        if (line == CLogLines::Line::End)
            return true;
        if (line == CLogLines::Line::Torn && !out.finished) {
            out.torn = true;
            return true;
        }
        CJournalEntry entry;
        // Nothing follows the end of a run.
        if (line != CLogLines::Line::Good || out.finished ||
            !DecodeEntry(body, withOriginalHash, entry) || entry.kind == JournalRecord::UndoTemp) {
            out.damagedLine = lines.Number() + (line == CLogLines::Line::Torn ? 1 : 0);
            return true;
        }
        if (entry.kind == JournalRecord::End) {
            out.finished = true;
            continue;
        }
        // A file whose first temporary name was taken is recorded again under
        // the same number: the later record is the one that holds.
        auto [at, fresh] = seen.try_emplace(entry.seq, out.entries.size());
        if (fresh)
            out.entries.push_back(std::move(entry));
        else
            out.entries[at->second] = std::move(entry);
    }
}

std::vector<CJournalEntry> DecodeUndoTemps(std::string_view log) {
    std::vector<CJournalEntry> temps;
    CLogLines lines(log);
    std::string_view body;
    CJournalEntry entry;
    while (lines.Next(body) == CLogLines::Line::Good && DecodeEntry(body, true, entry) &&
           entry.kind == JournalRecord::UndoTemp)
        temps.push_back(entry);
    return temps;
}
