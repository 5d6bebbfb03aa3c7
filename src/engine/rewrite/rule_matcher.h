#pragma once
// The hot path of a run, for text that is already in the working code page:
// one pass that tells whether any find text occurs at all (most files hold
// none), and the application of the rules without copying the file's text
// first. Results are exactly those of MbsFind and MbsReplaceAll rule by rule.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/job.h"
#include "platform/needle_sieve.h"

class CCodePage;

// A multi-pattern search over the find texts of the replacement rules: the
// needle sieve where the processor and the find texts allow it (few find
// texts, none shorter than three bytes), else Wu-Manber with two-byte
// blocks, which looks at most bytes of a text once and skips ahead by up
// to the shortest find text's length.
class CRuleMatcher {
  public:
    // Builds the tables for the find texts of rules.
    void Prepare(const std::vector<CReplaceRuleText>& rules);

    // False when no find text occurs in text; true when one occurs byte for
    // byte. On a double-byte code page such a match may start inside a
    // character, so true there only means that the exact search must decide.
    bool AnyOccurs(std::string_view text) const;
    // Bit i clear: the find text of rule i occurs nowhere in text byte for
    // byte; 0 when none occurs; all bits set when one occurs and the search
    // cannot tell which (no sieve). One pass either way.
    std::uint64_t Occurring(std::string_view text) const {
        if (m_sieve.Usable())
            return m_sieve.Occurring(text);
        return AnyOccurs(text) ? ~std::uint64_t{0} : 0;
    }

  private:
    bool Matches(std::string_view text, size_t start, uint16_t bucket) const;
    // Whether a find text ends its window at a block starting in [from, to].
    bool ScanEnds(std::string_view text, size_t from, size_t to) const;

    CNeedleSieve m_sieve;
    std::vector<std::string> m_finds;
    size_t m_window = 0;                        // length of the shortest find text
    std::vector<uint8_t> m_shift;               // per block: how far the window may move
    std::vector<uint16_t> m_bucket;             // per block ending a window: 1 + index into m_ends
    std::vector<std::vector<uint16_t>> m_ends;  // find texts whose window ends in that block
};

enum class RulesApplied { NoneOccurred, Occurred, TooLarge };

// Applies rules in order to text, each on the result of the ones before, as
// MbsReplaceAll would one rule after another. Occurred when any find text
// occurred (even with a replacement equal to it): the result is then in out.
// TooLarge when a result would reach maxBytes; nothing that large is made.
// text is only read; releaseText, when set, is called as soon as text is no
// longer needed, so that a large file is never held in more than two
// copies. Each rule is one pass over the text before it, except a rule
// whose bit in present is clear (its find text is not in text) while no
// rule applied before it could have made it (CRuleMatcher::Occurring).
RulesApplied ApplyRulesTo(const CCodePage& cp, const std::vector<CReplaceRuleText>& rules,
                          std::string_view text, std::string& out, size_t maxBytes,
                          const std::function<void()>& releaseText = {});

// The same, with the second buffer that rules alternate with kept from one
// call to the next (one per thread).
class CRuleApplier {
  public:
    RulesApplied Apply(const CCodePage& cp, const std::vector<CReplaceRuleText>& rules,
                       std::string_view text, std::string& out, size_t maxBytes,
                       const std::function<void()>& releaseText = {},
                       std::uint64_t present = ~std::uint64_t{0});
    std::string& Spare() { return m_spare; }
    // The occurrences the last Apply replaced, over all rules.
    std::uint64_t Replacements() const { return m_replacements; }

  private:
    // Per rule, the later find texts (of the first 64) its replacement
    // could make where they were not; kept while the rules stay the same.
    const std::vector<std::uint64_t>& Makes(const std::vector<CReplaceRuleText>& rules);

    std::string m_spare;
    std::uint64_t m_replacements = 0;
    std::vector<CReplaceRuleText> m_makesFor;
    std::vector<std::uint64_t> m_makes;
};
