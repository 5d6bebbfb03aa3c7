// The rewrite of one selected file: read it once, tell its encoding from the
// same bytes, apply every replacement rule in slot order, and hand the result
// to outTxtFile only when some find text occurred and the file can be
// replaced without losing anything.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/job_tables.h"
#include "engine/large_file_scan.h"
#include "engine/replace_thread.h"
#include "engine/rule_matcher.h"
#include "platform/code_page.h"
#include "platform/file_read.h"
#include "platform/mbcs.h"
#include "service/core.h"

namespace {

// Read buffers up to this size are kept from file to file; a larger one is
// let go once the rules have copied its text.
constexpr size_t kKeptReadBuffer = size_t{4} << 20;

constexpr const char* kHoldsZero = "文件含有零字符，改写会丢失其后的内容";
constexpr const char* kOddUtf16Be = "UTF-16 BE 文件的字节数为奇数，最后一个字节无法解码";
constexpr const char* kBadUtf8 = "文件不是有效的 UTF-8 文本";
constexpr const char* kBadWorking = "文件含有工作代码页中无效的字节";
constexpr const char* kCannotConvert = "文件含有工作代码页无法表示的字符";
constexpr const char* kReadOnly = "文件为只读（没有写权限位）";
constexpr const char* kHardLinks = "文件有多个硬链接，替换会使它们分离";

// 16-bit units that UTF-8 text decodes to: one per character, two for the
// four-byte ones. A malformed byte counts one unit, as a substituting decoder
// would give it one character. Every file without a mark goes through here.
size_t Utf8Units(std::string_view text) {
    const char* p = text.data();
    size_t left = text.size();
    size_t units = 0;
#ifdef __SSE2__
    // Sixteen bytes a step: continuation bytes (10xxxxxx) are the signed
    // bytes below -64, four-byte leads (1111xxxx) those from -16 to -1. Each
    // byte lane counts up to 255 steps before the lanes are added up.
    const __m128i belowLead = _mm_set1_epi8(-64);
    const __m128i belowFour = _mm_set1_epi8(-17);
    const __m128i zero = _mm_setzero_si128();
    auto sum = [zero](__m128i lanes) {
        const __m128i halves = _mm_sad_epu8(lanes, zero);
        return static_cast<size_t>(_mm_cvtsi128_si32(halves)) +
               static_cast<size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(halves, halves)));
    };
    while (left >= 16) {
        const size_t steps = std::min<size_t>(left / 16, 255);
        __m128i continuation = zero;
        __m128i fourByte = zero;
        for (size_t k = 0; k < steps; ++k, p += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            continuation = _mm_sub_epi8(continuation, _mm_cmplt_epi8(x, belowLead));
            fourByte = _mm_sub_epi8(
                fourByte, _mm_and_si128(_mm_cmpgt_epi8(x, belowFour), _mm_cmplt_epi8(x, zero)));
        }
        left -= steps * 16;
        units += steps * 16 - sum(continuation) + sum(fourByte);
    }
#endif
    for (; left > 0; --left, ++p) {
        const auto c = static_cast<unsigned char>(*p);
        units += ((c & 0xC0) != 0x80) + (c >= 0xF0);
    }
    return units;
}

// The same for text in the working code page.
size_t WorkingUnits(const CCodePage& cp, std::string_view text) {
    if (cp.IsUtf8())
        return Utf8Units(text);
    size_t units = 0;
    for (size_t pos = 0; pos < text.size(); ++units)
        pos += cp.CharLength(text, pos);
    return units;
}

// The units of a zero-terminated reading of text plus the terminator, as
// m_wideLen counts them; saturated so a huge file cannot overflow.
int TerminatedUnits(std::string_view text, bool utf8) {
    const void* zero = std::memchr(text.data(), 0, text.size());
    if (zero)
        text = text.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - text.data()));
    const size_t units = utf8 ? Utf8Units(text) : WorkingUnits(CCodePage::Working(), text);
    return units >= static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(units) + 1;
}

