// CFileRewriter: how a file is read and handed on. Most files are held
// whole; large ones are searched a piece at a time first, and rewritten a
// piece at a time where their text allows it; text held whole goes to the
// held rewrite.

#include "engine/rewrite/file_rewriter.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

#include "engine/journal/journal_format.h"
#include "engine/journal/journal_hooks.h"
#include "engine/rewrite/large_file_scan.h"
#include "engine/rewrite/stream_rules.h"
#include "platform/byte_search.h"
#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

// Files larger than this are searched a piece of this size at a time before
// they are read whole: reading into a buffer that stays in the processor's
// cache costs far less than filling a large one.
constexpr size_t kScanPiece = size_t{64} << 10;

constexpr size_t kStreamPiece = size_t{4} << 20;

// A large file that has to be held whole (text that must be converted) is
// held by one rewriter at a time in the whole process.
std::mutex g_heldLargeFile;

// With a match mode on, files from this size on are rewritten one at a time.
constexpr std::uint64_t kModeLockFrom = std::uint64_t{16} << 20;

}  // namespace

CFileRewriter::CFileRewriter(const CJob& job)
    : m_job(job),
      m_codePage(job.codePage.empty() ? CCodePage::Working().Name() : job.codePage),
      m_probe(job, m_codePage),
      m_replace(job),
      m_held(job, m_codePage, m_probe, m_replace, m_changeHook) {
    for (const CReplaceRuleText& rule : job.rules)
        m_carry = std::max(m_carry, rule.find.empty() ? 0 : rule.find.size() - 1);
}

CFileResult CFileRewriter::Rewrite(const CDir& dir, const CDirEntry& entry, std::string_view path) {
    m_replace.Begin(m_pJournal, path);
    // A FIFO, device or socket is never opened: its content cannot be examined.
    if (entry.type != EntryType::File)
        return CFileResult::Skipped(Reason::NotRegular);
    CFileReader reader;
    if (const CIoResult r = reader.Open(dir, entry.name); !r.Ok())
        return CFileResult::Skipped(ReadReason(r.status),
                                    r.status == IoStatus::IsLink ? 0 : r.osError);
    const CFileStamp stamp = reader.Stamp();
    if (m_job.modes.Any())
        return RewriteInMode(dir, entry.name, reader);
    if (stamp.size >= m_job.streamFromBytes || stamp.size >= m_job.maxFileBytes)
        return RewriteLarge(dir, entry.name, reader);
    m_bytes.clear();
    CIoResult read;
    std::uint64_t consumed = 0;
    switch (stamp.size > kScanPiece ? ScanInPieces(reader, consumed, read) : ScanOutcome::Found) {
        case ScanOutcome::NotFound:
            return {};
        case ScanOutcome::ReadFailed:
            return CFileResult::Skipped(ReadReason(read.status), read.osError);
        case ScanOutcome::Found:
            read = ReadWhole(reader, static_cast<size_t>(consumed));
            break;
    }
    if (read.status == IoStatus::TooLarge) {
        reader.Close();
        return ScanLarge(dir, entry.name);
    }
    if (!read.Ok())
        return CFileResult::Skipped(ReadReason(read.status), read.osError);
    // The replace takes the open file for its attributes: no second open.
    return m_held.Rewrite(dir, entry.name, stamp, m_bytes, &reader);
}

ScanOutcome CFileRewriter::ScanInPieces(CFileReader& reader, std::uint64_t& consumed,
                                        CIoResult& error) {
    bool first = true;
    const auto search = [this, &first](std::string_view window) {
        // Text in another encoding is searched in its own form, on the whole file.
        if (std::exchange(first, false) &&
            (window.size() < 3 || !m_probe.InWorkingCodePage(DetectEncoding(window))))
            return true;
        // A byte match is enough to read the file whole: the search there
        // decides, without the mark and on character starts.
        return m_probe.AnyBytesOccur(window);
    };
    return ScanPieces(reader, {}, {kScanPiece, m_carry, false}, m_piece, search, error, consumed);
}

