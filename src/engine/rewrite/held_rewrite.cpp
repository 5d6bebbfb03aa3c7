#include "engine/rewrite/held_rewrite.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "engine/journal/journal_format.h"
#include "platform/text_codec.h"

namespace {

// Working buffers up to this size are kept from file to file.
constexpr size_t kKeptBuffer = size_t{4} << 20;

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
        return IsUtf16(encoding) ? Reason::HoldsZero : Reason::Binary;
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

CFileResult CHeldRewrite::Rewrite(const CDir& dir, const CPlatformName& name,
                                  const CFileStamp& stamp, std::string& bytes,
                                  CFileReader* opened) {
    CFileResult result;
    try {
        result = RewriteText(dir, name, stamp, bytes, opened);
    } catch (const std::bad_alloc&) {
        result = CFileResult::Skipped(Reason::OutOfMemory);
    } catch (const std::length_error&) {
        result = CFileResult::Skipped(Reason::ResultTooLarge);
    }
    for (std::string* buffer : {&bytes, &m_working, &m_result, &m_encoded, &m_applier.Spare()})
        Trim(*buffer);
    if (m_modes)
        m_modes->Trim(kKeptBuffer);
    return result;
}

CFileResult CHeldRewrite::RewriteText(const CDir& dir, const CPlatformName& name,
                                      const CFileStamp& stamp, std::string& bytes,
                                      CFileReader* opened) {
    const TextEncoding encoding = DetectEncoding(bytes);
    const size_t markLength = MarkLength(encoding, bytes.size());
    const std::string oldMark = bytes.substr(0, markLength);
    std::string_view text = std::string_view(bytes).substr(markLength);
    // A last odd byte of UTF-16 is no character: the search looks at whole
    // units, and a file that needs a change cannot be written back whole.
    const bool oddUtf16 = IsUtf16(encoding) && text.size() % 2 != 0;
    if (oddUtf16)
        text.remove_suffix(1);
    // With a mode on, mostly only the decoded text can tell. Without one,
    // the search also tells which find texts occur (present).
    std::uint64_t present = ~std::uint64_t{0};
    if (m_modes ? m_probe.InWorkingCodePage(encoding) && !m_modes->MayOccur(text)
                : !m_probe.AnyOccurs(encoding, text, &present))
        return {};
    if (oddUtf16)
        return CFileResult::Skipped(Reason::OddUtf16);
    const CCodePage& cp = m_codePage;
    if (const Reason why = MakeWorkingText(cp, encoding, text, m_working); why != Reason::None)
        return CFileResult::Skipped(why);
    // Undo puts an original back only when its bytes still hash to this.
    const std::uint64_t originalHash = m_replace.Recording() ? Hash64(bytes) : 0;
    // A large file's bytes go as soon as a copy of its text exists, so that
    // it is never held more than twice; comparing with it then reads it again.
    const size_t oldSize = text.size();
    bool released = false;
    const auto release = [&] {
        if (bytes.capacity() > kKeptBuffer) {
            std::string().swap(bytes);
            released = true;
        }
    };
    const bool asItLies = m_probe.InWorkingCodePage(encoding);
    if (!asItLies)
        release();
    // The change hook needs the old text until the end.
    const bool mayRelease = asItLies && !m_changeHook;
    // Rules whose find text the text does not hold are not searched for.
    if (!asItLies || m_modes)
        present = ~std::uint64_t{0};
    Reason skip = Reason::None;
    switch (ApplyRules(asItLies ? text : m_working, mayRelease ? release : std::function<void()>(),
                       present, skip)) {
        case RulesApplied::NoneOccurred:
            return skip == Reason::None ? CFileResult{} : CFileResult::Skipped(skip);
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
    } else if (encoding == EncUtf8 && !m_probe.RulesUtf8() && !IsValidUtf8(m_result)) {
        // Valid text with valid find texts replaced by valid texts is valid:
        // only rules that are not UTF-8 themselves call for a second look.
        return CFileResult::Skipped(Reason::CannotEncode);
    }
    if (newMark.size() + body.size() >= MaxBytes())
        return CFileResult::Skipped(Reason::ResultTooLarge);
    // Written only when the bytes change: a rule that puts back what it
    // found, or rules that undo each other, leave the file alone.
    if (newMark == oldMark && body.size() == oldSize &&
        (released ? SameAsFile(dir, name, stamp, markLength, body, bytes) : body == text))
        return {};
    const CFileResult result =
        m_replace.Replace(dir, name, stamp, newMark, body, originalHash, opened)
            .Counting(m_modes ? m_modes->Replacements() : m_applier.Replacements());
    if (m_changeHook && result.outcome == FileOutcome::Rewritten)
        m_changeHook(asItLies ? text : std::string_view(m_working), m_result);
    return result;
}

RulesApplied CHeldRewrite::ApplyRules(std::string_view text, const std::function<void()>& release,
                                      std::uint64_t present, Reason& skip) {
    if (m_modes)
        return m_modes->Apply(text, m_result, MaxBytes(), skip);
    return m_applier.Apply(m_codePage, m_job.rules, text, m_result, MaxBytes(), release, present);
}

bool CHeldRewrite::SameAsFile(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                              size_t markLength, std::string_view body, std::string& bytes) const {
    CFileStamp now;
    // A file that changed meanwhile is left to the replace, which refuses it.
    if (!ReadFileAt(dir, name, bytes, now, m_job.maxFileBytes).Ok() || now != stamp)
        return false;
    return std::string_view(bytes).substr(markLength) == body;
}
