#pragma once
// CFindProbe: whether any find text of a job occurs in a file's text, told
// on the bytes in the file's own encoding so that nothing is decoded for the
// many files that no rule touches. If none occurs in the unchanged text, no
// rule can change it; if one does, the first such rule will. One per
// rewriter, that is per thread.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rewrite/rule_matcher.h"
#include "engine/run/job.h"
#include "platform/code_page.h"
#include "platform/text_codec.h"

class CFindProbe {
  public:
    // codePage: the job's working code page; both must outlive the probe.
    CFindProbe(const CJob& job, const CCodePage& codePage);

    // Text already in the working code page is searched and rewritten as it lies.
    bool InWorkingCodePage(TextEncoding encoding) const;
    // text: a file's text after its mark, in encoding. present, when given:
    // bit i clear when rule i's find text is nowhere in text (see
    // CRuleMatcher::Occurring), all bits set where that is not known.
    bool AnyOccurs(TextEncoding encoding, std::string_view text, std::uint64_t* present = nullptr);
    // Any find text byte for byte in bytes, wherever it starts.
    bool AnyBytesOccur(std::string_view bytes) const { return m_matcher.AnyOccurs(bytes); }
    // The find texts as they stand in the bytes of a file in encoding, made
    // once per encoding; null when one has no such form.
    const std::vector<std::string>* EncodedFinds(TextEncoding encoding);
    // Every find text and replacement is valid UTF-8.
    bool RulesUtf8() const { return m_bRulesUtf8; }

  private:
    struct CEncodedFinds {
        bool made = false;
        bool ok = false;
        std::vector<std::string> needles;
    };

    const CJob& m_job;
    const CCodePage& m_codePage;
    CRuleMatcher m_matcher;  // the find texts, searched for all at once
    bool m_bRulesUtf8 = true;
    std::array<CEncodedFinds, 4> m_encodedFinds;  // by encoding: UTF-16 LE, UTF-8, UTF-16 BE, ANSI
};
