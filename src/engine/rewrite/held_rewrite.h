#pragma once
// CHeldRewrite: a file's text held whole. It is decoded to the working code
// page where it is not in it already, the rules are applied, the result is
// put back in the file's encoding and handed to the replace when the file's
// bytes change. Buffers are kept from file to file. One per rewriter.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/rewrite/file_result.h"
#include "engine/rewrite/find_probe.h"
#include "engine/rewrite/mode_rules.h"
#include "engine/rewrite/recorded_replace.h"
#include "engine/rewrite/rule_matcher.h"
#include "engine/run/job.h"
#include "platform/code_page.h"
#include "platform/dir.h"
#include "platform/file_io.h"

class CHeldRewrite {
  public:
    using ChangeHook = std::function<void(std::string_view oldText, std::string_view newText)>;

    // All of these must outlive the rewrite; changeHook is read at each file.
    CHeldRewrite(const CJob& job, const CCodePage& codePage, CFindProbe& probe,
                 CRecordedReplace& replace, const ChangeHook& changeHook)
        : m_job(job),
          m_codePage(codePage),
          m_probe(probe),
          m_replace(replace),
          m_changeHook(changeHook),
          m_modes(job.modes.Any() ? std::make_unique<CModeRules>(job, codePage) : nullptr) {}

    // bytes: the whole file as read, with its stamp then. A large file's
    // bytes may be released on the way; large buffers are given back after.
    // opened: the file as it was read, still open (the replace takes it), or null.
    CFileResult Rewrite(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                        std::string& bytes, CFileReader* opened = nullptr);

  private:
    CFileResult RewriteText(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                            std::string& bytes, CFileReader* opened);
    // Whether the text after the mark of the file as it is now is body.
    bool SameAsFile(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                    size_t markLength, std::string_view body, std::string& bytes) const;
    size_t MaxBytes() const { return static_cast<size_t>(m_job.maxFileBytes); }
    // The rules applied to text by the byte search or, with a mode on, by
    // the mode rules; skip set when the file must be skipped instead.
    RulesApplied ApplyRules(std::string_view text, const std::function<void()>& release,
                            std::uint64_t present, Reason& skip);

    const CJob& m_job;
    const CCodePage& m_codePage;
    CFindProbe& m_probe;
    CRecordedReplace& m_replace;
    const ChangeHook& m_changeHook;
    CRuleApplier m_applier;               // its second buffer kept from file to file
    std::unique_ptr<CModeRules> m_modes;  // with a match mode on only
    std::string m_working;                // the text in the working code page, when converted
    std::string m_result;                 // the text with the rules applied
    std::string m_encoded;                // the result in the file's encoding, when converted
};