CFileResult CFileRewriter::RewriteInMode(const CDir& dir, const CPlatformName& name,
                                         CFileReader& reader) {
    const CFileStamp stamp = reader.Stamp();
    // No text shrinks to less than half its bytes when it is decoded (UTF-16
    // into a single-byte code page); the exact limit is on the decoded text.
    if (stamp.size > 2 * std::uint64_t{kModeMaxTextBytes} + 4)
        return CFileResult::Skipped(Reason::ModeTextTooLarge);
    if (stamp.size >= m_job.maxFileBytes)
        return CFileResult::Skipped(Reason::TooLarge);
    // Large files are held by one rewriter at a time, in wide characters too.
    std::unique_lock<std::mutex> lock;
    if (stamp.size >= kModeLockFrom)
        lock = std::unique_lock(g_heldLargeFile);
    m_bytes.clear();
    const CIoResult read = ReadWhole(reader, 0);
    reader.Close();
    if (read.status == IoStatus::TooLarge)
        return CFileResult::Skipped(Reason::TooLarge);
    if (!read.Ok())
        return CFileResult::Skipped(ReadReason(read.status), read.osError);
    return m_held.Rewrite(dir, name, stamp, m_bytes);
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
    return reader.ReadRest(m_bytes, m_job.maxFileBytes);
}

// A file too large to hold: it is searched a piece at a time and never
// rewritten. With no find text in it, it is simply unchanged.
CFileResult CFileRewriter::ScanLarge(const CDir& dir, const CPlatformName& name) {
    CFileReader reader;
    if (CIoResult r = reader.Open(dir, name); !r.Ok())
        return CFileResult::Skipped(ReadReason(r.status), r.osError);
    char head[3];
    size_t have = 0;
    if (CIoResult r = reader.Read(head, sizeof head, have); !r.Ok())
        return CFileResult::Skipped(Reason::CannotRead, r.osError);
    const TextEncoding encoding = DetectEncoding(std::string_view(head, have));
    const size_t markLength = MarkLength(encoding, have);
    const std::vector<std::string>* needles = m_probe.EncodedFinds(encoding);
    if (!needles)
        return CFileResult::Skipped(Reason::TooLarge);
    CScanRequest request;
    request.needles = *needles;
    request.unitAligned = IsUtf16(encoding);
    CIoResult error;
    switch (ScanForAny(reader, std::string_view(head + markLength, have - markLength), request,
                       error)) {
        case ScanOutcome::NotFound:
            return {};
        case ScanOutcome::Found:
            return CFileResult::Skipped(Reason::TooLarge);
        case ScanOutcome::ReadFailed:
            break;
    }
    return CFileResult::Skipped(Reason::CannotRead, error.osError);
}

CFileResult CFileRewriter::RewriteLarge(const CDir& dir, const CPlatformName& name,
                                        CFileReader& reader) {
    char head[3];
    size_t have = 0;
    if (CIoResult r = reader.ReadAt(0, head, sizeof head, have); !r.Ok())
        return CFileResult::Skipped(Reason::CannotRead, r.osError);
    const TextEncoding encoding = DetectEncoding(std::string_view(head, have));
    const size_t markLength = MarkLength(encoding, have);
    // Most large files hold no find text: then they are unchanged, whatever
    // they are, and a search a piece at a time tells.
    if (const std::vector<std::string>* needles = m_probe.EncodedFinds(encoding)) {
        CScanRequest request;
        request.needles = *needles;
        request.unitAligned = IsUtf16(encoding);
        CIoResult error;
        const ScanOutcome found = ScanForAny(reader, {}, request, error);
        if (found == ScanOutcome::NotFound)
            return {};
        if (found == ScanOutcome::ReadFailed)
            return CFileResult::Skipped(Reason::CannotRead, error.osError);
    }
    if (reader.Stamp().size >= m_job.maxFileBytes)
        return CFileResult::Skipped(Reason::TooLarge);
    const bool streamable = encoding == EncUtf8 || encoding == EncAnsi;
    // The change hook needs the whole old and new text.
    if (streamable && m_codePage.IsUtf8() && m_probe.RulesUtf8() && !m_changeHook) {
        const CFileResult result = RewriteStreamed(dir, name, reader, encoding, markLength);
        for (std::string* buffer : {&m_bytes, &m_theirs})
            std::string().swap(*buffer);
        return result;
    }
    reader.Close();
    const std::lock_guard lock(g_heldLargeFile);
    CFileStamp stamp;
    const CIoResult read = ReadFileAt(dir, name, m_bytes, stamp, m_job.maxFileBytes);
    if (read.status == IoStatus::TooLarge)
        return CFileResult::Skipped(Reason::TooLarge);
    if (!read.Ok())
        return CFileResult::Skipped(ReadReason(read.status), read.osError);
    return m_held.Rewrite(dir, name, stamp, m_bytes);
}

