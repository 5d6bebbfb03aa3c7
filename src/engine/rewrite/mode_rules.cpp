#include "engine/rewrite/mode_rules.h"

#include "engine/rewrite/mode_regex.h"
#include "engine/rewrite/wide_text.h"
#include "platform/code_page.h"

namespace {

// The characters that have a meaning of their own in a Perl regex outside a
// set. Nothing else is escaped: in Boost "\<" and "\`" have meanings too.
bool IsRegexSpecial(wchar_t c) {
    switch (c) {
        case L'\\':
        case L'.':
        case L'+':
        case L'*':
        case L'?':
        case L'[':
        case L']':
        case L'^':
        case L'$':
        case L'(':
        case L')':
        case L'{':
        case L'}':
        case L'|':
            return true;
        default:
            return false;
    }
}

std::wstring Escaped(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (IsRegexSpecial(c))
            out.push_back(L'\\');
        out.push_back(c);
    }
    return out;
}

// A piece of a replacement: literal text, or the text of a group.
struct CPiece {
    std::wstring text;
    int group = -1;
};

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// $1...$9 (and $0), ${name} or ${number}, $$; any other "$" stands for itself.
// False, with the reference in bad, for a group the regex does not have.
bool ParseReplacement(std::wstring_view text, const CModeRegex& re, std::vector<CPiece>& pieces,
                      std::string& bad) {
    std::wstring literal;
    const auto flush = [&] {
        if (!literal.empty())
            pieces.push_back({std::move(literal), -1});
        literal.clear();
    };
    const int groups = static_cast<int>(re.mark_count());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'$' || i + 1 == text.size()) {
            literal.push_back(text[i]);
            continue;
        }
        const wchar_t next = text[i + 1];
        int group = -1;
        size_t end = i + 2;
        if (next == L'$') {
            literal.push_back(L'$');
            ++i;
            continue;
        }
        if (next >= L'0' && next <= L'9') {
            group = next - L'0';
        } else if (next == L'{') {
            const size_t close = text.find(L'}', i + 2);
            if (close == std::wstring_view::npos || close == i + 2) {
                literal.push_back(L'$');
                continue;
            }
            const std::wstring_view name = text.substr(i + 2, close - i - 2);
            end = close + 1;
            bool number = true;
            for (wchar_t c : name)
                number = number && c >= L'0' && c <= L'9';
            if (number)
                group = name.size() > 4 ? groups + 1 : std::stoi(std::wstring(name));
            else
                group = re.get_named_subs()->get_id(name.data(), name.data() + name.size());
            if (group < 0)
                group = groups + 1;
        } else {
            literal.push_back(L'$');
            continue;
        }
        if (group > groups) {
            bad = Narrow(text.substr(i, end - i));
            return false;
        }
        flush();
        pieces.push_back({{}, group});
        i = end - 1;
    }
    flush();
    return true;
}

}  // namespace

struct CModeRules::CCompiled {
    CModeRegex re;
    std::vector<CPiece> pieces;
    // A find text that is a plain text (every literal rule, and a regex made
    // of plain and escaped characters only) is searched as text: Boost tries
    // a match at every character that its first character cannot exclude.
    bool literal = false;
    std::wstring needle;  // case-folded with -i
    bool ignoreCase = false;
    bool wholeWord = false;
};

