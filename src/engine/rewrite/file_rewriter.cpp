#include "engine/rewrite/file_rewriter.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "engine/journal/journal_hooks.h"
#include "platform/byte_search.h"
#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

// Working buffers up to this size are kept from file to file.
constexpr size_t kKeptBuffer = size_t{4} << 20;

// Files larger than this are searched a piece of this size at a time before
// they are read whole: reading into a buffer that stays in the processor's
// cache costs far less than filling a large one.
constexpr size_t kScanPiece = size_t{64} << 10;

CFileResult Skip(Reason reason, int osError = 0) {
    return {FileOutcome::Skipped, reason, osError};
}

// Text already in the working code page is searched and rewritten as it lies.
bool InWorkingCodePage(const CCodePage& cp, TextEncoding encoding) {
    return encoding == EncAnsi || (encoding == EncUtf8 && cp.IsUtf8());
}

// A needle in UTF-16 bytes only counts where it starts on a unit.
bool FindUnitAligned(std::string_view text, std::string_view needle) {
    for (size_t pos = FindBytes(text, needle, 0); pos != std::string_view::npos;
         pos = FindBytes(text, needle, pos + 1)) {
        if (pos % 2 == 0)
            return true;
    }
    return false;
}

bool HoldsZeroUnit(std::string_view utf16) {
    for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
        if (utf16[i] == 0 && utf16[i + 1] == 0)
            return true;
    }
    return false;
}

// The whole text in the working code page, or the reason it cannot be had
// without losing anything. Text already in it is left where it lies.
Reason MakeWorkingText(const CCodePage& cp, TextEncoding encoding, std::string_view text,
                       std::string& working) {
    // A zero would end the text where the rules were written for C strings:
    // whatever follows it would be lost.
    if (IsUtf16(encoding) ? HoldsZeroUnit(text)
                          : std::memchr(text.data(), 0, text.size()) != nullptr)
        return Reason::HoldsZero;
    if (encoding == EncUtf8 && !IsValidUtf8(text))
        return Reason::BadUtf8;
    if (encoding == EncAnsi && !cp.IsValid(text))
        return Reason::BadWorking;
    if (InWorkingCodePage(cp, encoding))
        return Reason::None;
    if (!ConvertCharset(CharsetOf(encoding, cp.Name()), cp.Name().c_str(), text, working))
        return Reason::CannotConvert;
    return Reason::None;
}

void Trim(std::string& buffer) {
    if (buffer.capacity() > kKeptBuffer)
        std::string().swap(buffer);
}

}  // namespace

CFileRewriter::CFileRewriter(const CJob& job)
    : m_job(job), m_codePage(job.codePage.empty() ? CCodePage::Working().Name() : job.codePage) {
    m_matcher.Prepare(job.rules);
    for (const CReplaceRuleText& rule : job.rules) {
        m_bRulesUtf8 = m_bRulesUtf8 && IsValidUtf8(rule.find) && IsValidUtf8(rule.replacement);
        m_carry = std::max(m_carry, rule.find.empty() ? 0 : rule.find.size() - 1);
    }
}

CFileResult CFileRewriter::Rewrite(const CDir& dir, const CDirEntry& entry, std::string_view path) {
    m_path = path;
    // A FIFO, device or socket is never opened: its content cannot be examined.
    if (entry.type != EntryType::File)
        return Skip(Reason::NotRegular);
    CFileReader reader;
    if (const CIoResult r = reader.Open(dir, entry.name); !r.Ok())
        return Skip(ReadReason(r.status), r.status == IoStatus::IsLink ? 0 : r.osError);
    const CFileStamp stamp = reader.Stamp();
    if (stamp.size >= m_streamFromBytes || stamp.size >= m_maxFileBytes)
        return RewriteLarge(dir, entry.name, reader);
    m_bytes.clear();
    CIoResult read;
    std::uint64_t consumed = 0;
    switch (stamp.size > kScanPiece ? ScanInPieces(reader, consumed, read) : ScanOutcome::Found) {
        case ScanOutcome::NotFound:
            return {};
        case ScanOutcome::ReadFailed:
            return Skip(ReadReason(read.status), read.osError);
        case ScanOutcome::Found:
            read = ReadWhole(reader, static_cast<size_t>(consumed));
            break;
    }
    reader.Close();
    if (read.status == IoStatus::TooLarge)
        return ScanLarge(dir, entry.name);
    if (!read.Ok())
        return Skip(ReadReason(read.status), read.osError);
    return RewriteHeld(dir, entry.name, stamp);
}

