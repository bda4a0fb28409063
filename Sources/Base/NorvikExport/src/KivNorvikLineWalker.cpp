#include "KivNorvikLineWalker.h"

#include "KivNorvikData.h"
#include "KivNorvikFileSyntax.h"
#include "KivNorvikLineTokens.h"

#include <KivBlank.h>
#include <KivCodePage.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <new>
#include <set>

namespace {

using Datum = KivNorvikLineWalker::Datum;
using Kind = KivNorvikLineWalker::Kind;

// Ranks of the reasons: a value's own fault explains a loss before a code,
// a code before the line's fate, the line's fate before its absence.
enum Rank { RankOwn = 0, RankCode = 1, RankLine = 2, RankMoved = 3, RankAbsent = 4 };

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A line's text as the file holds it: 8-bit, followed by the bytes the
// tokenizer may read past its end.
struct Bytes
{
    std::string text;
    explicit Bytes(const std::wstring& line) : text(KivCodePage::encode(line.data(), line.size()))
    {
        text.append(16, '\0');
    }
    size_t size() const { return text.size() - 16; }
};

int tokenCount(const std::wstring& text)
{
    const Bytes bytes(text);
    KivNorvikLineTokens tokens;
    tokens.split(bytes.text.data(), bytes.size());
    return tokens.getLength();
}

Datum parse(const KivNorvikToken& token, Kind kind)
{
    switch (kind) {
    case Kind::Integer: return Datum::of(token.readInteger());
    case Kind::Real: return Datum::of(token.readReal());
    case Kind::Text: break;
    }
    return Datum::of(KivString(token));
}

Datum undefinedOf(Kind kind)
{
    switch (kind) {
    case Kind::Integer: return Datum::of(KivNorvikData::kUndefinedInteger);
    case Kind::Real: return Datum::of(KivNorvikData::kUndefinedReal);
    case Kind::Text: break;
    }
    return Datum::of(KivNorvikData::undefinedString());
}

std::wstring formatted(const char* format, int value)
{
    KivString text;
    text.format(format, value);
    return text.getStringW();
}

std::wstring formatted(const char* format, double value)
{
    KivString text;
    text.format(format, value);
    return text.getStringW();
}

// The text as the file holds it: line ends become blanks, characters
// without a Windows-1252 form become "?".
std::wstring asWritten(const KivString& value)
{
    std::wstring text(value.getStringW());
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    return KivCodePage::decode(KivCodePage::encode(text.data(), text.size()).c_str());
}

// The fault of a text of its own, or null.
const char* textFault(const std::wstring& text, std::string& message)
{
    if (text.find_first_of(L"\r\n") != std::wstring::npos) {
        message = "the text holds a line end; the file holds a blank in its place";
        return "text-line-end";
    }
    for (wchar_t c : text) {
        if (!KivCodePage::hasByte(c)) {
            message = "the text holds a character with no Windows-1252 form; the file holds \"?\"";
            return "not-windows-1252";
        }
    }
    if (text.empty()) {
        message = "the text is empty: the file holds no value for it";
        return "empty-text";
    }
    if (text.find(L' ') != std::wstring::npos || kivIsBlank(text.front()) || kivIsBlank(text.back())) {
        message = "the text holds white space: the file splits it and the values after it shift";
        return "text-with-blank";
    }
    return nullptr;
}

} // namespace

// Datum

Datum Datum::of(int value)
{
    Datum d;
    d.kind = Kind::Integer;
    d.integer = value;
    return d;
}

Datum Datum::of(double value)
{
    Datum d;
    d.kind = Kind::Real;
    d.real = value;
    return d;
}

Datum Datum::of(const KivString& value)
{
    Datum d;
    d.kind = Kind::Text;
    d.text = value.getStringW();
    return d;
}

bool Datum::same(const Datum& other) const
{
    if (kind != other.kind) {
        return false;
    }
    switch (kind) {
    case Kind::Integer: return integer == other.integer;
    case Kind::Real: return real == other.real;
    case Kind::Text: break;
    }
    return text == other.text;
}

// Line

