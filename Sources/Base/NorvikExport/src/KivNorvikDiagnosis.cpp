#include "KivNorvikDiagnosis.h"

#include "KivNorvikFileSyntax.h"
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

// The codes, each once, with what they mean: the list a host shows or a
// code-scanning page takes its rules from.
struct CodeText
{
    const char* code;
    const char* summary;
};

// clang-format off
constexpr CodeText kCodes[] = {
    {"cannot-open",            "The file cannot be opened"},
    {"read-error",             "The file cannot be read to its end"},
    {"out-of-memory",          "Memory ran out while reading the file"},
    {"wrong-record",           "The record given to the reader is not of the reader's kind"},
    {"empty-file",             "The file holds no line that is not blank"},
    {"not-text",               "The file is not a text exchange file"},
    {"byte-order-mark",        "The file starts with a UTF-8 byte-order mark, which is passed over"},
    {"lone-cr",                "A carriage return without a line feed joins two lines into one"},
    {"tab-in-line",            "A tab, which does not separate values, is read as part of a value"},
    {"utf8-text",              "The text looks like UTF-8; the file is read as Windows-1252"},
    {"repeated-group",         "A group is given again; an error when its values differ from the earlier"},
    {"too-many-entries",       "The record has no room for more lines or groups of the kind"},
    {"wrong-kind",             "The file is of another kind than the reader's"},
    {"second-tag-line",        "A second tag line; an error when it names another project"},
    {"line-outside-group",     "Lines outside any group are passed over"},
    {"unknown-group",          "A line where a header belongs is no header of the kind"},
    {"no-tag-line",            "The file has no tag line"},
    {"missing-fin",            "A group ends without \"FIN\""},
    {"missing-values",         "A line has fewer values than its fields"},
    {"unknown-word",           "A word selects no code"},
    {"no-value",               "A text has no value and is read as empty"},
    {"extra-values",           "A line has more values than it takes"},
    {"not-a-number",           "A value is not wholly a number, or not a finite one in range"},
    {"repeated-keyword",       "A keyword is given again in its group; an error when its values differ"},
    {"keyword-of-other-group", "A keyword of another group is passed over"},
    {"unknown-keyword",        "A keyword that the group does not know is passed over"},
    {"token-count",            "A line that takes an exact number of values has another"},
    {"too-many-findings",      "More findings than are kept: the rest are counted"},
};
// clang-format on

// The wording's parts: {k} the keyword, {w} the word, {h} the group's header
// (or the name given), {o} the other group or kind, {n} the count, {t} the
// entry's own text, {e} the line that ends a group, {l} the finding's line.
// The table is in the order of the kinds; `wholeFile` findings are kept
// whatever the bound.
struct Wording
{
    Kind kind;
    const char* code;
    Severity severity;
    const char* text;
    bool wholeFile = false;
};

constexpr bool F = true;

