#include "app/rules_tester.h"

#include "app/rules_editor_texts.h"
#include "engine/rewrite/mode_rules.h"
#include "engine/rewrite/rule_matcher.h"
#include "platform/code_page.h"
#include "platform/mbcs.h"
#include "prep/prep_messages.h"

namespace {

// The tester shows no more than a text box holds comfortably.
constexpr size_t kMaxSampleResult = size_t{1} << 20;

bool Convert(const char* from, const char* to, const std::string& in, std::string& out) {
    if (std::string_view(from) == to) {
        out = in;
        return true;
    }
    return ConvertCharset(from, to, in, out);
}

}  // namespace

std::string TryRules(const std::vector<CReplaceRuleText>& rules, const std::string& sample,
                     const CMatchModes& modes) {
    const CCodePage& working = CCodePage::Working();
    const char* name = working.IsUtf8() ? "UTF-8" : working.Name().c_str();
    std::string text;
    if (!Convert("UTF-8", name, sample, text) || !working.IsValid(text))
        return FillMessage(app_text::kSampleNotInCodePage, {working.Name()});
    MbsReplaceAll(working, text, "\r\n", "\n");
    MbsReplaceAll(working, text, "\n", "\r\n");
    std::string out;
    RulesApplied applied;
    if (modes.Any()) {
        CJob job;
        job.rules = rules;
        job.modes = modes;
        Reason skip = Reason::None;
        applied = CModeRules(job, working).Apply(text, out, kMaxSampleResult, skip);
    } else {
        applied = ApplyRulesTo(working, rules, text, out, kMaxSampleResult);
    }
    switch (applied) {
        case RulesApplied::NoneOccurred:
            out = text;
            break;
        case RulesApplied::TooLarge:
            return app_text::kSampleTooLarge;
        case RulesApplied::Occurred:
            break;
    }
    MbsReplaceAll(working, out, "\r\n", "\n");
    std::string utf8;
    return Convert(name, "UTF-8", out, utf8) ? utf8 : out;
}