CFileResult CFileRewriter::RewriteStreamed(const CDir& dir, const CPlatformName& name,
                                           CFileReader& reader, TextEncoding encoding,
                                           size_t markLength) {
    const CFileStamp stamp = reader.Stamp();
    const bool write = !m_job.dryRun;
    CFileReplacement replacement;
    CHash64 hash;          // of the new bytes, for the journal
    CHash64 originalHash;  // of the bytes read
    const bool hashed = write && m_pJournal;
    char mark[3];
    size_t got = 0;
    if (CIoResult r = reader.ReadAt(0, mark, markLength, got); !r.Ok() || got != markLength)
        return CFileResult::Skipped(Reason::CannotRead, r.osError);
    if (write) {
        // With a journal the temporary file stays unnamed until the journal
        // knows the name it takes, so a run killed meanwhile leaves nothing.
        if (CIoResult r = replacement.Begin(dir, name, stamp, hashed); !r.Ok())
            return CRecordedReplace::Outcome(r);
        if (CIoResult r = replacement.Write(std::string_view(mark, markLength)); !r.Ok())
            return CRecordedReplace::Outcome(r);
        if (hashed) {
            hash.Add(std::string_view(mark, markLength));
            originalHash.Add(std::string_view(mark, markLength));
        }
    }
    const Reason badText = encoding == EncUtf8 ? Reason::BadUtf8 : Reason::BadWorking;
    CStreamRules rules(m_job.rules);
    std::string& piece = m_bytes;    // what was read, then what the rules made of it
    std::string& theirs = m_theirs;  // the original's bytes where the result goes
    std::string cut;                 // a character the end of a piece cut short
    piece.clear();
    // Pieces of at most kStreamPiece bytes; smaller ones where smaller files
    // are streamed (tests), though not so small that a file takes millions.
    const size_t pieceBytes = static_cast<size_t>(std::clamp<std::uint64_t>(
        std::max(m_job.streamFromBytes, stamp.size / 64), 2, kStreamPiece));
    std::uint64_t readAt = markLength, writtenAt = markLength;
    bool same = true;
    for (bool end = false; !end;) {
        piece.assign(cut);
        piece.resize(cut.size() + pieceBytes);
        if (CIoResult r = reader.ReadAt(readAt, piece.data() + cut.size(), pieceBytes, got);
            !r.Ok())
            return CFileResult::Skipped(Reason::CannotRead, r.osError);
        end = got < pieceBytes;
        readAt += got;
        piece.resize(cut.size() + got);
        if (hashed)
            originalHash.Add(std::string_view(piece).substr(cut.size()));
        if (std::memchr(piece.data() + cut.size(), 0, got))
            return CFileResult::Skipped(Reason::Binary);
        const size_t whole = end ? piece.size() : Utf8CompletePart(piece);
        if (!IsValidUtf8(std::string_view(piece).substr(0, whole)))
            return CFileResult::Skipped(badText);
        cut.assign(piece, whole, std::string::npos);
        piece.resize(whole);
        rules.Feed(piece, end);
        if (writtenAt + piece.size() >= m_job.maxFileBytes)
            return CFileResult::Skipped(Reason::ResultTooLarge);
        // Still the same bytes as the original so far? Mostly decided at the
        // first change.
        if (same) {
            theirs.resize(piece.size());
            same = reader.ReadAt(writtenAt, theirs.data(), piece.size(), got).Ok() &&
                   got == piece.size() && theirs == piece;
        }
        writtenAt += piece.size();
        if (write && !piece.empty()) {
            if (CIoResult r = replacement.Write(piece); !r.Ok())
                return CRecordedReplace::Outcome(r);
            if (hashed)
                hash.Add(piece);
        }
    }
    if (!rules.Occurred() || (same && writtenAt == readAt))
        return {};
    reader.Close();  // Windows will not replace a file this process still holds open
    if (!write)
        return CRecordedReplace::Outcome(CheckReplaceableAt(dir, name, stamp))
            .Counting(rules.Replacements());
    return m_replace
        .Commit(writtenAt, hashed ? hash.Value() : 0, hashed ? originalHash.Value() : 0,
                [&](CReplaceJournal* journal) { return replacement.Commit(journal); })
        .Counting(rules.Replacements());
}