// clang-format off
constexpr Wording kWordings[] = {
    {Kind::CannotOpen,             "cannot-open",            E, "The file cannot be opened: {t}", F},
    {Kind::ReadError,              "read-error",             E, "The file cannot be read to its end: {t}", F},
    {Kind::ReadFailed,             "read-error",             E, "The file cannot be read: {t}", F},
    {Kind::OutOfMemory,            "out-of-memory",          E, "Memory ran out while reading the file", F},
    {Kind::WrongRecordRefused,     "wrong-record",           E, "The record given is not a {h}: it is left unchanged", F},
    {Kind::WrongRecordLost,        "wrong-record",           E, "The record given is not a {h}: the values of the file do not reach it", F},
    {Kind::EmptyFile,              "empty-file",             E, "{t}: there is nothing to read", F},
    {Kind::NotText,                "not-text",               E, "Not a text exchange file: a binary file? ({t})", F},
    {Kind::ByteOrderMark,          "byte-order-mark",        W, "The file starts with a UTF-8 byte-order mark, which is passed over", F},
    {Kind::LoneCr,                 "lone-cr",                E, "A carriage return without a line feed does not end a line: the lines around it read as one"},
    {Kind::TabInLine,              "tab-in-line",            E, "A tab does not separate values: it is read as part of a value"},
    {Kind::Utf8Text,               "utf8-text",              W, "The text looks like UTF-8; the file is read as Windows-1252"},
    {Kind::RepeatedGroupSame,      "repeated-group",         W, "Group \"{h}\" is given again with the same values"},
    {Kind::RepeatedGroupDiffers,   "repeated-group",         E, "Group \"{h}\" is given again with other values: {t}"},
    {Kind::NoRoomForGroup,         "too-many-entries",       E, "The record has room for no more \"{h}\" groups: this one is passed over"},
    {Kind::WrongKindTag,           "wrong-kind",             E, "The tag line is that of a {t} file, not of a {h} file: read it as a {t} file", F},
    {Kind::SecondTagLineSame,      "second-tag-line",        W, "A second tag line, the same as the first, is passed over"},
    {Kind::SecondTagLineDiffers,   "second-tag-line",        E, "A second tag line names another project: {t}"},
    {Kind::LineOutsideGroup,       "line-outside-group",     E, "A line outside any group is passed over{t}"},
    {Kind::LinesOutsideGroup,      "line-outside-group",     E, "{n} lines outside any group from line {l} are passed over{t}"},
    {Kind::FinOutsideGroup,        "line-outside-group",     W, "\"{e}\" outside any group is passed over"},
    {Kind::UnknownGroup,           "unknown-group",          E, "Unknown group \"{w}\": its lines are passed over{t}"},
    {Kind::HeaderBlanks,           "unknown-group",          E, "Header \"{w}\" {t} is not read as a header: remove the blanks"},
    {Kind::NoTagLine,              "no-tag-line",            W, "The file has no tag line: the project name is left as it was", F},
    {Kind::WrongKindHeaders,       "wrong-kind",             E, "The file looks like a {o} file, not a {h} file: read it as a {o} file", F},
    {Kind::MissingFin,             "missing-fin",            W, "Group \"{h}\" ends without \"{e}\"{t}"},
    {Kind::EndBlanks,              "missing-fin",            W, "\"{e}\" {t} is not read as the end of the group: remove the blanks"},
    {Kind::SetsNothing,            "missing-values",         E, "Too few values for \"{k}\": the line sets nothing"},
    {Kind::UnknownWord,            "unknown-word",           E, "\"{w}\" selects no code of \"{k}\": the line sets nothing the file says"},
    {Kind::NoRoom,                 "too-many-entries",       E, "The record has room for no more \"{k}\" lines: this one is passed over"},
    {Kind::NoValue,                "no-value",               W, "No value after \"{k}\": read as empty"},
    {Kind::NoNumber,               "missing-values",         E, "No value after \"{k}\": the fields named are left unset"},
    {Kind::FieldsUnset,            "missing-values",         E, "Too few values for \"{k}\": the fields named are left unset"},
    {Kind::ExtraValues,            "extra-values",           E, "More values than \"{k}\" takes: the last {n} are passed over (a number split by a blank?)"},
    {Kind::ExtraWords,             "extra-values",           W, "More values than \"{k}\" takes: the last {n} are passed over"},
    {Kind::NotANumber,             "not-a-number",           E, "\"{w}\" is not wholly a number: read as {t}"},
    {Kind::NotAnInteger,           "not-a-number",           E, "\"{w}\" is not wholly an integer: read as {t}"},
    {Kind::OutOfRange,             "not-a-number",           E, "\"{w}\" is not a finite number within range: read as unset"},
    {Kind::RepeatedKeywordSame,    "repeated-keyword",       W, "\"{k}\" is given again in the group with the same values"},
    {Kind::RepeatedKeywordDiffers, "repeated-keyword",       E, "\"{k}\" is given again in the group with other values: this line wins over line {n}"},
    {Kind::OtherGroup,             "keyword-of-other-group", E, "\"{k}\" belongs to group {o}, not to {h}: the line is passed over"},
    {Kind::UnknownKeyword,         "unknown-keyword",        E, "Unknown keyword \"{k}\": the line is passed over{t}"},
    {Kind::NoValueNothing,         "no-value",               W, "No value after \"{k}\": the line sets nothing"},
    {Kind::NoNumberNothing,        "missing-values",         E, "No value after \"{k}\": the line sets nothing"},
    {Kind::UnknownWordAfter,       "unknown-word",           E, "\"{w}\" after \"{k}\" selects no line the group knows: the line is passed over"},
    {Kind::TokenCount,             "token-count",            E, "\"{k}\" takes exactly {t}, not {n}: the line is passed over"},
    {Kind::TooManyErrors,          "too-many-findings",      E, "{n} more findings are left out: {t}", F},
    {Kind::TooManyWarnings,        "too-many-findings",      W, "{n} more findings are left out: {t}", F},
};
// clang-format on

