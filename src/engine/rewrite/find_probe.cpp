#include "engine/rewrite/find_probe.h"

#include "platform/byte_search.h"
#include "platform/mbcs.h"

namespace {

// A needle in UTF-16 bytes only counts where it starts on a unit.
bool FindUnitAligned(std::string_view text, std::string_view needle) {
    for (size_t pos = FindBytes(text, needle, 0); pos != std::string_view::npos;
         pos = FindBytes(text, needle, pos + 1)) {
        if (pos % 2 == 0)
            return true;
    }
    return false;
}

}  // namespace

CFindProbe::CFindProbe(const CJob& job, const CCodePage& codePage)
    : m_job(job), m_codePage(codePage) {
    m_matcher.Prepare(job.rules);
    for (const CReplaceRuleText& rule : job.rules)
        m_bRulesUtf8 = m_bRulesUtf8 && IsValidUtf8(rule.find) && IsValidUtf8(rule.replacement);
}

bool CFindProbe::InWorkingCodePage(TextEncoding encoding) const {
    return encoding == EncAnsi || (encoding == EncUtf8 && m_codePage.IsUtf8());
}

bool CFindProbe::AnyOccurs(TextEncoding encoding, std::string_view text, std::uint64_t* present) {
    if (present)
        *present = ~std::uint64_t{0};
    if (InWorkingCodePage(encoding)) {
        // Which find texts occur costs the same pass as whether any does
        // where the text holds none, and saves searching each rule later.
        const std::uint64_t found = present ? m_matcher.Occurring(text) : m_matcher.AnyOccurs(text);
        if (found == 0)
            return false;
        if (present)
            *present = found;
        // Without double-byte characters a match cannot start inside one, so
        // any byte match counts; with them, only a match on a character start.
        if (!m_codePage.IsDoubleByte())
            return true;
        for (const CReplaceRuleText& rule : m_job.rules) {
            if (MbsFind(m_codePage, text, rule.find) != std::string_view::npos)
                return true;
        }
        return false;
    }
    // A find text that cannot be put in the file's encoding: only the
    // decoded text can tell.
    const std::vector<std::string>* needles = EncodedFinds(encoding);
    if (!needles)
        return true;
    for (const std::string& needle : *needles) {
        if (IsUtf16(encoding) ? FindUnitAligned(text, needle)
                              : FindBytes(text, needle, 0) != std::string_view::npos)
            return true;
    }
    return false;
}

const std::vector<std::string>* CFindProbe::EncodedFinds(TextEncoding encoding) {
    CEncodedFinds& slot = m_encodedFinds[encoding == EncAnsi ? 3 : static_cast<size_t>(encoding)];
    if (!slot.made) {
        slot.made = true;
        slot.ok = true;
        slot.needles.assign(m_job.rules.size(), std::string());
        for (size_t i = 0; slot.ok && i < slot.needles.size(); ++i) {
            const std::string& find = m_job.rules[i].find;
            if (InWorkingCodePage(encoding))
                slot.needles[i] = find;
            else
                slot.ok =
                    ConvertCharset(m_codePage.Name().c_str(),
                                   CharsetOf(encoding, m_codePage.Name()), find, slot.needles[i]);
        }
    }
    return slot.ok ? &slot.needles : nullptr;
}
