#include "KivNorvikDiagnosis.h"

#include "KivNorvikSharedLines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <exception>
#include <new>

namespace {

using Kind = KivNorvikDiagnosis::Kind;
using Severity = KivNorvikFinding::Severity;
constexpr Severity E = KivNorvikFinding::Error;
constexpr Severity W = KivNorvikFinding::Warning;

// The wording's parts: {k} the keyword, {w} the word, {h} the group's header
// (or the name given), {o} the other group or kind, {n} the count, {t} the
// entry's own text, {e} the line that ends a group. The table is in the
// order of the kinds.
struct Wording
{
    Kind kind;
    const char* code;
    Severity severity;
    const char* text;
};

// clang-format off
constexpr Wording kWordings[] = {
    {Kind::CannotOpen,         "cannot-open",            E, "The file cannot be opened: {t}"},
    {Kind::ReadError,          "read-error",             E, "The file cannot be read to its end: {t}"},
    {Kind::ReadFailed,         "read-error",             E, "The file cannot be read: {t}"},
    {Kind::OutOfMemory,        "out-of-memory",          E, "Memory ran out while reading the file"},
    {Kind::WrongRecordRefused, "wrong-record",           E, "The record given is not a {h}: it is left unchanged"},
    {Kind::WrongRecordLost,    "wrong-record",           E, "The record given is not a {h}: the values of the file do not reach it"},
    {Kind::ByteOrderMark,      "byte-order-mark",        E, "The file starts with a UTF-8 byte-order mark, read as part of its first line"},
    {Kind::LoneCr,             "lone-cr",                E, "A carriage return without a line feed does not end a line: the lines around it read as one"},
    {Kind::TabInLine,          "tab-in-line",            E, "A tab does not separate values: it is read as part of a value"},
    {Kind::Utf8Text,           "utf8-text",              W, "The text looks like UTF-8; the file is read as Windows-1252"},
    {Kind::RepeatedGroup,      "repeated-group",         W, "Group \"{h}\" is given again: its lines overwrite the earlier ones"},
    {Kind::NoRoomForGroup,     "too-many-entries",       E, "The record has room for no more \"{h}\" groups: this one is passed over"},
    {Kind::WrongKindTag,       "wrong-kind",             E, "The tag line is that of a {t} file, not of a {h} file"},
    {Kind::SecondTagLine,      "second-tag-line",        W, "A second tag line is ignored: the project name comes from the first"},
    {Kind::LineOutsideGroup,   "line-outside-group",     W, "A line outside any group is passed over"},
    {Kind::UnknownGroup,       "unknown-group",          E, "Unknown group \"{w}\": its lines are passed over{t}"},
    {Kind::NoTagLine,          "no-tag-line",            W, "The file has no tag line: the project name is left as it was"},
    {Kind::WrongKindHeaders,   "wrong-kind",             E, "The file looks like a {o} file, not a {h} file"},
    {Kind::MissingFin,         "missing-fin",            W, "Group \"{h}\" ends without \"{e}\"{t}"},
    {Kind::SetsNothing,        "missing-values",         E, "Too few values for \"{k}\": the line sets nothing"},
    {Kind::UnknownWord,        "unknown-word",           E, "\"{w}\" selects no code of \"{k}\": the line sets nothing the file says"},
    {Kind::NoRoom,             "too-many-entries",       E, "The record has room for no more \"{k}\" lines: this one is passed over"},
    {Kind::NoValue,            "no-value",               W, "No value after \"{k}\": read as empty"},
    {Kind::FieldsUnset,        "missing-values",         E, "Too few values for \"{k}\": the fields named are left unset"},
    {Kind::ExtraValues,        "extra-values",           W, "More values than \"{k}\" takes: the last {n} are passed over"},
    {Kind::NotANumber,         "not-a-number",           E, "\"{w}\" is not wholly a number: read as {t}"},
    {Kind::NotAnInteger,       "not-a-number",           E, "\"{w}\" is not wholly an integer: read as {t}"},
    {Kind::RepeatedKeyword,    "repeated-keyword",       W, "\"{k}\" is given again in the group: the later line wins"},
    {Kind::OtherGroup,         "keyword-of-other-group", E, "\"{k}\" belongs to group {o}, not to {h}: the line is passed over"},
    {Kind::UnknownKeyword,     "unknown-keyword",        E, "Unknown keyword \"{k}\": the line is passed over{t}"},
    {Kind::NoValueNothing,     "no-value",               W, "No value after \"{k}\": the line sets nothing"},
    {Kind::UnknownWordAfter,   "unknown-word",           E, "\"{w}\" after \"{k}\" selects no line the group knows: the line is passed over"},
    {Kind::TokenCount,         "token-count",            E, "\"{k}\" takes exactly {t}, not {n}: the line is passed over"},
};
// clang-format on

constexpr bool inKindOrder()
{
    for (size_t i = 0; i < sizeof kWordings / sizeof kWordings[0]; ++i) {
        if (static_cast<size_t>(kWordings[i].kind) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inKindOrder(), "the wordings are in the order of the kinds");

const Wording& wordingOf(Kind kind) { return kWordings[static_cast<size_t>(kind)]; }

// The wordings without parts, made when the library loads: the findings
// share their texts, so a finding's text takes no memory of its own.
const std::vector<KivString> kConstantTexts = [] {
    std::vector<KivString> all;
    for (const Wording& w : kWordings) {
        all.push_back(std::strchr(w.text, '{') == nullptr
                          ? KivString::permanent(KivString(w.text).getStringW())
                          : KivString());
    }
    return all;
}();

const KivString& constantText(Kind kind) { return kConstantTexts[static_cast<size_t>(kind)]; }

std::wstring wide(const char* text)
{
    std::wstring out;
    for (const char* p = text; *p != 0; ++p) {
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return out;
}

std::wstring wideText(const KivNorvikToken& token) { return KivString(token).getStringW(); }

wchar_t upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Whether `text` is `word` but for letter case or one character inserted,
// removed or replaced.
bool nearly(const std::wstring& text, const char* word)
{
    const std::wstring w = wide(word);
    if (text == w) {
        return false;
    }
    if (text.size() == w.size()) {
        int differences = 0;
        bool caseOnly = true;
        for (size_t i = 0; i < w.size(); ++i) {
            if (text[i] != w[i]) {
                ++differences;
                caseOnly = caseOnly && upper(text[i]) == upper(w[i]);
            }
        }
        return differences <= 1 || caseOnly;
    }
    const std::wstring& longer = text.size() > w.size() ? text : w;
    const std::wstring& shorter = text.size() > w.size() ? w : text;
    if (longer.size() != shorter.size() + 1) {
        return false;
    }
    size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i]) {
        ++i;
    }
    return shorter.compare(i, std::wstring::npos, longer, i + 1, std::wstring::npos) == 0;
}

// Appends a field path to a finding, assigned in place: no copy of the text.
void addField(KivNorvikFinding& finding, const std::string& field)
{
    const int index = finding.fields.getLength();
    finding.fields.setLength(index + 1);
    if (finding.fields.getLength() != index + 1) {
        throw std::bad_alloc();
    }
    finding.fields[index].assign(field.data(), field.size());
}

// A value's field as findings name it: an element's field after its array's.
std::string fieldOf(const KivNorvikLineRule& rule, const KivNorvikValue& value)
{
    if (rule.elements.field != nullptr) {
        return std::string(rule.elements.field) + "[]." + value.field;
    }
    return value.field;
}

// Whether the whole token is a number of the value's kind, as the reader
// converts it: the conversion the store made is asked how much it took.
bool isWholeNumber(const KivNorvikToken& token, KivNorvikValueKind kind)
{
    const bool real = kind == KivNorvikValueKind::Real;
    const KivNorvikToken::Conversion wanted = real ? KivNorvikToken::Real : KivNorvikToken::Integer;
    if (token.lastConversion() != wanted) {
        if (real) {
            token.toDouble(false);
        } else {
            token.toInteger();
        }
    }
    if (token.lastWhole()) {
        return true;
    }
    // A list's integer is followed by its comma.
    const size_t used = token.lastUsed();
    return kind == KivNorvikValueKind::ListInteger && used != 0 && used + 1 == token.size() &&
           token.data()[used] == ',' && static_cast<unsigned char>(token.data()[0]) > ' ';
}

bool holdsValue(const KivNorvikValue& value)
{
    return value.kind != KivNorvikValueKind::Fixed && value.kind != KivNorvikValueKind::Sets;
}

} // namespace

void KivNorvikDiagnosis::clear()
{
    entries_.clear();
    findings_.setLength(0);
    lastLine_ = 0;
    outOfOrder_ = false;
    layout_ = nullptr;
    kindLayout_ = nullptr;
    group_ = KivNorvikToken();
}

KivNorvikDiagnosis::Entry& KivNorvikDiagnosis::add(int line, Kind kind)
{
    outOfOrder_ = outOfOrder_ || line < lastLine_;
    lastLine_ = line;
    if (entries_.capacity() == 0) {
        entries_.reserve(32); // one block holds those of most files
    }
    entries_.emplace_back();
    Entry& entry = entries_.back();
    entry.line = line;
    entry.kind = kind;
    return entry;
}

KivNorvikDiagnosis::Entry& KivNorvikDiagnosis::add(int line, Kind kind, const KivNorvikLineTokens& tokens,
                                                   const KivNorvikLineRule* rule, int firstToken,
                                                   const KivNorvikValue* value, int count)
{
    Entry& entry = add(line, kind);
    entry.keyword = tokens[0];
    const int wordToken = value != nullptr ? value->token : 1;
    if (wordToken < tokens.getLength()) {
        entry.word = tokens[wordToken];
    }
    entry.group = group_;
    entry.layout = layout_;
    entry.kindLayout = kindLayout_;
    entry.rule = rule;
    entry.value = value;
    entry.firstToken = firstToken;
    entry.count = count;
    return entry;
}

bool KivNorvikDiagnosis::numbersWhole(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens)
{
    const KivNorvikToken* first = &tokens[0];
    const KivNorvikValue* values = rule.values;
    for (unsigned numbers = rule.numberValues; numbers != 0u; numbers >>= 1, ++values) {
        if ((numbers & 1u) != 0u) {
            const KivNorvikToken& token = first[values->token];
            const KivNorvikValueKind kind = values->kind;
            if (!token.wholly(kind == KivNorvikValueKind::Real ? KivNorvikToken::Real
                                                               : KivNorvikToken::Integer) &&
                !isWholeNumber(token, kind)) {
                return false;
            }
        }
    }
    return true;
}

void KivNorvikDiagnosis::matched(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens,
                                 KivNorvikFillResult result, int number, bool& seen)
{
    const int count = tokens.getLength();
    if (result == KivNorvikFillResult::MissingValues) {
        add(number, Kind::SetsNothing, tokens, &rule, 1);
    } else if (result == KivNorvikFillResult::UnknownWord) {
        add(number, Kind::UnknownWord, tokens, &rule, 1);
    } else if (result == KivNorvikFillResult::NoRoom) {
        add(number, Kind::NoRoom, tokens, &rule, 1);
    }
    const int needed = rule.readTokens;
    if (result == KivNorvikFillResult::Done && count < needed) {
        bool textsOnly = true;
        for (int v = 0; v < rule.valueCount; ++v) {
            const KivNorvikValue& value = rule.values[v];
            if (holdsValue(value) && value.token >= count) {
                textsOnly = textsOnly && value.kind == KivNorvikValueKind::Text;
            }
        }
        if (count == 1 + rule.patternWordCount() || textsOnly) {
            add(number, Kind::NoValue, tokens, &rule, count);
        } else {
            add(number, Kind::FieldsUnset, tokens, &rule, count);
        }
    } else if (count > needed && rule.exactTokens == 0 && ((rule.flags & kNorvikRowAnyTokens) == 0u)) {
        add(number, Kind::ExtraValues, tokens, &rule, -1, nullptr, count - needed);
    }
    for (int v = 0; v < rule.valueCount; ++v) {
        const KivNorvikValue& value = rule.values[v];
        if ((rule.numberValues & (1u << v)) == 0u || value.token >= count ||
            isWholeNumber(tokens[value.token], value.kind)) {
            continue;
        }
        add(number, value.kind == KivNorvikValueKind::Real ? Kind::NotANumber : Kind::NotAnInteger, tokens,
            &rule, -1, &value);
    }
    if ((rule.flags & kNorvikRowRepeats) == 0u) {
        if (seen) {
            add(number, Kind::RepeatedKeyword, tokens, &rule, -1);
        }
        seen = true;
    }
}

void KivNorvikDiagnosis::unmatched(const KivNorvikLineTokens& tokens, int number)
{
    const KivNorvikGroupLayout& group = *layout_;
    const int count = tokens.getLength();
    const KivNorvikLineRule* byWords = nullptr;
    bool known = false, allExact = true;
    for (int r = 0; r < group.ruleCount; ++r) {
        const KivNorvikLineRule& rule = group.rules[r];
        if (!rule.reads() || tokens[0] != rule.keyword) {
            continue;
        }
        known = true;
        if (rule.matchesWords(tokens)) {
            if (byWords == nullptr) {
                byWords = &rule;
            }
            allExact = allExact && rule.exactTokens > 0;
        }
    }
    if (!known) {
        for (int g = 0; kindLayout_ != nullptr && g < kindLayout_->groupCount; ++g) {
            const KivNorvikGroupLayout& other = kindLayout_->groups[g];
            if (&other == &group || other.rules == group.rules) {
                continue;
            }
            for (int r = 0; r < other.ruleCount; ++r) {
                if (other.rules[r].reads() && tokens[0] == other.rules[r].keyword) {
                    add(number, Kind::OtherGroup, tokens, nullptr, -1).other = other.header;
                    return;
                }
            }
        }
        add(number, Kind::UnknownKeyword, tokens, nullptr, -1);
        return;
    }
    if (byWords == nullptr) {
        add(number, count == 1 ? Kind::NoValueNothing : Kind::UnknownWordAfter, tokens, nullptr, -1);
        return;
    }
    // Every value of the row is named.
    if (count == 1 + byWords->patternWordCount()) {
        add(number, Kind::NoValueNothing, tokens, byWords, 0);
    } else if (allExact) {
        add(number, Kind::TokenCount, tokens, byWords, 0, nullptr, count - 1);
    } else {
        add(number, Kind::SetsNothing, tokens, byWords, 0);
    }
}

void KivNorvikDiagnosis::write(const Entry& entry, KivNorvikFinding& finding) const
{
    const Wording& wording = wordingOf(entry.kind);
    finding.line = entry.line;
    finding.severity = wording.severity;
    finding.code = wording.code;
    const KivString& constant = constantText(entry.kind);
    // A slot's texts are empty unless it is reused from an earlier read.
    if (finding.keyword.isEmpty() == 0) {
        finding.keyword = KivString();
    }
    if (finding.group.isEmpty() == 0) {
        finding.group = KivString();
    }
    finding.fields.setLength(0);
    if (entry.keywordText != nullptr) {
        finding.keyword = KivString(entry.keywordText);
    } else if (entry.keyword.size() > 0) {
        finding.keyword = KivString(entry.keyword);
    }
    if (entry.group.size() > 0) {
        finding.group = KivString(entry.group);
    }
    if (constant.isEmpty() == 0) {
        finding.message = constant;
    } else {
        std::wstring text;
        std::wstring own = wide(entry.text.c_str());
        if (entry.kind == Kind::UnknownKeyword && entry.layout != nullptr) {
            const std::wstring keyword = wideText(entry.keyword);
            for (int r = 0; r < entry.layout->ruleCount; ++r) {
                const char* candidate = entry.layout->rules[r].keyword;
                if (entry.layout->rules[r].reads() && nearly(keyword, candidate)) {
                    own = L" (did you mean " + wide(candidate) + L"?)";
                    break;
                }
            }
        } else if (entry.kind == Kind::NotANumber) {
            wchar_t buffer[64];
            std::swprintf(buffer, 64, L"%g", entry.word.toDouble(false));
            own = buffer;
        } else if (entry.kind == Kind::NotAnInteger) {
            own = std::to_wstring(entry.word.toInteger());
        } else if (entry.kind == Kind::TokenCount) {
            const int exact = entry.rule->exactTokens;
            own = std::to_wstring(exact - 1) + (exact == 2 ? L" value" : L" values");
        }
        for (const char* p = wording.text; *p != '\0'; ++p) {
            if (*p != '{' || p[1] == '\0' || p[2] != '}') {
                text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
                continue;
            }
            switch (p[1]) {
            case 'k': text += wideText(entry.keyword); break;
            case 'w': text += wideText(entry.word); break;
            case 'h':
                text += entry.name != nullptr     ? wide(entry.name)
                        : entry.layout != nullptr ? wide(entry.layout->header)
                                                  : std::wstring();
                break;
            case 'o': text += wide(entry.other != nullptr ? entry.other : ""); break;
            case 'n': text += std::to_wstring(entry.count); break;
            case 't': text += own; break;
            case 'e': text += wide(KivNorvikSharedLines::groupEnd); break;
            default: break;
            }
            p += 2;
        }
        finding.message = KivString(text.c_str());
    }
    if (entry.value != nullptr && entry.rule != nullptr) {
        addField(finding, fieldOf(*entry.rule, *entry.value));
    } else if (entry.firstToken >= 0 && entry.rule != nullptr) {
        const KivNorvikLineRule& rule = *entry.rule;
        for (int v = 0; v < rule.valueCount; ++v) {
            const KivNorvikValue& value = rule.values[v];
            if (holdsValue(value) && value.field[0] != '\0' && value.token >= entry.firstToken) {
                addField(finding, fieldOf(rule, value));
            }
        }
    }
}

const KivArray<KivNorvikFinding>& KivNorvikDiagnosis::findings(bool quiet)
{
    if (entries_.empty()) {
        return findings_;
    }
    const int total = static_cast<int>(entries_.size());
    const int first = findings_.getLength();
    findings_.setLength(first + total);
    if (findings_.getLength() != first + total) {
        if (!quiet) {
            throw std::bad_alloc();
        }
        entries_.clear(); // no room to give them
        return findings_;
    }
    for (int i = 0; i < total; ++i) {
        const Entry& entry = entries_[static_cast<size_t>(i)];
        KivNorvikFinding& finding = findings_[first + i];
        try {
            write(entry, finding);
        } catch (const std::exception&) {
            if (!quiet) {
                throw;
            }
            // Texts that memory does not allow stay empty.
            finding.line = entry.line;
            finding.severity = wordingOf(entry.kind).severity;
            finding.code = wordingOf(entry.kind).code;
        }
    }
    entries_.clear();
    if (outOfOrder_) {
        std::stable_sort(
            &findings_[0], &findings_[0] + findings_.getLength(),
            [](const KivNorvikFinding& a, const KivNorvikFinding& b) { return a.line < b.line; });
        outOfOrder_ = false;
    }
    return findings_;
}