constexpr bool inKindOrder()
{
    for (size_t i = 0; i < sizeof kWordings / sizeof kWordings[0]; ++i) {
        if (static_cast<size_t>(kWordings[i].kind) != i) {
            return false;
        }
    }
    return sizeof kWordings / sizeof kWordings[0] == KivNorvikDiagnosis::kKindCount;
}
static_assert(inKindOrder(), "the wordings are in the order of the kinds, one for each");

constexpr bool sameText(const char* a, const char* b)
{
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

constexpr bool codesListed()
{
    for (const Wording& w : kWordings) {
        bool listed = false;
        for (const CodeText& c : kCodes) {
            listed = listed || sameText(w.code, c.code);
        }
        if (!listed) {
            return false;
        }
    }
    return true;
}
static_assert(codesListed(), "each wording's code is in the list of codes");

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

// Appends a text to a list of a finding, assigned in place: no copy of the text.
void append(KivArray<KivString>& list, const std::string& text)
{
    const int index = list.getLength();
    list.setLength(index + 1);
    if (list.getLength() != index + 1) {
        throw std::bad_alloc();
    }
    list[index].assign(text.data(), text.size());
}

// A value's field as findings name it: an element's field after its array's;
// of a row whose lines fill members in turn, the member that `element` names.
std::string fieldOf(const KivNorvikLineRule& rule, const KivNorvikValue& value, int element)
{
    if (rule.elements.field != nullptr) {
        return std::string(rule.elements.field) + "[]." + value.field;
    }
    const size_t first = rule.turns != nullptr ? std::strlen(rule.turns[0]) : 0;
    if (first != 0 && element > 0 && element < rule.turnCount &&
        std::strncmp(value.field, rule.turns[0], first) == 0) {
        return rule.turns[element] + std::string(value.field + first);
    }
    return value.field;
}

// A field's path in the record: the group's path, then the field with its
// element's index; an element that was not added is named by its array.
std::string pathOf(const char* group, const std::string& field, int element)
{
    std::string path = std::string(group) + "." + field;
    const size_t open = path.find("[]");
    if (open != std::string::npos) {
        if (element < 0) {
            path.resize(open);
        } else {
            path.insert(open + 1, std::to_string(element));
        }
    }
    return path;
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

// Whether the row's reading takes the value from a token: by the value's own
// store, or by the row's reading, which names the values it takes.
bool readsValue(const KivNorvikLineRule& rule, const KivNorvikValue& value)
{
    return (value.reads() || rule.fill != nullptr) && holdsValue(value) &&
           value.kind != KivNorvikValueKind::Word && value.kind != KivNorvikValueKind::Version;
}

// Whether a value may be empty in a file the writer writes: a text, or a
// code whose line holds no word for a code outside its table.
bool isWord(const KivNorvikValue& value)
{
    return value.kind == KivNorvikValueKind::Text ||
           (value.kind == KivNorvikValueKind::Code && value.words != nullptr &&
            value.words->writtenOther < 0);
}

// Whether the row stores a value that a line's token gives.
bool storesTokens(const KivNorvikLineRule& rule)
{
    if (rule.fill != nullptr) {
        return true;
    }
    for (int v = 0; v < rule.valueCount; ++v) {
        const KivNorvikValue& value = rule.values[v];
        if (value.store != nullptr || (value.set != nullptr && value.kind == KivNorvikValueKind::Code)) {
            return true;
        }
    }
    return false;
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
    path_ = nullptr;
    lineText_ = nullptr;
    group_ = KivNorvikToken();
    kept_ = 0;
    if (leftOutTotal_ != 0) {
        std::fill(leftOut_.begin(), leftOut_.end(), 0);
        leftOutTotal_ = 0;
    }
    firstLeftOut_ = 0;
    leftOutWritten_ = false;
}

KivNorvikDiagnosis::Entry& KivNorvikDiagnosis::add(int line, Kind kind)
{
    if (max_ > 0 && kept_ >= max_ && !wordingOf(kind).wholeFile) {
        if (leftOutTotal_++ == 0) {
            firstLeftOut_ = line;
        }
        ++leftOut_[static_cast<size_t>(kind)];
        scratch_ = Entry();
        return scratch_;
    }
    kept_ += wordingOf(kind).wholeFile ? 0 : 1;
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
    entry.column =
        columnOf((value != nullptr && wordToken < tokens.getLength() ? entry.word : entry.keyword).data());
    entry.group = group_;
    entry.layout = layout_;
    entry.kindLayout = kindLayout_;
    entry.path = path_;
    entry.rule = rule;
    entry.value = value;
    entry.firstToken = firstToken;
    entry.count = count;
    return entry;
}

void KivNorvikDiagnosis::dropSince(const Mark& mark, Kind keep)
{
    size_t out = mark.entries;
    for (size_t i = mark.entries; i < entries_.size(); ++i) {
        if (entries_[i].kind == keep) {
            if (out != i) {
                entries_[out] = std::move(entries_[i]);
            }
            ++out;
        } else if (!wordingOf(entries_[i].kind).wholeFile) {
            --kept_;
        }
    }
    entries_.resize(out);
    leftOut_ = mark.leftOut;
    leftOutTotal_ = 0;
    for (int n : leftOut_) {
        leftOutTotal_ += n;
    }
    firstLeftOut_ = mark.firstLeftOut;
}

int KivNorvikDiagnosis::count(KivNorvikFinding::Severity severity, const char* code) const
{
    const auto counted = [&](Kind kind) {
        const Wording& wording = wordingOf(kind);
        return wording.severity == severity && (code == nullptr || std::strcmp(wording.code, code) == 0);
    };
    int total = 0;
    for (const Entry& entry : entries_) {
        total += counted(entry.kind) ? 1 : 0;
    }
    const int given = findings_.getLength();
    for (int i = 0; i < given; ++i) {
        const char* given_code = findings_[i].code;
        total += findings_[i].severity == severity &&
                         std::strcmp(given_code, wordingOf(Kind::TooManyErrors).code) != 0 &&
                         (code == nullptr || std::strcmp(given_code, code) == 0)
                     ? 1
                     : 0;
    }
    for (int k = 0; k < kKindCount; ++k) {
        total += counted(static_cast<Kind>(k)) ? leftOut_[static_cast<size_t>(k)] : 0;
    }
    return total;
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
                (!isWholeNumber(token, kind) || token.lastOutOfRange())) {
                return false;
            }
        }
    }
    return true;
}

