#include "engine/rewrite/stream_rules.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_search.h"

namespace {

// Where the end of text that may still begin find starts: the first
// position from done on whose bytes up to the end begin find; text.size()
// when there is none. Earlier positions are decided: a whole find text
// would fit after them.
size_t HeldBackFrom(std::string_view text, std::string_view find, size_t done) {
    const size_t size = text.size();
    size_t p = std::max(done, size >= find.size() ? size - find.size() + 1 : 0);
    for (; p < size; ++p) {
        if (std::memcmp(text.data() + p, find.data(), size - p) == 0)
            return p;
    }
    return size;
}

}  // namespace

CStreamRules::CStreamRules(const std::vector<CReplaceRuleText>& rules) {
    for (const CReplaceRuleText& rule : rules)
        m_stages.push_back({rule.find, rule.replacement, {}});
}

void CStreamRules::Feed(std::string& piece, bool end) {
    for (CStage& stage : m_stages)
        Apply(stage, piece, end);
}

size_t CStreamRules::ApplyToCarry(CStage& stage, std::string_view in) {
    const std::string_view find = stage.find;
    // Every match that begins in the carry ends within find.size() - 1
    // bytes of in: a window of the carry and those bytes shows them all.
    std::string window = stage.carry;
    window.append(in.substr(0, find.size() - 1));
    const size_t held = stage.carry.size();
    size_t pos = 0;
    for (size_t hit = FindBytes(window, find, 0); hit != std::string_view::npos && hit < held;
         hit = FindBytes(window, find, pos)) {
        m_out.append(window, pos, hit - pos);
        m_out.append(stage.replacement);
        pos = hit + find.size();
        m_bOccurred = true;
        ++m_replacements;
    }
    stage.carry.clear();
    if (pos <= held) {
        m_out.append(window, pos, held - pos);
        return 0;
    }
    return pos - held;  // the last match ended inside in
}

void CStreamRules::Apply(CStage& stage, std::string& in, bool end) {
    const std::string_view find = stage.find;
    // A short piece joins the carry: the window below needs find's length of it.
    if (!stage.carry.empty() && in.size() < find.size()) {
        in.insert(0, stage.carry);
        stage.carry.clear();
    }
    m_out.clear();
    const size_t start = stage.carry.empty() ? 0 : ApplyToCarry(stage, in);
    size_t hit = FindBytes(in, find, start);
    if (hit == std::string_view::npos && m_out.empty() && start == 0) {
        // Nothing to replace: the piece stays where it is, without a copy.
        const size_t keep = end ? in.size() : HeldBackFrom(in, find, 0);
        stage.carry.assign(in, keep, std::string::npos);
        in.resize(keep);
        return;
    }
    size_t done = start;
    for (; hit != std::string_view::npos; hit = FindBytes(in, find, done)) {
        m_out.append(in, done, hit - done);
        m_out.append(stage.replacement);
        done = hit + find.size();
        m_bOccurred = true;
        ++m_replacements;
    }
    const size_t keep = end ? in.size() : HeldBackFrom(in, find, done);
    m_out.append(in, done, keep - done);
    stage.carry.assign(in, keep, std::string::npos);
    in.swap(m_out);
}