ScanOutcome CFileRewriter::ScanInPieces(CFileReader& reader, std::uint64_t& consumed,
                                        CIoResult& error) {
    bool first = true;
    const auto search = [this, &first](std::string_view window) {
        // Text in another encoding is searched in its own form, on the whole file.
        if (std::exchange(first, false) &&
            (window.size() < 3 || !InWorkingCodePage(m_codePage, DetectEncoding(window))))
            return true;
        // A byte match is enough to read the file whole: the search there
        // decides, without the mark and on character starts.
        return m_matcher.AnyOccurs(window);
    };
    return ScanPieces(reader, {}, {kScanPiece, m_carry, false}, m_piece, search, error, consumed);
}

CIoResult CFileRewriter::ReadWhole(CFileReader& reader, size_t consumed) {
    m_bytes.resize(consumed);
    size_t have = 0;
    while (have < consumed) {
        size_t got = 0;
        if (const CIoResult r = reader.ReadAt(have, m_bytes.data() + have, consumed - have, got);
            !r.Ok()) {
            m_bytes.clear();
            return r;
        }
        if (got == 0)
            break;  // it shrank meanwhile; its stamp no longer matches at write time
        have += got;
    }
    m_bytes.resize(have);
    return reader.ReadRest(m_bytes, m_maxFileBytes);
}

CFileResult CFileRewriter::RewriteHeld(const CDir& dir, const CPlatformName& name,
                                       const CFileStamp& stamp) {
    CFileResult result;
    try {
        result = RewriteRead(dir, name, stamp);
    } catch (const std::bad_alloc&) {
        result = Skip(Reason::OutOfMemory);
    } catch (const std::length_error&) {
        result = Skip(Reason::ResultTooLarge);
    }
    for (std::string* buffer : {&m_bytes, &m_working, &m_result, &m_encoded, &m_applier.Spare()})
        Trim(*buffer);
    return result;
}