bool KivNorvikDiagnosis::sameToken(const KivNorvikToken& a, const KivNorvikToken& b)
{
    if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) {
        return true;
    }
    const double x = a.toDouble(false);
    const bool whole = a.lastWhole() && !a.lastOutOfRange();
    return whole && x == b.toDouble(false) && b.lastWhole() && !b.lastOutOfRange();
}

bool KivNorvikDiagnosis::sameValues(const KivNorvikLineTokens& tokens, const Seen& earlier)
{
    earlier_.split(earlier.text, earlier.length);
    const int count = tokens.getLength();
    if (earlier_.getLength() != count) {
        return false;
    }
    for (int i = 1; i < count; ++i) {
        if (!sameToken(tokens[i], earlier_[i])) {
            return false;
        }
    }
    return true;
}

void KivNorvikDiagnosis::matched(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens,
                                 KivNorvikFillResult result, int number, int element, Seen& seen)
{
    const int count = tokens.getLength();
    const KivNorvikToken& last = tokens[count - 1];
    const int end = columnOf(last.data() + last.size()); // just past the last token
    if (result == KivNorvikFillResult::MissingValues) {
        add(number, Kind::SetsNothing, tokens, &rule, 1).column = end;
    } else if (result == KivNorvikFillResult::UnknownWord) {
        add(number, Kind::UnknownWord, tokens, &rule, 1).column =
            columnOf(count > 1 ? tokens[1].data() : last.data());
    } else if (result == KivNorvikFillResult::NoRoom) {
        add(number, Kind::NoRoom, tokens, &rule, 1).element = -1;
    }
    const int needed = rule.readTokens;
    if (result == KivNorvikFillResult::Done && count < needed) {
        bool textsOnly = true;
        for (int v = 0; v < rule.valueCount; ++v) {
            const KivNorvikValue& value = rule.values[v];
            if (readsValue(rule, value) && value.token >= count) {
                textsOnly = textsOnly && isWord(value);
            }
        }
        const Kind kind = textsOnly                              ? Kind::NoValue
                          : count == 1 + rule.patternWordCount() ? Kind::NoNumber
                                                                 : Kind::FieldsUnset;
        Entry& entry = add(number, kind, tokens, &rule, count);
        entry.column = end;
        entry.element = element;
    } else if (count > needed && rule.exactTokens == 0 && ((rule.flags & kNorvikRowAnyTokens) == 0u)) {
        Entry& entry = add(number, storesTokens(rule) ? Kind::ExtraValues : Kind::ExtraWords, tokens, &rule,
                           -1, nullptr, count - needed);
        entry.column = columnOf(tokens[needed].data());
    }
    for (int v = 0; v < rule.valueCount; ++v) {
        const KivNorvikValue& value = rule.values[v];
        if ((rule.numberValues & (1u << v)) == 0u || value.token >= count) {
            continue;
        }
        const KivNorvikToken& token = tokens[value.token];
        Kind kind = Kind::OutOfRange;
        if (!isWholeNumber(token, value.kind)) {
            kind = value.kind == KivNorvikValueKind::Real ? Kind::NotANumber : Kind::NotAnInteger;
        } else if (!token.lastOutOfRange()) {
            continue;
        }
        add(number, kind, tokens, &rule, -1, &value).element = element;
    }
    if ((rule.flags & kNorvikRowRepeats) == 0u) {
        if (seen.text != nullptr) {
            const bool same = sameValues(tokens, seen);
            Entry& entry = add(number, same ? Kind::RepeatedKeywordSame : Kind::RepeatedKeywordDiffers,
                               tokens, same ? nullptr : &rule, 1);
            entry.count = seen.number;
            entry.element = element;
        }
        seen.text = tokens[0].data();
        seen.length = static_cast<unsigned>(last.data() + last.size() - seen.text);
        seen.number = number;
    }
}