KivNorvikLineWalker::Line::Line(const char* keyword, const char* shown)
    : keyword_(keyword), shown_(shown != nullptr ? shown : keyword), condition_("always"),
      conditionText_("always written"), holds_(true), reason_(nullptr), minTokens_(0), exactTokens_(0),
      index_(-1)
{
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::when(const char* name, const char* text, bool holds)
{
    condition_ = name;
    conditionText_ = text;
    holds_ = holds;
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::reason(const char* code)
{
    reason_ = code;
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::add(Value value)
{
    value.target = value.field;
    values_.push_back(value);
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::integer(const std::string& field, int value,
                                                              const char* format)
{
    return add({field, Datum::of(value), format, formatted(format, value), true, "", Kind::Integer});
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::real(const std::string& field, double value,
                                                           const char* format)
{
    return add({field, Datum::of(value), format, formatted(format, value), true, "", Kind::Real});
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::realAsInteger(const std::string& field, double value,
                                                                    int written)
{
    return add({field, Datum::of(value), "%d", formatted("%d", written), true, "", Kind::Real});
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::text(const std::string& field, const KivString& value)
{
    return add({field, Datum::of(value), "%s", asWritten(value), true, "", Kind::Text});
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::word(const char* text, const char* shown)
{
    return add(
        {"", Datum::of(KivString(text)), shown != nullptr ? shown : text, widen(text), true, "", Kind::Text});
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::code(const std::string& field, int value)
{
    add({field, Datum::of(value), "(keyword)", L"", false, "", Kind::Integer});
    values_.back().target.clear();
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::into(const std::string& field)
{
    if (!values_.empty()) {
        values_.back().target = field;
    }
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::sets(const std::string& field, const Datum& value)
{
    sets_.emplace_back(field, value);
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::unread()
{
    for (Value& v : values_) {
        v.target.clear();
    }
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::layout(const std::string& text)
{
    layout_ = text;
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::minTokens(int count)
{
    minTokens_ = count;
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::exactTokens(int count)
{
    exactTokens_ = count;
    return *this;
}

KivNorvikLineWalker::Line& KivNorvikLineWalker::Line::element(const std::string& array, int index)
{
    array_ = array;
    index_ = index;
    return *this;
}

// Walker

KivNorvikLineWalker::KivNorvikLineWalker(Mode mode, bool exactReals, bool reportUndefined)
    : mode_(mode), exactReals_(exactReals), reportUndefined_(reportUndefined)
{
}

std::string KivNorvikLineWalker::full(const std::string& field) const
{
    return path_.empty() ? field : path_ + "." + field;
}

std::string KivNorvikLineWalker::target(const std::string& field) const
{
    return member_.empty() ? field : member_ + "." + field;
}

bool KivNorvikLineWalker::isSet(const Datum& d) const
{
    switch (d.kind) {
    case Kind::Integer: return KivNorvikData::isDefined(d.integer);
    case Kind::Real:
        return exactReals_ ? KivNorvikData::isSetExactly(d.real) : KivNorvikData::isDefined(d.real);
    case Kind::Text: break;
    }
    return KivNorvikData::isDefined(KivString(d.text.c_str()));
}

void KivNorvikLineWalker::note(const std::string& path, int rank, const char* code,
                               const std::string& message)
{
    auto found = notes_.find(path);
    if (found == notes_.end() || rank < found->second.rank) {
        notes_[path] = Note{rank, code, message};
    }
}

void KivNorvikLineWalker::tag(const KivNorvikKind& kind, const KivString& projectName)
{
    const std::wstring start = L"\"" + widen(kind.tag) + L"\",\"" + widen(kind.namePrefix);
    if (describing()) {
        KivNorvikLineFormat row;
        row.group = KivString(L"");
        row.keyword = KivString((start + L"\"").c_str());
        row.formats = KivString(L"%s");
        row.fields = KivString(L"projectName");
        row.condition = KivString(L"always");
        row.when = KivString(L"always written, first line of the file");
        row.layout = KivString((start + L"%s\"").c_str());
        rows_.push_back(row);
        return;
    }
    const Bytes line(start + asWritten(projectName) + L"\"");
    KivString read;
    if (KivNorvikFileSyntax::projectName(std::string_view(line.text.data(), line.size()), kind.tag,
                                         kind.namePrefix, read)) {
        read_["projectName"] = Datum::of(read);
    }
    // The reader trims white space around the name; blanks inside it stay.
    std::string message;
    const char* fault = textFault(projectName.getStringW(), message);
    if (fault == nullptr || std::string(fault) == "empty-text" || std::string(fault) == "text-with-blank") {
        fault = "text-with-blank";
        message = "the reader trims white space around the project name";
    }
    note("projectName", RankOwn, fault, message);
}

void KivNorvikLineWalker::group(const char* header, const std::string& path, const char* condition,
                                const char* conditionText, bool written, const char* reason)
{
    header_ = header;
    path_ = path;
    member_ = path;
    written_ = written;
    readable_ = true;
    groupReason_ = reason;
    groupText_ = std::string("the ") + header + " group is not written: " + conditionText;
    if (describing()) {
        KivNorvikLineFormat row;
        row.group = KivString(header);
        row.keyword = KivString(header);
        row.condition = KivString(condition);
        row.when = KivString(conditionText);
        row.layout = KivString(header);
        rows_.push_back(row);
    }
}

void KivNorvikLineWalker::readInto(const std::string& member, bool replaces)
{
    member_ = member;
    readable_ = !member.empty();
    if (describing() || !written_ || !replaces || member.empty()) {
        return;
    }
    const std::string prefix = member + ".";
    const std::string prefixArray = member + "[";
    for (auto i = read_.begin(); i != read_.end();) {
        const bool under = i->first.compare(0, prefix.size(), prefix) == 0;
        if (under) {
            note(i->first, RankMoved, "group-repeated",
                 std::string("a later ") + header_ + " group for " + member +
                     " replaces what an earlier one filled");
        }
        i = under ? read_.erase(i) : std::next(i);
    }
    for (auto i = appended_.begin(); i != appended_.end();) {
        const bool under = i->first.compare(0, prefix.size(), prefix) == 0 ||
                           i->first.compare(0, prefixArray.size(), prefixArray) == 0;
        i = under ? appended_.erase(i) : std::next(i);
    }
}

void KivNorvikLineWalker::groupSets(const std::string& field, const Datum& value, bool anywhere)
{
    if (describing() || !written_ || !readable_) {
        return;
    }
    const std::string path = anywhere ? field : target(field);
    read_[path] = value;
    if (!anywhere && member_ != path_) {
        note(path, RankMoved, "read-elsewhere", "filled from the group written for " + path_);
    }
}

void KivNorvikLineWalker::outsideTable(const std::string& field, const std::string& message)
{
    if (!describing()) {
        note(full(field), RankCode, "code-outside-table", message);
    }
}

void KivNorvikLineWalker::explain(const std::string& field, const char* code, const std::string& message)
{
    if (!describing()) {
        note(full(field), RankCode, code, message);
    }
}

void KivNorvikLineWalker::describe(const Line& line)
{
    KivNorvikLineFormat row;
    row.group = KivString(header_);
    row.keyword = KivString(line.shown_);
    std::string formats;
    std::string fields;
    const std::string prefix = line.array_.empty() ? std::string() : line.array_ + "[].";
    for (const Line::Value& v : line.values_) {
        formats += (formats.empty() ? "" : " ") + std::string(v.format);
        fields += (fields.empty() ? "" : " ") + (v.field.empty() ? std::string("-") : full(prefix + v.field));
    }
    row.formats = KivString(formats.c_str());
    row.fields = KivString(fields.c_str());
    const bool each = !line.array_.empty() && line.holds_ && std::string(line.condition_) == "always";
    row.condition = KivString(each ? "each" : line.condition_);
    row.when = KivString(each ? "one line per element, whatever its values" : line.conditionText_);
    row.layout = KivString(line.layout_.c_str());
    rows_.push_back(row);
}

void KivNorvikLineWalker::leaveOut(const Line& line, const std::string& prefix)
{
    const char* code = written_ ? line.reason_ : groupReason_;
    std::string message =
        written_ ? std::string("the ") + line.shown_ + " line is not written: " + line.conditionText_
                 : groupText_;
    if (code == nullptr) {
        int set = 0;
        int fields = 0;
        for (const Line::Value& v : line.values_) {
            if (v.field.empty()) {
                continue;
            }
            ++fields;
            set += isSet(v.datum) ? 1 : 0;
        }
        code = set > 0 && set < fields ? "partly-set-line" : "not-selected";
        if (set > 0 && set < fields) {
            message = std::string("the ") + line.shown_ +
                      " line is left out: some but not all of its values are set";
        }
    }
    for (const Line::Value& v : line.values_) {
        if (v.field.empty()) {
            continue;
        }
        const std::string path = full(prefix + v.field);
        if (v.datum.kind == Kind::Real && !std::isfinite(v.datum.real)) {
            note(path, RankOwn, "not-finite", "NaN or infinity is not a value the file can carry");
        }
        note(path, RankAbsent, code, message);
    }
}

void KivNorvikLineWalker::line(const Line& line)
{
    if (describing()) {
        describe(line);
        return;
    }
    const std::string prefix =
        line.array_.empty() ? std::string() : line.array_ + "[" + std::to_string(line.index_) + "].";
    if (!written_ || !line.holds_) {
        leaveOut(line, prefix);
        return;
    }

    // The line as the file holds it, and its tokens as the reader splits them.
    std::wstring text = widen(line.keyword_);
    for (const Line::Value& v : line.values_) {
        if (v.token) {
            text += L" " + v.written;
        }
    }
    const Bytes bytes(text);
    KivNorvikLineTokens tokens;
    tokens.split(bytes.text.data(), bytes.size());
    const int keywordTokens = tokenCount(widen(line.keyword_));
    const int count = tokens.getLength();
    const bool dropped =
        !readable_ || count < line.minTokens_ || (line.exactTokens_ > 0 && count != line.exactTokens_);

    std::string targetPrefix;
    if (!dropped && !line.array_.empty()) {
        const std::string array = target(line.array_);
        const int index = appended_[array]++;
        targetPrefix = line.array_ + "[" + std::to_string(index) + "].";
        for (const Line::Value& v : line.values_) {
            if (!v.target.empty()) {
                read_[target(targetPrefix + v.target)] = undefinedOf(v.readAs);
            }
        }
    } else {
        targetPrefix = prefix;
    }
    if (!dropped) {
        for (const auto& s : line.sets_) {
            read_[target(targetPrefix + s.first)] = s.second;
        }
    }

    int token = keywordTokens;
    std::string shiftedBy;
    std::string movedTo;
    for (const Line::Value& v : line.values_) {
        const std::string source = v.field.empty() ? std::string() : full(prefix + v.field);
        std::string message;
        const char* own = nullptr;
        if (v.datum.kind == Kind::Text && v.token) {
            own = textFault(v.datum.text, message);
        } else if (v.datum.kind == Kind::Real && v.token) {
            const double value = v.datum.real;
            if (!std::isfinite(value)) {
                own = "not-finite";
                message = "NaN or infinity is not a value the file can carry";
            } else if (exactReals_ && value != KivNorvikData::kUndefinedReal &&
                       std::fabs(value - KivNorvikData::kUndefinedReal) <= 1e-6) {
                own = "near-undefined";
                message = "within 1e-6 of the undefined value: written and read back as it";
            } else if (!Datum::of(KivString(v.written.c_str()).toDouble(false)).same(v.datum)) {
                own = "extra-decimals";
                message = std::string("more decimals than the format ") + v.format + " writes";
            }
        }
        if (!source.empty()) {
            if (own != nullptr) {
                note(source, RankOwn, own, message);
            }
            if (!shiftedBy.empty()) {
                note(source, RankLine, "shifted",
                     "an earlier value of the " + std::string(line.shown_) + " line (" + shiftedBy +
                         ") splits or vanishes, so this one is read from another token");
            }
            if (dropped) {
                note(source, RankLine, readable_ ? "line-dropped" : "group-unreadable",
                     readable_ ? "the reader passes over the " + std::string(line.shown_) +
                                     " line: it does not hold the tokens the reader needs"
                               : std::string("the group is written under a header the reader does not know"));
            }
            if (reportUndefined_ && v.token && !isSet(v.datum)) {
                undefined_.emplace_back(source, Note{RankAbsent, "undefined-written",
                                                     "written while undefined, as the value stands"});
            }
        }
        if (!dropped && !v.target.empty()) {
            const std::string destination = target(targetPrefix + v.target);
            if (v.token && token < count) {
                read_[destination] = parse(tokens[token], v.readAs);
            }
            if (!source.empty() && destination != source) {
                movedTo = target(targetPrefix);
                note(source, RankMoved, "read-elsewhere",
                     "the " + std::string(line.shown_) + " line is read back into " + destination);
                note(destination, RankMoved, "read-elsewhere",
                     "takes the value of " + source + " from the " + line.shown_ + " line");
            }
        } else if (!dropped && !source.empty() && v.token && v.target.empty()) {
            note(source, RankLine, "not-read",
                 "the reader passes over this value of the " + std::string(line.shown_) + " line");
        }
        if (v.token) {
            const int pieces = tokenCount(v.written);
            if (pieces != 1 && shiftedBy.empty()) {
                shiftedBy = source.empty() ? std::string("a word") : source;
            }
            // The reader takes each value from its own place on the line.
            ++token;
        }
    }
    if (movedTo.empty()) {
        return;
    }
    for (const Line::Value& v : line.values_) {
        if (!v.token && !v.field.empty()) {
            note(full(prefix + v.field), RankMoved, "read-elsewhere",
                 "the " + std::string(line.shown_) + " line is read back into " + movedTo);
        }
    }
}

void KivNorvikLineWalker::findings(const std::vector<std::pair<std::string, Datum>>& original,
                                   const std::vector<std::pair<std::string, Datum>>& fresh,
                                   KivArray<KivNorvikRecordIssue>& issues) const
{
    std::map<std::string, Datum> back;
    for (const auto& f : fresh) {
        back[f.first] = f.second;
    }
    for (const auto& r : read_) {
        back[r.first] = r.second;
    }

    std::vector<std::string> order;
    std::set<std::string> seen;
    std::map<std::string, const Datum*> host;
    for (const auto& o : original) {
        order.push_back(o.first);
        seen.insert(o.first);
        host[o.first] = &o.second;
    }
    for (const auto& b : back) {
        if (seen.insert(b.first).second) {
            order.push_back(b.first);
        }
    }

    std::map<std::string, std::vector<const Note*>> undefinedByPath;
    for (const auto& u : undefined_) {
        undefinedByPath[u.first].push_back(&u.second);
    }

    auto add = [&issues](const std::string& path, const std::string& code, const std::string& message) {
        KivNorvikRecordIssue issue;
        issue.path = KivString(path.c_str());
        issue.code = KivString(code.c_str());
        issue.message = KivString(message.c_str());
        const int index = issues.getLength();
        issues.setLength(index + 1);
        if (issues.getLength() != index + 1) {
            throw std::bad_alloc();
        }
        issues[index] = issue;
    };

    for (const std::string& path : order) {
        const auto h = host.find(path);
        const auto b = back.find(path);
        const bool differs = h == host.end() || b == back.end() || !h->second->same(b->second);
        if (differs) {
            const auto n = notes_.find(path);
            if (n != notes_.end()) {
                add(path, n->second.code, n->second.message);
            } else if (h == host.end()) {
                add(path, "read-elsewhere", "the file gives this element a value the record does not hold");
            } else {
                add(path, "not-written", "the file holds no line that carries this value");
            }
        }
        const auto u = undefinedByPath.find(path);
        if (u != undefinedByPath.end()) {
            for (const Note* n : u->second) {
                add(path, n->code, n->message);
            }
        }
    }
}
