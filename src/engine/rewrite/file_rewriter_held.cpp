// CFileRewriter: a file's text held whole, with the rules applied, and the
// replace of the file when its bytes change.

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
    if (encoding == EncAnsi || (encoding == EncUtf8 && cp.IsUtf8()))
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

bool CFileRewriter::InWorkingCodePage(TextEncoding encoding) const {
    return encoding == EncAnsi || (encoding == EncUtf8 && m_codePage.IsUtf8());
}

CFileResult CFileRewriter::RewriteHeld(const CDir& dir, const CPlatformName& name,
                                       const CFileStamp& stamp) {
    CFileResult result;
    try {
        result = RewriteRead(dir, name, stamp);
    } catch (const std::bad_alloc&) {
        result = CFileResult::Skipped(Reason::OutOfMemory);
    } catch (const std::length_error&) {
        result = CFileResult::Skipped(Reason::ResultTooLarge);
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
        return CFileResult::Skipped(Reason::OddUtf16);
    const CCodePage& cp = m_codePage;
    if (const Reason why = MakeWorkingText(cp, encoding, text, m_working); why != Reason::None)
        return CFileResult::Skipped(why);
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
    const bool asItLies = InWorkingCodePage(encoding);
    if (!asItLies)
        release();
    // The change hook needs the old text until the end.
    const bool mayRelease = asItLies && !m_changeHook;
    switch (m_applier.Apply(cp, m_job.rules, asItLies ? text : m_working, m_result, MaxBytes(),
                            mayRelease ? release : std::function<void()>())) {
        case RulesApplied::NoneOccurred:
            return {};
        case RulesApplied::TooLarge:
            return CFileResult::Skipped(Reason::ResultTooLarge);
        case RulesApplied::Occurred:
            break;
    }
    std::string newMark = oldMark;
    std::string_view body = m_result;
    if (!asItLies) {
        if (!EncodeLikeFile(cp, oldMark, encoding, m_result, newMark, m_encoded))
            return CFileResult::Skipped(Reason::CannotEncode);
        body = m_encoded;
    } else if (encoding == EncUtf8 && !m_bRulesUtf8 && !IsValidUtf8(m_result)) {
        // Valid text with valid find texts replaced by valid texts is valid:
        // only rules that are not UTF-8 themselves call for a second look.
        return CFileResult::Skipped(Reason::CannotEncode);
    }
    if (newMark.size() + body.size() >= MaxBytes())
        return CFileResult::Skipped(Reason::ResultTooLarge);
    // Written only when the bytes change: a rule that puts back what it
    // found, or rules that undo each other, leave the file alone.
    if (newMark == oldMark && body.size() == oldSize &&
        (released ? SameAsFile(dir, name, stamp, markLength, body) : body == text))
        return {};
    const CFileResult result =
        Replace(dir, name, stamp, newMark, body).Counting(m_applier.Replacements());
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
        return CFileResult::Skipped(reason, reason == Reason::NoPermission ? r.osError : 0);
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
            refused = CFileResult::Skipped(Reason::UndoCannotWrite, started.osError);
            return started;
        }
        return replace(nullptr);
    }
    CJournalReplace journal(*m_pJournal, m_path, m_originalHash, size, hash);
    const CIoResult r = replace(&journal);
    if (journal.m_failure != Reason::None)
        refused = CFileResult::Skipped(journal.m_failure, journal.m_osError);
    return r;
}

// Whether any find text occurs in the file's text, decided on the bytes in
// the file's own encoding so that nothing is decoded for the many files that
// no rule touches. If none occurs in the unchanged text, no rule can change
// it; if one does, the first such rule will.
bool CFileRewriter::AnyFindOccurs(TextEncoding encoding, std::string_view text) {
    const CCodePage& cp = m_codePage;
    if (InWorkingCodePage(encoding)) {
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
            if (InWorkingCodePage(encoding))
                slot.needles[i] = find;
            else
                slot.ok = ConvertCharset(cp.Name().c_str(), CharsetOf(encoding, cp.Name()), find,
                                         slot.needles[i]);
        }
    }
    return slot.ok ? &slot.needles : nullptr;
}