void KivNorvikDiagnosis::unmatched(const KivNorvikLineTokens& tokens, int number)
{
    const KivNorvikGroupLayout& group = *layout_;
    const int count = tokens.getLength();
    const KivNorvikLineRule* byWords = nullptr;
    bool known = false, allExact = true, textsOnly = true;
    for (int r = 0; r < group.ruleCount; ++r) {
        const KivNorvikLineRule& rule = group.rules[r];
        if (!rule.reads() || tokens[0] != rule.keyword) {
            continue;
        }
        known = true;
        for (int v = 0; v < rule.valueCount; ++v) {
            const KivNorvikValue& value = rule.values[v];
            textsOnly = textsOnly && (!readsValue(rule, value) || isWord(value));
        }
        if (rule.matchesWords(tokens)) {
            if (byWords == nullptr) {
                byWords = &rule;
            }
            allExact = allExact && rule.exactTokens > 0;
        }
    }
    const Kind noValue = textsOnly ? Kind::NoValueNothing : Kind::NoNumberNothing;
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
        Entry& entry = add(number, count == 1 ? noValue : Kind::UnknownWordAfter, tokens, nullptr, -1);
        if (count > 1) {
            entry.column = columnOf(tokens[1].data());
        }
        return;
    }
    // Every value of the row is named.
    if (count == 1 + byWords->patternWordCount()) {
        add(number, noValue, tokens, byWords, 0);
    } else if (allExact) {
        add(number, Kind::TokenCount, tokens, byWords, 0, nullptr, count - 1);
    } else {
        add(number, Kind::SetsNothing, tokens, byWords, 0);
    }
}

