#pragma once
// The replacement rules applied to a text that arrives a piece at a time, so
// that a file far larger than the memory it may use is rewritten with a few
// pieces in hand. The result is exactly that of the rules applied to the
// whole text in order (each on the result of the ones before, left to
// right, without overlaps): each rule holds back only the end of a piece
// that may still begin its find text. Byte matching: for text in which a
// match of a valid find text cannot start inside a character (UTF-8,
// single-byte sets), never for double-byte code pages.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/job.h"

class CStreamRules {
  public:
    explicit CStreamRules(const std::vector<CReplaceRuleText>& rules);

    // Applies the rules to the next piece of text; afterwards piece holds the
    // result that is final so far (possibly less than was given, the rest
    // held back). end: this is the last piece; everything held comes out.
    void Feed(std::string& piece, bool end);
    // Whether any find text has occurred so far.
    bool Occurred() const { return m_bOccurred; }
    // The occurrences replaced so far, over all rules.
    std::uint64_t Replacements() const { return m_replacements; }

  private:
    struct CStage {
        std::string_view find;
        std::string_view replacement;
        std::string carry;  // the held-back end of the last piece
    };
    void Apply(CStage& stage, std::string& in, bool end);
    // Matches of find that begin in the carry, with the start of in after it.
    size_t ApplyToCarry(CStage& stage, std::string_view in);

    std::vector<CStage> m_stages;
    std::string m_out;  // the buffer that a stage with matches writes into
    bool m_bOccurred = false;
    std::uint64_t m_replacements = 0;
};