namespace {

// Compiles one rule; the problem when it cannot be.
CModeProblem Compile(const CCodePage& cp, const CMatchModes& modes, std::string_view find,
                     std::string_view replacement, CModeRegex& re, std::vector<CPiece>& pieces) {
    std::wstring wideFind, wideReplacement;
    if (!DecodeWide(cp, find, wideFind) || !DecodeWide(cp, replacement, wideReplacement))
        return {CModeProblem::BadPattern, "not valid text in the working code page"};
    std::wstring pattern = modes.regex ? wideFind : Escaped(wideFind);
    if (modes.wholeWord)
        pattern = L"(?<!\\w)(?:" + pattern + L")(?!\\w)";
    auto flags = boost::regex_constants::perl | boost::regex_constants::no_mod_s;
    if (modes.ignoreCase)
        flags |= boost::regex_constants::icase;
    try {
        re.assign(pattern, flags);
    } catch (const boost::regex_error& e) {
        return {CModeProblem::BadPattern, e.what()};
    }
    pieces.clear();
    if (!modes.regex) {
        pieces.push_back({wideReplacement, -1});
        return {};
    }
    std::string bad;
    if (!ParseReplacement(wideReplacement, re, pieces, bad))
        return {CModeProblem::NoSuchGroup, bad};
    return {};
}

// The text a regex made of plain and escaped punctuation characters
// matches; false for any other regex.
bool RegexLiteral(std::wstring_view pattern, std::wstring& text) {
    text.clear();
    for (size_t i = 0; i < pattern.size(); ++i) {
        wchar_t c = pattern[i];
        if (c == L'\\') {
            if (++i == pattern.size())
                return false;
            c = pattern[i];
            const bool punctuation = c < 0x80 && !(c >= L'0' && c <= L'9') &&
                                     !(c >= L'a' && c <= L'z') && !(c >= L'A' && c <= L'Z') &&
                                     c != L'_' && c > L' ';
            if (!punctuation)
                return false;
        } else if (IsRegexSpecial(c)) {
            return false;
        }
        text.push_back(c);
    }
    return !text.empty();
}

wchar_t Fold(wchar_t c) {
    return static_cast<wchar_t>(
        FoldCase(static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c))));
}

bool IsWordAt(const std::wstring& text, size_t pos) {
    return IsWordChar(static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[pos])));
}

bool IsHighSurrogate(wchar_t c) {
    return sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00;
}

// A position between the two units of a surrogate pair (UTF-16 only).
bool SplitsPair(const std::wstring& text, const wchar_t* at) {
    const size_t pos = static_cast<size_t>(at - text.data());
    return pos > 0 && pos < text.size() && IsHighSurrogate(text[pos - 1]) && text[pos] >= 0xDC00 &&
           text[pos] < 0xE000;
}

}  // namespace

CModeProblem ModeRuleProblem(const CCodePage& cp, const CMatchModes& modes, std::string_view find,
                             std::string_view replacement) {
    CModeRegex re;
    std::vector<CPiece> pieces;
    return Compile(cp, modes, find, replacement, re, pieces);
}

CModeRules::CModeRules(const CJob& job, const CCodePage& cp) : m_codePage(cp) {
    std::vector<CReplaceRuleText> needles;
    m_bByteProbe = !job.modes.ignoreCase;
    for (const CReplaceRuleText& rule : job.rules) {
        auto compiled = std::make_unique<CCompiled>();
        if (Compile(cp, job.modes, rule.find, rule.replacement, compiled->re, compiled->pieces)
                .kind != CModeProblem::None)
            continue;
        std::wstring find;
        compiled->literal =
            DecodeWide(cp, rule.find, find) &&
            (!job.modes.regex ? !find.empty() : RegexLiteral(find, compiled->needle));
        if (compiled->literal && !job.modes.regex)
            compiled->needle = find;
        compiled->ignoreCase = job.modes.ignoreCase;
        compiled->wholeWord = job.modes.wholeWord;
        if (compiled->ignoreCase)
            for (wchar_t& c : compiled->needle)
                c = Fold(c);
        std::string bytes;
        m_bByteProbe = m_bByteProbe && compiled->literal && EncodeWide(cp, compiled->needle, bytes);
        needles.push_back({bytes, {}});
        m_rules.push_back(std::move(compiled));
    }
    if (m_bByteProbe)
        m_probe.Prepare(needles);
}

CModeRules::~CModeRules() = default;