std::string KivNorvikDiagnosis::fieldPath(const char* group, const KivNorvikLineRule& rule,
                                          const KivNorvikValue& value, int element)
{
    return pathOf(group, fieldOf(rule, value, element), rule.turns != nullptr ? -1 : element);
}

bool KivNorvikDiagnosis::sets(const KivNorvikLineRule& rule, const KivNorvikValue& value, int count)
{
    if (value.kind == KivNorvikValueKind::Fixed || value.kind == KivNorvikValueKind::Sets) {
        return value.set != nullptr || rule.fill != nullptr;
    }
    return readsValue(rule, value) && value.token < count && value.field != nullptr && value.field[0] != '\0';
}

std::string KivNorvikDiagnosis::blanksAround(std::string_view line, std::string_view word)
{
    const size_t before = static_cast<size_t>(word.data() - line.data());
    const size_t after = line.size() - before - word.size();
    const auto blanks = [](size_t n) { return std::to_string(n) + (n == 1 ? " blank" : " blanks"); };
    std::string text;
    if (before > 0) {
        text = "preceded by " + blanks(before);
    }
    if (after > 0) {
        text += (text.empty() ? "followed by " : " and followed by ") + blanks(after);
    }
    return text;
}

void KivNorvikDiagnosis::write(const Entry& entry, KivNorvikFinding& finding) const
{
    const Wording& wording = wordingOf(entry.kind);
    finding.line = entry.line;
    finding.column = entry.column;
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
    finding.paths.setLength(0);
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
            const std::string_view keyword(entry.keyword.data(), entry.keyword.size());
            for (int r = 0; r < entry.layout->ruleCount; ++r) {
                const char* candidate = entry.layout->rules[r].keyword;
                if (entry.layout->rules[r].reads() && KivNorvikFileSyntax::nearly(keyword, candidate)) {
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
            case 'l': text += std::to_wstring(entry.line); break;
            default: break;
            }
            p += 2;
        }
        finding.message = KivString(text.c_str());
    }
    const auto name = [&](const KivNorvikLineRule& rule, const KivNorvikValue& value) {
        const std::string field = fieldOf(rule, value, entry.element);
        append(finding.fields, field);
        if (entry.path != nullptr) {
            append(finding.paths, pathOf(entry.path, field, rule.turns != nullptr ? -1 : entry.element));
        }
    };
    if (entry.value != nullptr && entry.rule != nullptr) {
        name(*entry.rule, *entry.value);
    } else if (entry.firstToken >= 0 && entry.rule != nullptr) {
        const KivNorvikLineRule& rule = *entry.rule;
        for (int v = 0; v < rule.valueCount; ++v) {
            const KivNorvikValue& value = rule.values[v];
            if (holdsValue(value) && value.field[0] != '\0' && value.token >= entry.firstToken) {
                name(rule, value);
            }
        }
    }
}

