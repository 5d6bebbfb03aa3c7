#pragma once
// CFileRewriter: one selected file, reached through its folder's handle and
// its name: read it once, tell its encoding from its mark, apply the rules,
// put the result back in the same encoding, and replace the file atomically
// at the same folder and name, only when its bytes change and only when that
// can be done without losing anything. In a dry run it decides the same way
// and writes nothing. Runs on one thread; one rewriter per thread.

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/journal/run_journal.h"
#include "engine/report/reason_texts.h"
#include "engine/rewrite/large_file_scan.h"
#include "engine/rewrite/rule_matcher.h"
#include "engine/run/job.h"
#include "platform/code_page.h"
#include "platform/dir.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"

enum class FileOutcome { Unchanged, Rewritten, Skipped, WriteFailed };

struct CFileResult {
    FileOutcome outcome = FileOutcome::Unchanged;
    Reason reason = Reason::None;
    int osError = 0;
    int replacements = 0;  // occurrences replaced in a rewritten file, over all rules

    static CFileResult Skipped(Reason why, int error = 0) {
        return {FileOutcome::Skipped, why, error, 0};
    }
    // This result with its count of replacements, when it is a rewrite.
    CFileResult Counting(std::uint64_t replaced) const {
        CFileResult r = *this;
        if (r.outcome == FileOutcome::Rewritten)
            r.replacements = static_cast<int>(std::min<std::uint64_t>(replaced, INT_MAX));
        return r;
    }
};

class CFileRewriter {
  public:
    explicit CFileRewriter(const CJob& job);

    // path: the file's path below the chosen folder, for the journal.
    CFileResult Rewrite(const CDir& dir, const CDirEntry& entry, std::string_view path = {});

    // The run's journal: every replace is recorded in it first (null: none).
    CRunJournal* m_pJournal = nullptr;

    // Files from this size on are not held in memory but searched a piece at
    // a time; one in which a find text occurs is skipped as too large. A
    // result of this size is never made either.
    std::uint64_t m_maxFileBytes = kMaxFileBytes;
    // Files from this size on are first searched a piece at a time, and
    // rewritten a piece at a time where their text allows it, so that a run
    // holds a few pieces of them and never the whole file.
    std::uint64_t m_streamFromBytes = kStreamFromBytes;
    static constexpr std::uint64_t kStreamFromBytes = std::uint64_t{64} << 20;
    // When set, called for each file that is rewritten (or would be, in a
    // dry run) with its old and new text in the working code page, before
    // Rewrite returns. A large file's bytes are then kept until the end.
    std::function<void(std::string_view oldText, std::string_view newText)> m_changeHook;

  private:
    size_t MaxBytes() const { return static_cast<size_t>(m_maxFileBytes); }
    CFileResult RewriteHeld(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp);
    CFileResult RewriteLarge(const CDir& dir, const CPlatformName& name, CFileReader& reader);
    // The rules applied a piece at a time, the result written a piece at a
    // time: text in UTF-8 in a UTF-8 working code page only.
    CFileResult RewriteStreamed(const CDir& dir, const CPlatformName& name, CFileReader& reader,
                                TextEncoding encoding, size_t markLength);
    CFileResult RewriteRead(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp);
    // Whether the text after the mark of the file as it is now is body.
    bool SameAsFile(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                    size_t markLength, std::string_view body);
    CFileResult ScanLarge(const CDir& dir, const CPlatformName& name);
    // A file larger than a piece, searched a piece at a time in a small
    // buffer that stays in the processor's cache, as most files hold no find
    // text. Found: it has to be read whole to tell. consumed: the bytes read
    // from reader; error: set on ReadFailed.
    ScanOutcome ScanInPieces(CFileReader& reader, std::uint64_t& consumed, CIoResult& error);
    // The whole file into m_bytes, after consumed bytes were read from reader.
    CIoResult ReadWhole(CFileReader& reader, size_t consumed);
    // The outcome of a replace (or, in a dry run, of the check in its place).
    CFileResult Replaced(const CIoResult& r);
    CFileResult Replace(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                        std::string_view mark, std::string_view body);
    bool AnyFindOccurs(TextEncoding encoding, std::string_view text);
    // Text already in the working code page is searched and rewritten as it lies.
    bool InWorkingCodePage(TextEncoding encoding) const;
    // The find texts as they stand in the bytes of a file in encoding, made
    // once per encoding; null when one has no such form.
    const std::vector<std::string>* EncodedFinds(TextEncoding encoding);

    // The replace itself, through the journal when the run keeps one: replace
    // is given the file's record (or null); size and hash are of the new
    // bytes, m_originalHash of the old ones.
    CIoResult ReplaceRecorded(std::uint64_t size, std::uint64_t hash, CFileResult& refused,
                              const std::function<CIoResult(CReplaceJournal*)>& replace);

    const CJob& m_job;
    const CCodePage m_codePage;        // the job's working code page
    std::string m_path;                // of the file in hand, below the chosen folder
    CRuleMatcher m_matcher;            // the find texts, searched for all at once
    CRuleApplier m_applier;            // its second buffer kept from file to file
    bool m_bRulesUtf8 = true;          // every find text and replacement is valid UTF-8
    std::string m_bytes;               // the file as read; capacity reused from file to file
    std::uint64_t m_originalHash = 0;  // of the file in hand as read, for the journal
    std::string m_piece;               // a piece of a file being searched, and the carried bytes
    size_t m_carry = 0;                // how far a find text may reach back into the last piece
    std::string m_working;             // its text in the working code page, when converted
    std::string m_result;              // the text with the rules applied
    std::string m_encoded;             // the result in the file's encoding, when converted
    struct CEncodedFinds {
        bool made = false;
        bool ok = false;
        std::vector<std::string> needles;
    };
    std::array<CEncodedFinds, 4> m_encodedFinds;  // by encoding: UTF-16 LE, UTF-8, UTF-16 BE, ANSI
};