CFileResult CFileRewriter::RewriteRead(const CDir& dir, const CPlatformName& name,
                                       const CFileStamp& stamp) {
    const TextEncoding encoding = DetectEncoding(m_bytes);
    const size_t markLength = MarkLength(encoding, m_bytes.size());
    const std::string oldMark = m_bytes.substr(0, markLength);
    std::string_view text = std::string_view(m_bytes).substr(markLength);
    // A last odd byte of UTF-16 is no character: the search looks at whole
    // units, and a file that needs a change cannot be written back whole.
    const bool oddUtf16 = IsUtf16(encoding) && text.size() % 2 != 0;
    if (oddUtf16)
        text.remove_suffix(1);
    if (!AnyFindOccurs(encoding, text))
        return {};
    if (oddUtf16)
        return Skip(Reason::OddUtf16);
    const CCodePage& cp = m_codePage;
    if (const Reason why = MakeWorkingText(cp, encoding, text, m_working); why != Reason::None)
        return Skip(why);
    // Undo puts an original back only when its bytes still hash to this.
    m_originalHash = m_pJournal && m_pJournal->Recording() && !m_job.dryRun ? Hash64(m_bytes) : 0;
    // A large file's bytes go as soon as a copy of its text exists, so that
    // it is never held more than twice; comparing with it then reads it again.
    const size_t oldSize = text.size();
    bool released = false;
    const auto release = [&] {
        if (m_bytes.capacity() > kKeptBuffer) {
            std::string().swap(m_bytes);
            released = true;
        }
    };
    const bool asItLies = InWorkingCodePage(cp, encoding);
    if (!asItLies)
        release();
    // The change hook needs the old text until the end.
    const bool mayRelease = asItLies && !m_changeHook;
    switch (m_applier.Apply(cp, m_job.rules, asItLies ? text : m_working, m_result, MaxBytes(),
                            mayRelease ? release : std::function<void()>())) {
        case RulesApplied::NoneOccurred:
            return {};
        case RulesApplied::TooLarge:
            return Skip(Reason::ResultTooLarge);
        case RulesApplied::Occurred:
            break;
    }
    std::string newMark = oldMark;
    std::string_view body = m_result;
    if (!asItLies) {
        if (!EncodeLikeFile(cp, oldMark, encoding, m_result, newMark, m_encoded))
            return Skip(Reason::CannotEncode);
        body = m_encoded;
    } else if (encoding == EncUtf8 && !m_bRulesUtf8 && !IsValidUtf8(m_result)) {
        // Valid text with valid find texts replaced by valid texts is valid:
        // only rules that are not UTF-8 themselves call for a second look.
        return Skip(Reason::CannotEncode);
    }
    if (newMark.size() + body.size() >= MaxBytes())
        return Skip(Reason::ResultTooLarge);
    // Written only when the bytes change: a rule that puts back what it
    // found, or rules that undo each other, leave the file alone.
    if (newMark == oldMark && body.size() == oldSize &&
        (released ? SameAsFile(dir, name, stamp, markLength, body) : body == text))
        return {};
    const CFileResult result = Replace(dir, name, stamp, newMark, body);
    if (m_changeHook && result.outcome == FileOutcome::Rewritten)
        m_changeHook(asItLies ? text : std::string_view(m_working), m_result);
    return result;
}

bool CFileRewriter::SameAsFile(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                               size_t markLength, std::string_view body) {
    CFileStamp now;
    // A file that changed meanwhile is left to the replace, which refuses it.
    if (!ReadFileAt(dir, name, m_bytes, now, m_maxFileBytes).Ok() || now != stamp)
        return false;
    return std::string_view(m_bytes).substr(markLength) == body;
}

CFileResult CFileRewriter::Replace(const CDir& dir, const CPlatformName& name,
                                   const CFileStamp& stamp, std::string_view mark,
                                   std::string_view body) {
    if (m_job.dryRun)
        return Replaced(CheckReplaceableAt(dir, name, stamp));
    CFileResult refused;
    // The hash is the journal's: a run without one does not make it.
    const std::uint64_t hash = m_pJournal ? Hash64({mark, body}) : 0;
    const CIoResult r =
        ReplaceRecorded(mark.size() + body.size(), hash, refused, [&](CReplaceJournal* journal) {
            return ReplaceFileAt(dir, name, stamp, {mark, body}, journal);
        });
    if (refused.outcome != FileOutcome::Unchanged)
        return refused;
    return Replaced(r);
}

CFileResult CFileRewriter::Replaced(const CIoResult& r) {
    if (r.Ok())
        return {FileOutcome::Rewritten, Reason::None, 0};
    const Reason reason = ReplaceReason(r);
    if (IsRefusal(r.status))
        return Skip(reason, reason == Reason::NoPermission ? r.osError : 0);
    return {FileOutcome::WriteFailed, reason, r.osError};
}