void KivNorvikDiagnosis::writeLeftOut(KivNorvikFinding& finding) const
{
    // The codes left out, most first: "299000 repeated-keyword, 3 extra-values".
    std::vector<std::pair<int, const char*>> byCode;
    bool error = false;
    for (int k = 0; k < kKindCount; ++k) {
        const int n = leftOut_[static_cast<size_t>(k)];
        if (n == 0) {
            continue;
        }
        const Wording& wording = wordingOf(static_cast<Kind>(k));
        error = error || wording.severity == E;
        auto same = std::find_if(byCode.begin(), byCode.end(), [&](const std::pair<int, const char*>& c) {
            return std::strcmp(c.second, wording.code) == 0;
        });
        if (same != byCode.end()) {
            same->first += n;
        } else {
            byCode.emplace_back(n, wording.code);
        }
    }
    std::stable_sort(byCode.begin(), byCode.end(),
                     [](const std::pair<int, const char*>& a, const std::pair<int, const char*>& b) {
                         return a.first > b.first;
                     });
    Entry entry;
    entry.line = firstLeftOut_;
    entry.kind = error ? Kind::TooManyErrors : Kind::TooManyWarnings;
    entry.count = leftOutTotal_;
    for (const auto& c : byCode) {
        entry.text += (entry.text.empty() ? "" : ", ") + std::to_string(c.first) + " " + c.second;
    }
    write(entry, finding);
}

const KivArray<KivNorvikFinding>& KivNorvikDiagnosis::findings(bool quiet)
{
    const int leftOut = leftOutTotal_ != 0 && !leftOutWritten_ ? 1 : 0;
    if (entries_.empty() && leftOut == 0) {
        return findings_;
    }
    const int total = static_cast<int>(entries_.size());
    const int first = findings_.getLength();
    findings_.setLength(first + total + leftOut);
    if (findings_.getLength() != first + total + leftOut) {
        if (!quiet) {
            throw std::bad_alloc();
        }
        entries_.clear(); // no room to give them
        return findings_;
    }
    for (int i = 0; i < total + leftOut; ++i) {
        KivNorvikFinding& finding = findings_[first + i];
        const Entry* entry = i < total ? &entries_[static_cast<size_t>(i)] : nullptr;
        try {
            if (entry != nullptr) {
                write(*entry, finding);
            } else {
                writeLeftOut(finding);
            }
        } catch (const std::exception&) {
            if (!quiet) {
                throw;
            }
            // Texts that memory does not allow stay empty.
            const Kind kind = entry != nullptr ? entry->kind : Kind::TooManyErrors;
            finding.line = entry != nullptr ? entry->line : firstLeftOut_;
            finding.severity = wordingOf(kind).severity;
            finding.code = wordingOf(kind).code;
        }
    }
    entries_.clear();
    if (outOfOrder_) {
        std::stable_sort(
            &findings_[0], &findings_[0] + first + total,
            [](const KivNorvikFinding& a, const KivNorvikFinding& b) { return a.line < b.line; });
        outOfOrder_ = false;
    }
    leftOutWritten_ = true;
    return findings_;
}

const std::vector<KivNorvikFinding::Code>& KivNorvikDiagnosis::codes()
{
    static const std::vector<KivNorvikFinding::Code> all = [] {
        std::vector<KivNorvikFinding::Code> list;
        for (const CodeText& c : kCodes) {
            Severity severity = W;
            for (const Wording& w : kWordings) {
                severity = std::strcmp(w.code, c.code) == 0 && w.severity == E ? E : severity;
            }
            list.push_back({c.code, severity, c.summary});
        }
        return list;
    }();
    return all;
}