// A needle in UTF-16 bytes only counts where it starts on a unit.
bool FindUnitAligned(std::string_view text, std::string_view needle) {
    for (size_t pos = text.find(needle); pos != std::string_view::npos;
         pos = text.find(needle, pos + 1)) {
        if (pos % 2 == 0)
            return true;
    }
    return false;
}

}  // namespace

TextEncoding CReplaceThread::DetectEncoding(std::string_view head) {
    if (head.size() < 2)
        return EncAnsi;
    if (head.starts_with("\xFF\xFE"))
        return EncUtf16Le;
    if (head.starts_with("\xFE\xFF"))
        return EncUtf16Be;
    if (head.starts_with("\xEF\xBB"))
        return EncUtf8;
    return EncAnsi;
}

CFileRead CReplaceThread::ReadFileText(const std::string& path) {
    m_wideText.clear();
    m_wideLen = 0;
    m_encoding = EncAnsi;
    m_textBegin = m_textEnd = 0;
    CFileRead read = ReadWholeFile(path, m_fileBytes, m_maxFileBytes);
    if (!read.Ok())
        return read;
    const size_t length = m_fileBytes.size();
    m_encoding = DetectEncoding(m_fileBytes);
    switch (m_encoding) {
        case EncUtf16Le:
        case EncUtf16Be: {
            // Lengths stay below 2 GiB, so the unit counts fit an int.
            const bool le = m_encoding == EncUtf16Le;
            m_wideLen = static_cast<int>(le ? length / 2 : (length - 2) / 2);
            m_textBegin = 2;
            // An odd UTF-16 LE file keeps its last byte as a unit with a zero
            // high byte; an odd UTF-16 BE file's last byte is left out here
            // (and the file is refused if it would be rewritten).
            if (le && length % 2)
                m_fileBytes.push_back('\0');
            m_textEnd = m_textBegin + (m_fileBytes.size() - m_textBegin) / 2 * 2;
            const std::string_view text = FileText();
            m_wideText.resize(text.size() / 2);
            for (size_t i = 0; i < m_wideText.size(); ++i) {
                const auto a = static_cast<unsigned char>(text[2 * i]);
                const auto b = static_cast<unsigned char>(text[2 * i + 1]);
                m_wideText[i] = static_cast<char16_t>(le ? a | b << 8 : b | a << 8);
            }
            break;
        }
        case EncUtf8:
            // A file of just EF BB is empty text.
            m_textBegin = std::min<size_t>(3, length);
            m_textEnd = length;
            m_wideLen = TerminatedUnits(FileText(), true);
            break;
        case EncAnsi:
            m_textEnd = length;
            m_wideLen = TerminatedUnits(FileText(), false);
            break;
    }
    return read;
}

std::string_view CReplaceThread::FileText() const {
    return std::string_view(m_fileBytes).substr(m_textBegin, m_textEnd - m_textBegin);
}

// Whether any find text occurs in the file's text, decided on the bytes in
// the file's own encoding so that nothing is decoded for the many files that
// no rule touches. Every rule is a candidate: if none occurs in the unchanged
// text, no rule can change it, and if one does, the first such rule will.
bool CReplaceThread::AnyFindOccurs(std::string_view text) {
    const CCodePage& cp = CCodePage::Working();
    const int count = g_jobTables.replaceRuleCount;
    // Text already in the working code page is searched as it stands.
    if (m_encoding == EncAnsi || (m_encoding == EncUtf8 && cp.IsUtf8())) {
        if (!m_matcher.AnyOccurs(text))
            return false;
        // Without double-byte characters a match cannot start inside one, so
        // any byte match counts; with them, only a match on a character start.
        if (!cp.IsDoubleByte())
            return true;
        for (int i = 0; i < count; ++i) {
            if (MbsFind(cp, text, g_jobTables.Find(i)) != std::string_view::npos)
                return true;
        }
        return false;
    }
    // A find text that cannot be put in the file's encoding: only the
    // decoded text can tell.
    const std::vector<std::string>* needles = EncodedFinds(m_encoding);
    if (!needles)
        return true;
    for (const std::string& needle : *needles) {
        if (m_encoding != EncUtf8 ? FindUnitAligned(text, needle)
                                  : text.find(needle) != std::string_view::npos)
            return true;
    }
    return false;
}