CIoResult CFileRewriter::ReplaceRecorded(
    std::uint64_t size, std::uint64_t hash, CFileResult& refused,
    const std::function<CIoResult(CReplaceJournal*)>& replace) {
    if (!m_pJournal)
        return replace(nullptr);
    // The folder's previous journal goes before its first change, also
    // when this run keeps none.
    if (const CIoResult started = m_pJournal->Start(); !started.Ok() || !m_pJournal->Recording()) {
        if (!started.Ok() && m_pJournal->Recording()) {
            refused = Skip(Reason::UndoCannotWrite, started.osError);
            return started;
        }
        return replace(nullptr);
    }
    CJournalReplace journal(*m_pJournal, m_path, m_originalHash, size, hash);
    const CIoResult r = replace(&journal);
    if (journal.m_failure != Reason::None)
        refused = Skip(journal.m_failure, journal.m_osError);
    return r;
}

// Whether any find text occurs in the file's text, decided on the bytes in
// the file's own encoding so that nothing is decoded for the many files that
// no rule touches. If none occurs in the unchanged text, no rule can change
// it; if one does, the first such rule will.
bool CFileRewriter::AnyFindOccurs(TextEncoding encoding, std::string_view text) {
    const CCodePage& cp = m_codePage;
    if (InWorkingCodePage(cp, encoding)) {
        if (!m_matcher.AnyOccurs(text))
            return false;
        // Without double-byte characters a match cannot start inside one, so
        // any byte match counts; with them, only a match on a character start.
        if (!cp.IsDoubleByte())
            return true;
        for (const CReplaceRuleText& rule : m_job.rules) {
            if (MbsFind(cp, text, rule.find) != std::string_view::npos)
                return true;
        }
        return false;
    }
    // A find text that cannot be put in the file's encoding: only the
    // decoded text can tell.
    const std::vector<std::string>* needles = EncodedFinds(encoding);
    if (!needles)
        return true;
    for (const std::string& needle : *needles) {
        if (IsUtf16(encoding) ? FindUnitAligned(text, needle)
                              : FindBytes(text, needle, 0) != std::string_view::npos)
            return true;
    }
    return false;
}

const std::vector<std::string>* CFileRewriter::EncodedFinds(TextEncoding encoding) {
    const CCodePage& cp = m_codePage;
    CEncodedFinds& slot = m_encodedFinds[encoding == EncAnsi ? 3 : static_cast<size_t>(encoding)];
    if (!slot.made) {
        slot.made = true;
        slot.ok = true;
        slot.needles.assign(m_job.rules.size(), std::string());
        for (size_t i = 0; slot.ok && i < slot.needles.size(); ++i) {
            const std::string& find = m_job.rules[i].find;
            if (InWorkingCodePage(cp, encoding))
                slot.needles[i] = find;
            else
                slot.ok = ConvertCharset(cp.Name().c_str(), CharsetOf(encoding, cp.Name()), find,
                                         slot.needles[i]);
        }
    }
    return slot.ok ? &slot.needles : nullptr;
}

// A file too large to hold: it is searched a piece at a time and never
// rewritten. With no find text in it, it is simply unchanged.
CFileResult CFileRewriter::ScanLarge(const CDir& dir, const CPlatformName& name) {
    CFileReader reader;
    if (CIoResult r = reader.Open(dir, name); !r.Ok())
        return Skip(ReadReason(r.status), r.osError);
    char head[3];
    size_t have = 0;
    if (CIoResult r = reader.Read(head, sizeof head, have); !r.Ok())
        return Skip(Reason::CannotRead, r.osError);
    const TextEncoding encoding = DetectEncoding(std::string_view(head, have));
    const size_t markLength = MarkLength(encoding, have);
    const std::vector<std::string>* needles = EncodedFinds(encoding);
    if (!needles)
        return Skip(Reason::TooLarge);
    CScanRequest request;
    request.needles = *needles;
    request.unitAligned = IsUtf16(encoding);
    CIoResult error;
    switch (ScanForAny(reader, std::string_view(head + markLength, have - markLength), request,
                       error)) {
        case ScanOutcome::NotFound:
            return {};
        case ScanOutcome::Found:
            return Skip(Reason::TooLarge);
        case ScanOutcome::ReadFailed:
            break;
    }
    return Skip(Reason::CannotRead, error.osError);
}
