#pragma once
// CFileRewriter: one selected file, reached through its folder's handle and
// its name: read it once, tell its encoding from its mark, apply the rules,
// put the result back in the same encoding, and replace the file atomically
// at the same folder and name, only when its bytes change and only when that
// can be done without losing anything. In a dry run it decides the same way
// and writes nothing. Runs on one thread; one rewriter per thread.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/job.h"
#include "engine/reason_texts.h"
#include "engine/rule_matcher.h"
#include "engine/run_journal.h"
#include "platform/code_page.h"
#include "platform/dir.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"

enum class FileOutcome { Unchanged, Rewritten, Skipped, WriteFailed };

struct CFileResult {
    FileOutcome outcome = FileOutcome::Unchanged;
    Reason reason = Reason::None;
    int osError = 0;
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
    // When set, called for each file that is rewritten (or would be, in a
    // dry run) with its old and new text in the working code page, before
    // Rewrite returns. A large file's bytes are then kept until the end.
    std::function<void(std::string_view oldText, std::string_view newText)> m_changeHook;

  private:
    size_t MaxBytes() const { return static_cast<size_t>(m_maxFileBytes); }
    CFileResult RewriteRead(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp);
    // Whether the text after the mark of the file as it is now is body.
    bool SameAsFile(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                    size_t markLength, std::string_view body);
    CFileResult ScanLarge(const CDir& dir, const CPlatformName& name);
    CFileResult Replace(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                        std::string_view mark, std::string_view body);
    bool AnyFindOccurs(TextEncoding encoding, std::string_view text);
    // The find texts as they stand in the bytes of a file in encoding, made
    // once per encoding; null when one has no such form.
    const std::vector<std::string>* EncodedFinds(TextEncoding encoding);

    // The replace itself, through the journal when the run keeps one.
    CIoResult ReplaceRecorded(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                              std::string_view mark, std::string_view body, CFileResult& refused);

    const CJob& m_job;
    const CCodePage m_codePage;
    std::string
        m_path;  // of the file in hand, below the chosen folder  // the job's working code page
    CRuleMatcher m_matcher;  // the find texts, searched for all at once
    std::string m_bytes;     // the file as read; capacity reused from file to file
    std::string m_working;   // its text in the working code page, when converted
    std::string m_result;    // the text with the rules applied
    std::string m_encoded;   // the result in the file's encoding, when converted
    struct CEncodedFinds {
        bool made = false;
        bool ok = false;
        std::vector<std::string> needles;
    };
    std::array<CEncodedFinds, 4> m_encodedFinds;  // by encoding: UTF-16 LE, UTF-8, UTF-16 BE, ANSI
};
