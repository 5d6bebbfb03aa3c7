#include "engine/journal_format.h"

#include <charconv>
#include <cstdio>
#include <unordered_map>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

constexpr std::string_view kVersion = "V1";
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

bool DecodeEntry(std::string_view body, CJournalEntry& e) {
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
            f.Text(kept).Id(e.newId).Number(e.newSize).Number(e.newHash, 16).Text(e.tempName);
            if (kept != "L" && kept != "C")
                return false;
            e.kept = static_cast<KeptAs>(kept[0]);
            return f.Ok();
        }
        case JournalRecord::Folder:
            f.Text(e.path).Id(e.parentId).Text(e.oldName).Text(e.newName).Id(e.folderId);
            return f.Ok();
        case JournalRecord::End:
            return f.Ok();
    }
    return false;
}

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
            line.Add(std::string(1, static_cast<char>(e.kept))).Add(e.newId).Add(e.newSize);
            line.AddHex(e.newHash).Add(e.tempName);
            break;
        case JournalRecord::Folder:
            line.Add(e.path).Add(e.parentId).Add(e.oldName).Add(e.newName).Add(e.folderId);
            break;
        case JournalRecord::End:
            break;
    }
    return line.Done();
}

bool DecodeJournal(std::string_view log, CJournalContents& out) {
    out = CJournalContents{};
    std::unordered_map<std::uint64_t, size_t> seen;
    bool first = true;
    while (!log.empty()) {
        const size_t end = log.find('\n');
        std::string_view body;
        if (end == std::string_view::npos || !CheckedBody(log.substr(0, end), body)) {
            out.torn = true;
            break;
        }
        log.remove_prefix(end + 1);
        if (first) {
            CFields f(body);
            if (f.Next() != kVersion)
                return false;
            f.Text(out.header.folder).Id(out.header.folderId).Number(out.header.startTime);
            f.Text(out.header.options);
            if (!f.Ok())
                return false;
            first = false;
            continue;
        }
        CJournalEntry entry;
        if (!DecodeEntry(body, entry)) {
            out.torn = true;
            break;
        }
        if (entry.kind == JournalRecord::End) {
            out.finished = true;
            break;
        }
        // A file whose first temporary name was taken is recorded again under
        // the same number: the later record is the one that holds.
        auto [at, fresh] = seen.try_emplace(entry.seq, out.entries.size());
        if (fresh)
            out.entries.push_back(std::move(entry));
        else
            out.entries[at->second] = std::move(entry);
    }
    return !first;
}
