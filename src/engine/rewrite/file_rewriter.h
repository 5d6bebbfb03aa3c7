#pragma once
// CFileRewriter: one selected file, reached through its folder's handle and
// its name: read it once, tell its encoding from its mark, apply the rules,
// put the result back in the same encoding, and replace the file atomically
// at the same folder and name, only when its bytes change and only when that
// can be done without losing anything. In a dry run it decides the same way
// and writes nothing. Runs on one thread; one rewriter per thread.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/journal/run_journal.h"
#include "engine/report/reason_texts.h"
#include "engine/rewrite/file_result.h"
#include "engine/rewrite/find_probe.h"
#include "engine/rewrite/held_rewrite.h"
#include "engine/rewrite/large_file_scan.h"
#include "engine/rewrite/recorded_replace.h"
#include "engine/run/job.h"
#include "platform/code_page.h"
#include "platform/dir.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"

class CFileRewriter {
  public:
    explicit CFileRewriter(const CJob& job);

    // path: the file's path below the chosen folder, for the journal.
    CFileResult Rewrite(const CDir& dir, const CDirEntry& entry, std::string_view path = {});

    // The run's journal: every replace is recorded in it first (null: none).
    CRunJournal* m_pJournal = nullptr;

    // When set, called for each file that is rewritten (or would be, in a
    // dry run) with its old and new text in the working code page, before
    // Rewrite returns. A large file's bytes are then kept until the end.
    std::function<void(std::string_view oldText, std::string_view newText)> m_changeHook;

  private:
    CFileResult RewriteLarge(const CDir& dir, const CPlatformName& name, CFileReader& reader);
    // The rules applied a piece at a time, the result written a piece at a
    // time: text in UTF-8 in a UTF-8 working code page only.
    CFileResult RewriteStreamed(const CDir& dir, const CPlatformName& name, CFileReader& reader,
                                TextEncoding encoding, size_t markLength);
    CFileResult ScanLarge(const CDir& dir, const CPlatformName& name);
    // With a match mode on: no byte search can tell, so the file is read
    // whole (up to the modes' limit) and handed to the held rewrite.
    CFileResult RewriteInMode(const CDir& dir, const CPlatformName& name, CFileReader& reader);
    // A file larger than a piece, searched a piece at a time in a small
    // buffer that stays in the processor's cache, as most files hold no find
    // text. Found: it has to be read whole to tell. consumed: the bytes read
    // from reader; error: set on ReadFailed.
    ScanOutcome ScanInPieces(CFileReader& reader, std::uint64_t& consumed, CIoResult& error);
    // The whole file into m_bytes, after consumed bytes were read from reader.
    CIoResult ReadWhole(CFileReader& reader, size_t consumed);
    size_t MaxBytes() const { return static_cast<size_t>(m_job.maxFileBytes); }

    const CJob& m_job;
    const CCodePage m_codePage;  // the job's working code page
    CFindProbe m_probe;
    CRecordedReplace m_replace;
    CHeldRewrite m_held;
    std::string m_bytes;   // the file as read; capacity reused from file to file
    std::string m_piece;   // a piece of a file being searched, and the carried bytes
    std::string m_theirs;  // the original's bytes where a streamed result goes
    size_t m_carry = 0;    // how far a find text may reach back into the last piece
};