RulesApplied CModeRules::Apply(std::string_view text, std::string& out, size_t maxBytes,
                               Reason& skip) {
    skip = Reason::None;
    m_replacements = 0;
    if (!MayOccur(text))
        return RulesApplied::NoneOccurred;
    if (text.size() > kModeMaxTextBytes) {
        skip = Reason::ModeTextTooLarge;
        return RulesApplied::NoneOccurred;
    }
    if (!DecodeWide(m_codePage, text, m_text)) {
        skip = Reason::CannotConvert;
        return RulesApplied::NoneOccurred;
    }
    bool occurred = false;
    m_folded.clear();
    for (const auto& rule : m_rules) {
        m_next.clear();
        const bool matched =
            rule->literal ? ApplyLiteral(*rule, maxBytes) : ApplyRegex(*rule, maxBytes, skip);
        if (skip != Reason::None)
            return RulesApplied::NoneOccurred;
        if (m_next.size() >= maxBytes)
            return RulesApplied::TooLarge;
        if (!matched)
            continue;
        m_text.swap(m_next);
        m_folded.clear();  // of the text before
        occurred = true;
    }
    if (!occurred)
        return RulesApplied::NoneOccurred;
    if (!EncodeWide(m_codePage, m_text, out)) {
        skip = Reason::CannotEncode;
        return RulesApplied::NoneOccurred;
    }
    return out.size() >= maxBytes ? RulesApplied::TooLarge : RulesApplied::Occurred;
}

bool CModeRules::ApplyRegex(const CCompiled& rule, size_t maxBytes, Reason& skip) {
    using Iterator = boost::regex_iterator<const wchar_t*, wchar_t, CModeTraits>;
    const auto flags = boost::match_default | boost::match_not_dot_newline;
    const wchar_t* const first = m_text.data();
    const wchar_t* const last = first + m_text.size();
    const wchar_t* copied = first;
    bool matched = false;
    try {
        for (Iterator it(first, last, rule.re, flags), end; it != end; ++it) {
            const auto& m = *it;
            if (SplitsPair(m_text, m[0].first) || SplitsPair(m_text, m[0].second)) {
                skip = Reason::SplitsSurrogate;
                return false;
            }
            matched = true;
            ++m_replacements;
            m_next.append(copied, m[0].first);
            for (const CPiece& piece : rule.pieces) {
                if (piece.group < 0)
                    m_next.append(piece.text);
                else if (m[piece.group].matched)
                    m_next.append(m[piece.group].first, m[piece.group].second);
            }
            copied = m[0].second;
            if (m_next.size() >= maxBytes)
                return true;
        }
    } catch (const boost::regex_error& e) {
        skip = e.code() == boost::regex_constants::error_complexity ? Reason::RegexTooComplex
                                                                    : Reason::RegexFailed;
        return false;
    }
    if (matched)
        m_next.append(copied, last);
    return matched;
}

// The same result as the regex the rule compiled to, found by a text search:
// leftmost occurrences that do not overlap, the case folded with -i, those
// next to a word character passed over with -w.
bool CModeRules::ApplyLiteral(const CCompiled& rule, size_t maxBytes) {
    if (rule.ignoreCase && m_folded.empty() && !m_text.empty()) {
        m_folded.resize(m_text.size());
        for (size_t i = 0; i < m_text.size(); ++i)
            m_folded[i] = Fold(m_text[i]);
    }
    const std::wstring_view haystack = rule.ignoreCase ? m_folded : m_text;
    const size_t n = rule.needle.size();
    size_t copied = 0;
    bool matched = false;
    for (size_t at = haystack.find(rule.needle); at != std::wstring_view::npos;
         at = haystack.find(rule.needle, at)) {
        if (rule.wholeWord && ((at > 0 && IsWordAt(m_text, at - 1)) ||
                               (at + n < m_text.size() && IsWordAt(m_text, at + n)))) {
            ++at;
            continue;
        }
        matched = true;
        ++m_replacements;
        m_next.append(m_text, copied, at - copied);
        for (const CPiece& piece : rule.pieces)
            m_next.append(piece.group < 0 ? std::wstring_view(piece.text)
                                          : std::wstring_view(m_text).substr(at, n));
        copied = at + n;
        at += n;
        if (m_next.size() >= maxBytes)
            return true;
    }
    if (matched)
        m_next.append(m_text, copied, std::wstring::npos);
    return matched;
}

void CModeRules::Trim(size_t keep) {
    for (std::wstring* buffer : {&m_text, &m_next}) {
        if (buffer->capacity() * sizeof(wchar_t) > keep)
            std::wstring().swap(*buffer);
    }
}
