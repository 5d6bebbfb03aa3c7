#pragma once
// CModeRules: the replacement rules of a job with a match mode on (case
// insensitive, whole words, regular expressions). The text of a file, in
// the working code page, is decoded into wide characters (UTF-32 on Linux,
// UTF-16 on Windows) so that no match starts or ends inside a multibyte
// character; every rule is one Boost.Regex over it (a literal find text
// escaped into one), applied in order, each to the result of the rules
// before it, as literal rules are. Perl syntax; "^" and "$" match at every
// line's start and end and "." matches no line end. With -i, letters are
// equal as Python's re with IGNORECASE takes them (unicode_tables.h); -w
// wraps a rule in (?<!\w)(?:...)(?!\w), \w being Unicode letters, digits
// and "_". A regex rule's replacement takes $1...$9, ${name} (or ${10})
// and $$; a literal rule's replacement is taken as it stands.
// One per rewriter, that is per thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/report/reason_texts.h"
#include "engine/rewrite/rule_matcher.h"
#include "engine/run/job.h"

class CCodePage;

// Text above this size, decoded, is never matched in a mode: such a file is
// skipped with its reason.
inline constexpr size_t kModeMaxTextBytes = size_t{64} << 20;

// Why a rule cannot be used with modes. Any thread.
struct CModeProblem {
    enum Kind { None, BadPattern, NoSuchGroup } kind = None;
    // BadPattern: the regex library's reason (English); NoSuchGroup: the
    // reference as written in the replacement ("$3", "${name}").
    std::string detail;
};
// The problem of the rule (find and replacement in the working code page
// cp, as the run uses them) under modes.
CModeProblem ModeRuleProblem(const CCodePage& cp, const CMatchModes& modes, std::string_view find,
                             std::string_view replacement);

class CModeRules {
  public:
    // Compiles job.rules under job.modes; a rule that does not compile (the
    // loader refuses such rules) is left out. cp must outlive this.
    CModeRules(const CJob& job, const CCodePage& cp);
    ~CModeRules();
    CModeRules(const CModeRules&) = delete;
    CModeRules& operator=(const CModeRules&) = delete;

    // As CRuleApplier::Apply, text in the working code page: NoneOccurred,
    // Occurred (the result in out) or TooLarge. skip is set, and the
    // outcome is NoneOccurred, when the file must be skipped instead: text
    // over kModeMaxTextBytes, a pattern that backtracks past the regex
    // library's bound, a match that would split a UTF-16 surrogate pair.
    RulesApplied Apply(std::string_view text, std::string& out, size_t maxBytes, Reason& skip);
    // False when no rule can match text (in the working code page), told
    // without decoding it; true when only Apply can tell.
    bool MayOccur(std::string_view text) const { return !m_bByteProbe || m_probe.AnyOccurs(text); }
    // The occurrences the last Apply replaced, over all rules.
    std::uint64_t Replacements() const { return m_replacements; }
    // Gives back buffers grown past keep bytes by a large file.
    void Trim(size_t keep);

  private:
    struct CCompiled;
    // One rule over m_text into m_next: false when it did not match.
    bool ApplyRegex(const CCompiled& rule, size_t maxBytes, Reason& skip);
    bool ApplyLiteral(const CCompiled& rule, size_t maxBytes);

    const CCodePage& m_codePage;
    std::vector<std::unique_ptr<CCompiled>> m_rules;
    // When every rule is a literal that keeps its case, no file in which none
    // of them occurs byte for byte can change: those are never decoded.
    bool m_bByteProbe = false;
    CRuleMatcher m_probe;
    std::wstring m_folded;        // m_text case-folded, for literal rules with -i
    std::wstring m_text, m_next;  // the decoded text, and what a rule makes of it
    std::uint64_t m_replacements = 0;
};