// The find texts as they stand in the bytes of a file in encoding (UTF-16 or
// UTF-8), converted once for all the files of a run in that encoding.
const std::vector<std::string>* CReplaceThread::EncodedFinds(TextEncoding encoding) {
    const CCodePage& cp = CCodePage::Working();
    if (m_findsCodePage != &cp) {
        m_findsCodePage = &cp;
        m_encodedFinds = {};
    }
    CEncodedFinds& slot = m_encodedFinds[encoding == EncAnsi ? 3 : static_cast<size_t>(encoding)];
    if (!slot.made) {
        const char* charset = encoding == EncUtf16Le   ? "UTF-16LE"
                              : encoding == EncUtf16Be ? "UTF-16BE"
                                                       : "UTF-8";
        slot.made = true;
        slot.ok = true;
        slot.needles.assign(static_cast<size_t>(g_jobTables.replaceRuleCount), std::string());
        for (size_t i = 0; slot.ok && i < slot.needles.size(); ++i) {
            const std::string_view find = g_jobTables.Find(static_cast<int>(i));
            if (encoding == EncAnsi || (encoding == EncUtf8 && cp.IsUtf8()))
                slot.needles[i] = find;
            else
                slot.ok = ConvertCharset(cp.Name().c_str(), charset, find, slot.needles[i]);
        }
    }
    return slot.ok ? &slot.needles : nullptr;
}

// The working text of the file: all of it, in the working code page, or
// false when it cannot be had without losing anything.
bool CReplaceThread::MakeWorkingText(std::string_view text, std::string& working,
                                     std::string& reason) const {
    const CCodePage& cp = CCodePage::Working();
    if (m_encoding == EncUtf16Le || m_encoding == EncUtf16Be) {
        if (m_encoding == EncUtf16Be && m_fileBytes.size() % 2) {
            reason = kOddUtf16Be;
            return false;
        }
        if (std::find(m_wideText.begin(), m_wideText.end(), u'\0') != m_wideText.end()) {
            reason = kHoldsZero;
            return false;
        }
        if (!cp.FromUtf16(m_wideText, working)) {
            reason = kCannotConvert;
            return false;
        }
        return true;
    }
    // A zero byte would end the working text: whatever follows would be lost.
    if (std::memchr(text.data(), 0, text.size())) {
        reason = kHoldsZero;
        return false;
    }
    if (m_encoding == EncUtf8 && !IsValidUtf8(text)) {
        reason = kBadUtf8;
        return false;
    }
    if (m_encoding == EncAnsi && !cp.IsValid(text)) {
        reason = kBadWorking;
        return false;
    }
    if (m_encoding == EncAnsi || cp.IsUtf8())
        return true;  // used where it lies: ProcessFile applies the rules to it directly
    if (!cp.FromCharset("UTF-8", text, working)) {
        reason = kCannotConvert;
        return false;
    }
    return true;
}

// Each rule in slot order on the result of the ones before; true when any
// find text occurred, even if its replacement is the same text.
bool CReplaceThread::ApplyRules(std::string& text) {
    const CCodePage& cp = CCodePage::Working();
    bool changed = false;
    for (int i = 0; i < g_jobTables.replaceRuleCount; ++i) {
        if (MbsReplaceAll(cp, text, g_jobTables.Find(i), g_jobTables.Replacement(i)) > 0)
            changed = true;
    }
    return changed;
}

void CReplaceThread::RecordFile(RunEventKind kind, const std::string& path, std::string reason) {
    m_result.events.push_back(CRunEvent{kind, path, std::string(), std::move(reason)});
}

// A file too large to hold: it is searched a piece at a time and never
// rewritten. With no find text in it, it is simply unchanged.
void CReplaceThread::ProcessLargeFile(const std::string& path, const CFileRead& read) {
    std::string head;
    int error = 0;
    if (!ReadFileHead(path, head, error))
        return RecordFile(RunEventKind::Skipped, path,
                          std::string("无法读取: ") + std::strerror(error));
    m_encoding = DetectEncoding(head);
    CScanRequest request;
    const bool utf16 = m_encoding == EncUtf16Le || m_encoding == EncUtf16Be;
    request.begin = utf16 ? 2 : m_encoding == EncUtf8 ? 3 : 0;
    request.unitAligned = utf16;
    request.padOddEnd = m_encoding == EncUtf16Le;
    ScanOutcome outcome = ScanOutcome::Found;
    if (const std::vector<std::string>* needles = EncodedFinds(m_encoding)) {
        request.needles = *needles;
        outcome = ScanFileForAny(path, request, error);
    }
    switch (outcome) {
        case ScanOutcome::NotFound:
            ++m_result.unchanged;
            return;
        case ScanOutcome::Found:
            return RecordFile(RunEventKind::Skipped, path, read.Reason());
        case ScanOutcome::ReadFailed:
            break;
    }
    RecordFile(RunEventKind::Skipped, path,
               error ? std::string("无法读取: ") + std::strerror(error) : "不是普通文件");
}

void CReplaceThread::ProcessFile(const std::string& path) {
    if (m_matcher.Prepare(g_jobTables))
        m_encodedFinds = {};
    ++m_fileCount;
    m_result.selected = m_fileCount;
    Post(WM_JOB_PROGRESS, m_fileCount);

    const CFileRead read = ReadFileText(path);
    if (read.status == ReadStatus::TooLarge)
        return ProcessLargeFile(path, read);
    if (!read.Ok())
        return RecordFile(RunEventKind::Skipped, path, read.Reason());
    const std::string_view text = FileText();
    if (m_wideLen == 0 || !AnyFindOccurs(text)) {
        ++m_result.unchanged;
        return;
    }
    std::string working, reason;
    if (!MakeWorkingText(text, working, reason))
        return RecordFile(RunEventKind::Skipped, path, std::move(reason));
    // Text already in the working code page is not copied first, and the
    // buffer of a large file goes as soon as the first rule has made its copy.
    const bool asItLies =
        m_encoding == EncAnsi || (m_encoding == EncUtf8 && CCodePage::Working().IsUtf8());
    const auto release = [this] {
        if (m_fileBytes.capacity() > kKeptReadBuffer) {
            std::string().swap(m_fileBytes);
            m_textBegin = m_textEnd = 0;
        }
    };
    if (asItLies ? !ApplyRulesTo(CCodePage::Working(), g_jobTables, text, working, release)
                 : !ApplyRules(working)) {
        ++m_result.unchanged;
        return;
    }
    // A change is due; these files cannot take it safely.
    if ((read.stamp.mode & 0222) == 0)
        return RecordFile(RunEventKind::Skipped, path, kReadOnly);
    if (read.stamp.nlink > 1)
        return RecordFile(RunEventKind::Skipped, path, kHardLinks);

    if (!g_pCore)
        return RecordFile(RunEventKind::WriteFailed, path, "服务对象不可用");
    if (m_encoding == EncUtf16Be)
        g_pCore->UTF8_ANSI(working);
    if (m_bDryRun)
        return RecordFile(RunEventKind::Rewritten, path, std::string());
    CWriteResult written = g_pCore->outTxtFile(working, path, &read.stamp);
    switch (written.status) {
        case WriteStatus::Written:
            return RecordFile(RunEventKind::Rewritten, path, std::string());
        case WriteStatus::Changed:
        case WriteStatus::Refused:
            return RecordFile(RunEventKind::Skipped, path, std::move(written.reason));
        case WriteStatus::Failed:
            break;
    }
    RecordFile(RunEventKind::WriteFailed, path, std::move(written.reason));
}
