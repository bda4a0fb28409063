#include "KivNorvikFileReader.h"

#include "KivBL1Layout.h"
#include "KivBL2Layout.h"
#include "KivBL3Layout.h"
#include "KivBL4Layout.h"
#include "KivBL5Layout.h"
#include "KivNorvikData.h"
#include "KivNorvikFileBytes.h"
#include "KivNorvikRowIndex.h"

#include <KivAssert.h>
#include <KivFileSystem.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <exception>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <vector>

// A bench-only build turns the findings off to measure what they cost.
#ifndef NORVIK_RECORD_FINDINGS
#  define NORVIK_RECORD_FINDINGS 1
#endif

namespace {

constexpr bool kRecord = NORVIK_RECORD_FINDINGS != 0;

using Severity = KivNorvikFinding::Severity;

bool isWhite(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// ' ', or one of '\t', '\n', '\v', '\f', '\r'.
bool isWhiteByte(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') < 5u; }

const char kBl3Prefix[] = "2006.15c2:"; // before a BL3 project name
// What every kind's tag line holds (BL5's tag is "NV_ATT_05").
constexpr char kTagWord[] = "NV_ATT";

// Made when the library loads: a file's findings share its text.
const KivString kOutsideMessage(L"A line outside any group is passed over");

std::wstring wide(const char* text)
{
    std::wstring out;
    for (const char* p = text; *p != 0; ++p) {
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return out;
}

// The parts one after the other, in one allocation.
std::wstring joined(std::initializer_list<const wchar_t*> parts)
{
    size_t length = 0;
    for (const wchar_t* part : parts) {
        length += std::wcslen(part);
    }
    std::wstring text;
    text.reserve(length);
    for (const wchar_t* part : parts) {
        text += part;
    }
    return text;
}

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring trimmed(const KivString& line)
{
    std::wstring text(line.getStringW());
    size_t begin = 0, end = text.size();
    while (begin < end && isWhite(text[begin])) {
        ++begin;
    }
    while (end > begin && isWhite(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

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
void addField(KivNorvikFinding& finding, const char* field)
{
    const int index = finding.fields.getLength();
    finding.fields.setLength(index + 1);
    if (finding.fields.getLength() != index + 1) {
        throw std::bad_alloc();
    }
    finding.fields[index].assign(field, std::strlen(field));
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

// The token's text as wide text.
std::wstring wideText(const KivNorvikToken& token) { return KivString(token).getStringW(); }

// Whether the bytes hold a multi-byte UTF-8 sequence and nothing that is not UTF-8.
bool isUtf8Text(const unsigned char* p, size_t n)
{
    bool multiByte = false;
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                              : c >= 0xE0 && c <= 0xEF ? 3
                              : c >= 0xF0 && c <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || i + length > n) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

const KivNorvikKindLayout* const* allKinds()
{
    static const KivNorvikKindLayout* const kinds[] = {&KivBL1Layout::kind(), &KivBL2Layout::kind(),
                                                       &KivBL3Layout::kind(), &KivBL4Layout::kind(),
                                                       &KivBL5Layout::kind()};
    return kinds;
}
constexpr int kKindCount = 5;

// The row index of a group of one of the built-in kinds, made once; null for
// any other group.
const KivNorvikRowIndex* builtInIndex(const KivNorvikKindLayout& layout, const KivNorvikGroupLayout& group)
{
    static const std::vector<std::vector<KivNorvikRowIndex>> indexes = [] {
        std::vector<std::vector<KivNorvikRowIndex>> all(kKindCount);
        for (int k = 0; k < kKindCount; ++k) {
            const KivNorvikKindLayout& kind = *allKinds()[k];
            all[static_cast<size_t>(k)].reserve(static_cast<size_t>(kind.groupCount));
            for (int g = 0; g < kind.groupCount; ++g) {
                all[static_cast<size_t>(k)].emplace_back(kind.groups[g]);
            }
        }
        return all;
    }();
    for (int k = 0; k < kKindCount; ++k) {
        if (&layout == allKinds()[k]) {
            const std::ptrdiff_t g = &group - layout.groups;
            return g >= 0 && g < layout.groupCount ? &indexes[static_cast<size_t>(k)][static_cast<size_t>(g)]
                                                   : nullptr;
        }
    }
    return nullptr;
}

// The one kind other than `self` that has a header `line`, or null.
const KivNorvikKindLayout* onlyOtherKindWith(const KivString& line, const KivNorvikKindLayout& self)
{
    if (self.findGroup(line) != nullptr) {
        return nullptr;
    }
    const KivNorvikKindLayout* found = nullptr;
    for (int k = 0; k < kKindCount; ++k) {
        const KivNorvikKindLayout* kind = allKinds()[k];
        if (kind == &self || kind->findGroup(line) == nullptr) {
            continue;
        }
        if (found != nullptr) {
            return nullptr;
        }
        found = kind;
    }
    return found;
}

// Whether no other kind has a group with the header of `group`.
bool onlyThisKindHas(const KivNorvikGroupLayout& group, const KivNorvikKindLayout& self)
{
    for (int k = 0; k < kKindCount; ++k) {
        const KivNorvikKindLayout* kind = allKinds()[k];
        if (kind == &self) {
            continue;
        }
        for (int g = 0; g < kind->groupCount; ++g) {
            if (std::strcmp(kind->groups[g].header, group.header) == 0) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

struct KivNorvikFileReader::Private
{
    int descriptor = -1;
    int openError = 0;
    bool readBefore = false; // a later readFile reads the file again from its start
    const char* bytes = nullptr;
    size_t size = 0;
    bool fromBuffer = false;
    bool refused = false;
    // The lines that are not empty; counted when first asked for (-1 until then).
    mutable int storedLines = 0;
    bool linesBuilt = true;   // `lines` holds the lines of the last readFile
    bool hasZeroByte = false; // somewhere in content: a line ends early at one
    // The file's bytes; lines are found in them as they are read.
    KivNorvikFileBytes content;
    // The index of the rows of the group being read: a built-in kind's is
    // made once for the process, any other group's is made here.
    const KivNorvikRowIndex* rowIndex = nullptr;
    KivNorvikRowIndex ownIndex;
    // What the group being read has had of each row.
    struct Row
    {
        bool seen = false; // a line of the row
    };
    // In place for the groups the tables have, on the heap for a larger one.
    static constexpr int kRowsInPlace = 48;
    Row rowsInPlace[kRowsInPlace];
    std::vector<Row> rowsOnHeap;
    Row* rows = rowsInPlace;
    size_t rowCount = 0;
    void resetRows(const KivNorvikKindLayout& layout, const KivNorvikGroupLayout& group)
    {
        rowIndex = builtInIndex(layout, group);
        if (rowIndex == nullptr) {
            ownIndex.build(group);
            rowIndex = &ownIndex;
        }
        rowCount = rowIndex->size();
        if (rowCount <= static_cast<size_t>(kRowsInPlace)) {
            rows = rowsInPlace;
        } else {
            rowsOnHeap.resize(rowCount);
            rows = rowsOnHeap.data();
        }
        std::fill(rows, rows + rowCount, Row());
    }
    // Which first bytes the headers of the kind being read start with.
    bool headerStart[256] = {};
    void markHeaders(const KivNorvikKindLayout& layout)
    {
        std::fill(headerStart, headerStart + 256, false);
        for (int i = 0; i < layout.groupCount; ++i) {
            headerStart[static_cast<unsigned char>(layout.groups[i].header[0])] = true;
        }
    }
    KivArray<KivNorvikFinding> findings;

    // The line of a finding about the whole file: its first, if it has one.
    int fileLine() const { return content.size() == 0 ? 0 : 1; }
    int countStored() const
    {
        if (storedLines < 0) {
            Cursor at;
            Line line;
            int count = 0;
            while (next(at, line)) {
                ++count;
            }
            storedLines = count;
        }
        return storedLines;
    }

    // A stored line: its text up to its line end or first zero byte, and its
    // number as an editor counts.
    struct Line
    {
        const char* text = nullptr;
        size_t length = 0;
        int number = 0;
        KivString toString() const
        {
            KivString line;
            line.assign(text, length);
            return line;
        }
        // Whether the text holds the tag "NV_ATT".
        bool hasTag() const
        {
            return std::string_view(text, length).find(kTagWord) != std::string_view::npos;
        }
        bool is(const char* word) const
        {
            const size_t n = std::strlen(word);
            return length == n && std::memcmp(text, word, n) == 0;
        }
    };
    // Where the next line starts.
    struct Cursor
    {
        size_t offset = 0;
        int number = 1;
    };

    const KivNorvikGroupLayout* findGroup(const KivNorvikKindLayout& layout, const Line& line) const
    {
        return line.length > 0 && headerStart[static_cast<unsigned char>(line.text[0])]
                   ? layout.findGroup(line.text, line.length)
                   : nullptr;
    }

    // Moves to the next line that is not empty; false at the end of the file.
    bool next(Cursor& at, Line& line) const
    {
        const char* data = content.data();
        const size_t size = content.size();
        while (at.offset < size) {
            const size_t start = at.offset;
            const char* lf = static_cast<const char*>(std::memchr(data + start, '\n', size - start));
            const size_t following = lf != nullptr ? static_cast<size_t>(lf - data) + 1 : size;
            size_t end = lf != nullptr ? following - 1 : size;
            if (end > start && data[end - 1] == '\r') {
                --end;
            }
            line.number = at.number;
            at.offset = following;
            ++at.number;
            if (end > start) {
                const void* zero = hasZeroByte ? std::memchr(data + start, 0, end - start) : nullptr;
                line.text = data + start;
                line.length = zero != nullptr
                                  ? static_cast<size_t>(static_cast<const char*>(zero) - line.text)
                                  : end - start;
                return true;
            }
        }
        return false;
    }

    // The header of the group being read; its text is made on the group's first finding.
    Line groupHeader;
    bool groupNamed = false;
    KivString groupName;
    const KivString* currentGroup()
    {
        if (!groupNamed) {
            groupName.assign(groupHeader.text, groupHeader.length);
            groupNamed = true;
        }
        return &groupName;
    }
    KivNorvikLineTokens lineTokens; // reused from line to line

    // Fills the next finding in place: no copy of its texts. An element left
    // from an earlier readFile is reused, so every member is set.
    KivNorvikFinding& add(int line, Severity severity, const char* code, const std::wstring& message,
                          const KivString& keyword = KivString(), const KivString* group = nullptr)
    {
        return add(line, severity, code, KivString(message.c_str()), keyword, group);
    }
    KivNorvikFinding& add(int line, Severity severity, const char* code, const wchar_t* message,
                          const KivString& keyword = KivString(), const KivString* group = nullptr)
    {
        return add(line, severity, code, KivString(message), keyword, group);
    }
    // A message kept as a KivString: a constant one is shared, not copied.
    KivNorvikFinding& add(int line, Severity severity, const char* code, const KivString& message,
                          const KivString& keyword = KivString(), const KivString* group = nullptr)
    {
        noteLine(line);
        const int index = findings.getLength();
        findings.setLength(index + 1);
        if (findings.getLength() != index + 1) {
            throw std::bad_alloc();
        }
        KivNorvikFinding& finding = findings[index];
        finding.line = line;
        finding.severity = severity;
        finding.code = code;
        finding.message = message;
        // A slot's texts are empty unless it is reused from an earlier readFile.
        if (keyword.isEmpty() == 0 || finding.keyword.isEmpty() == 0) {
            finding.keyword = keyword;
        }
        if (group != nullptr) {
            finding.group = *group;
        } else if (finding.group.isEmpty() == 0) {
            finding.group = KivString();
        }
        finding.fields.setLength(0);
        return finding;
    }

    void splitLines();
    Cursor fillGroup(Cursor start, const KivNorvikKindLayout& layout, const KivNorvikGroupLayout& group,
                     const KivNorvikTarget& target, const Line& header);
    void checkBytes(const char* p, size_t n, int number);
    // Whether a line that its row filled gives no finding, judged from what
    // the row's earlier lines worked out; marks the row seen then. Else
    // checkMatched decides.
    bool isClean(const KivNorvikLineRule& rule, int index, const KivNorvikLineTokens& tokens)
    {
        const KivNorvikRowIndex::Look look = rowIndex->look(index, tokens);
        if (look == KivNorvikRowIndex::Look::WrongCount ||
            (look == KivNorvikRowIndex::Look::CheckNumbers && !numbersWhole(rule, tokens))) {
            return false;
        }
        if (!rowIndex->repeats(index)) {
            Row& row = rows[index];
            if (row.seen) {
                return false;
            }
            row.seen = true;
        }
        return true;
    }
    // Whether each number value is wholly a number, on a closer look than the
    // index's: a list's integer with its comma, a number the row's own effect
    // did not convert. The tokens' count is right, so each value's token lies
    // within the line.
    static bool numbersWhole(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens)
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
    // The findings of matched lines get their texts when they are asked for:
    // what the texts are made of stays in the file's bytes until then.
    enum class Wording : unsigned char {
        SetsNothing,
        UnknownWord,
        NoRoom,
        NoValue,
        FieldsUnset,
        ExtraValues,
        NotANumber,
        Repeated,
        OtherGroup,
        UnknownKeyword,
        NoValueNothing,
        UnknownWordAfter,
        TokenCount,
        Constant, // a fixed message, no keyword or group
    };
    struct Deferred
    {
        int position = 0; // among all findings, in the order they were found
        int line = 0;
        Severity severity = KivNorvikFinding::Error;
        const char* code = "";
        const KivString* constant = nullptr; // the message of Wording::Constant
        Wording wording = Wording::SetsNothing;
        KivNorvikToken keyword;
        KivNorvikToken word; // token 1, or the value's token
        KivNorvikToken group;
        const KivNorvikLineRule* rule = nullptr; // whose fields are named
        const KivNorvikGroupLayout* groupLayout = nullptr;
        const char* otherHeader = nullptr; // the group a keyword belongs to
        // The one field named, else those from firstToken on (none when < 0).
        const KivNorvikValue* value = nullptr;
        int firstToken = -1;
        int extra = 0;
    };
    std::vector<Deferred> deferred;
    const KivNorvikGroupLayout* currentLayoutGroup = nullptr; // of the group being read
    // Whether the findings came in line order; else readFile sorts them.
    int lastLine = 0;
    bool outOfOrder = false;
    // A new deferred finding, made in place; one block holds those of most files.
    Deferred& fresh()
    {
        if (deferred.capacity() == 0) {
            deferred.reserve(32);
        }
        deferred.emplace_back();
        return deferred.back();
    }
    void noteLine(int line)
    {
        outOfOrder = outOfOrder || line < lastLine;
        lastLine = line;
    }
    void clearFindings()
    {
        findings.setLength(0);
        deferred.clear();
        lastLine = 0;
        outOfOrder = false;
    }
    // A deferred finding's entry, in the place of the next finding.
    Deferred& begin(int number, Severity severity, const char* code, Wording wording)
    {
        noteLine(number);
        const int position = findings.getLength() + static_cast<int>(deferred.size());
        Deferred& entry = fresh();
        entry.position = position;
        entry.line = number;
        entry.severity = severity;
        entry.code = code;
        entry.wording = wording;
        return entry;
    }
    // A finding with a fixed message, kept as shared text.
    void deferConstant(int number, Severity severity, const char* code, const KivString& message)
    {
        begin(number, severity, code, Wording::Constant).constant = &message;
    }
    Deferred& defer(int number, Severity severity, const char* code, Wording wording,
                    const KivNorvikLineTokens& tokens, const KivNorvikLineRule* rule, int firstToken,
                    const KivNorvikValue* value = nullptr, int extra = 0);
    // Puts the deferred findings among the others with their texts. Quietly,
    // texts that memory does not allow stay empty and nothing throws.
    void writeDeferred(bool quiet = false);
    void writeTexts(const Deferred& entry, KivNorvikFinding& finding);
    void writeDeferredQuietly()
    {
        try {
            writeDeferred(true);
        } catch (...) {
            deferred.clear(); // no room to put them among the others
        }
    }

    void checkMatched(const KivNorvikGroupLayout& group, const KivNorvikLineRule& rule,
                      const KivNorvikLineTokens& tokens, KivNorvikFillResult result, int number);
    void checkUnmatched(const KivNorvikKindLayout& layout, const KivNorvikGroupLayout& group,
                        const KivNorvikLineTokens& tokens, int number);
};

KivNorvikFileReader::KivNorvikFileReader(const KivString& path) : d(new (std::nothrow) Private)
{
    if (d == nullptr) {
        return;
    }
    errno = 0;
    d->descriptor = KivFileSystem::openToRead(KivFileSystem::nativePath(path.getStringW()));
    if (d->descriptor < 0) {
        d->openError = errno;
    }
}

KivNorvikFileReader::KivNorvikFileReader(const char* bytes, size_t size) : d(new (std::nothrow) Private)
{
    if (d == nullptr) {
        return;
    }
    d->fromBuffer = true;
    d->bytes = bytes;
    d->size = bytes != nullptr ? size : 0;
}

KivNorvikFileReader::~KivNorvikFileReader()
{
    if (d != nullptr && d->descriptor >= 0) {
        KivFileSystem::close(d->descriptor);
    }
    delete d;
}

const KivArray<KivString>& KivNorvikFileReader::getLines() const
{
    // Built on the first call: the reading itself works on the file's bytes.
    if (d == nullptr || d->linesBuilt) {
        return lines;
    }
    Private::Cursor at;
    Private::Line line;
    int index = 0;
    lines.setLength(d->countStored());
    d->linesBuilt = true;
    while (index < lines.getLength() && d->next(at, line)) {
        lines[index++].assign(line.text, line.length);
    }
    return lines;
}

int KivNorvikFileReader::lineCount() const { return d != nullptr ? d->countStored() : 0; }

bool KivNorvikFileReader::hasLines() const
{
    if (d == nullptr) {
        return false;
    }
    if (d->storedLines >= 0) {
        return d->storedLines > 0;
    }
    Private::Cursor at;
    Private::Line line;
    return d->next(at, line);
}

const KivArray<KivNorvikFinding>& KivNorvikFileReader::getFindings() const
{
    static const KivArray<KivNorvikFinding> none;
    if (d == nullptr) {
        return none;
    }
    if (!d->deferred.empty()) {
        d->writeDeferredQuietly();
    }
    return d->findings;
}

namespace {

// Whether the bytes hold a byte with its high bit set, a tab or a carriage
// return: a pass that the compiler vectorises, then two memchr.
bool hasSuspectBytes(const char* p, size_t n)
{
    unsigned char any = 0;
    for (size_t i = 0; i < n; ++i) {
        any |= static_cast<unsigned char>(p[i]);
    }
    return (any & 0x80u) != 0u || std::memchr(p, '\r', n) != nullptr || std::memchr(p, '\t', n) != nullptr;
}

} // namespace

void KivNorvikFileReader::Private::checkBytes(const char* p, size_t n, int number)
{
    if (!hasSuspectBytes(p, n)) {
        return;
    }
    bool tab = false, cr = false, high = false;
    for (size_t k = 0; k < n; ++k) {
        tab |= p[k] == '\t';
        cr |= p[k] == '\r';
        high |= (static_cast<unsigned char>(p[k]) & 0x80) != 0;
    }
    if (cr) {
        add(number, KivNorvikFinding::Error, "lone-cr",
            L"A carriage return without a line feed does not end a line: the lines around it read as one");
    }
    if (tab) {
        add(number, KivNorvikFinding::Error, "tab-in-line",
            L"A tab does not separate values: it is read as part of a value");
    }
    if (high && isUtf8Text(reinterpret_cast<const unsigned char*>(p), n)) {
        add(number, KivNorvikFinding::Warning, "utf8-text",
            L"The text looks like UTF-8; the file is read as Windows-1252");
    }
}

void KivNorvikFileReader::Private::splitLines()
{
    const char* data = content.data();
    const size_t size = content.size();
    if (kRecord && size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        add(1, KivNorvikFinding::Error, "byte-order-mark",
            L"The file starts with a UTF-8 byte-order mark, read as part of its first line");
    }
    // Most files hold none of the bytes that the lines are checked for: their
    // lines are counted only if asked for.
    storedLines = -1;
    if (!(kRecord && hasSuspectBytes(data, size))) {
        return;
    }
    storedLines = 0;
    Cursor at;
    Line line;
    while (next(at, line)) {
        ++storedLines;
        // The whole line, past any zero byte, up to its line end.
        const char* lf = static_cast<const char*>(
            std::memchr(line.text, '\n', size - static_cast<size_t>(line.text - data)));
        size_t n = (lf != nullptr ? lf : data + size) - line.text;
        if (n > 0 && line.text[n - 1] == '\r') {
            --n;
        }
        const size_t mark = line.number == 1 && findings.getLength() > 0 ? 3 : 0; // the byte-order mark
        checkBytes(line.text + mark, n - mark, line.number);
    }
}

int KivNorvikFileReader::readFile(KivNorvikData& data)
{
    if (d == nullptr) {
        return 0;
    }
    try {
        d->clearFindings();
        d->refused = false;
        lines.setLength(0);
        d->storedLines = 0;
        d->linesBuilt = true;
        KivNorvikFileBytes& content = d->content;
        content.clear();
        if (d->fromBuffer) {
            // Copied, so that getLines() may still read them after readFile.
            content.assign(d->bytes != nullptr ? d->bytes : "", d->size);
        } else {
            if (d->descriptor < 0) {
                const std::string reason =
                    d->openError != 0 ? KivFileSystem::describe(d->openError) : "unknown reason";
                d->add(0, KivNorvikFinding::Error, "cannot-open",
                       L"The file cannot be opened: " + wide(reason.c_str()));
                return 0;
            }
            // Every readFile reads the file from its start, so a second call
            // gives the file again rather than an empty record.
            errno = 0;
            int error = 0;
            if (d->readBefore && KivFileSystem::seek(d->descriptor, 0) != 0) {
                error = errno != 0 ? errno : EIO;
            }
            d->readBefore = true;
            if (error == 0) {
                error = content.read(d->descriptor);
            }
            if (error != 0) {
                content.clear();
                d->add(0, KivNorvikFinding::Error, "read-error",
                       L"The file cannot be read to its end: " +
                           wide(KivFileSystem::describe(error).c_str()));
                return 0;
            }
        }
        d->hasZeroByte = std::memchr(d->content.data(), 0, d->content.size()) != nullptr;
        d->splitLines();
        d->linesBuilt = false;
        fillStructure(data);
        if (d->refused) {
            return 0;
        }
        if (d->outOfOrder) {
            d->writeDeferred();
            std::stable_sort(
                &d->findings[0], &d->findings[0] + d->findings.getLength(),
                [](const KivNorvikFinding& a, const KivNorvikFinding& b) { return a.line < b.line; });
        }
        return 1;
    } catch (const std::exception& e) {
        // Nothing of the file reaches `data`: the records are filled apart and
        // handed over last.
        reportFailure(e);
        return 0;
    }
}

void KivNorvikFileReader::reportFailure(const std::exception& error)
{
    if (d == nullptr) {
        return;
    }
    try {
        d->refused = true;
        lines.setLength(0);
        d->content.release();
        d->storedLines = 0;
        d->linesBuilt = true;
        d->clearFindings();
        const bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
        d->add(0, KivNorvikFinding::Error, memory ? "out-of-memory" : "read-error",
               memory ? std::wstring(L"Memory ran out while reading the file")
                      : L"The file cannot be read: " + wide(error.what()));
    } catch (...) {
        // The reason is kept only if memory allows.
    }
}

void KivNorvikFileReader::fillStructure(KivNorvikData&) { KIV_REPORT("false"); }

void KivNorvikFileReader::reportRecordClass(const char* className, bool refuse)
{
    if (d == nullptr) {
        return;
    }
    if (refuse) {
        d->refused = true;
        d->clearFindings();
    }
    d->add(d->fileLine(), KivNorvikFinding::Error, "wrong-record",
           L"The record given is not a " + wide(className) +
               (refuse ? L": it is left unchanged" : L": the values of the file do not reach it"));
}

void KivNorvikFileReader::tokenize(const KivString& line, KivNorvikTokens& tokens)
{
    const wchar_t* text = line.getStringW();
    size_t end = std::wcslen(text);
    size_t begin = 0;
    while (begin < end && isWhite(text[begin])) {
        ++begin;
    }
    while (end > begin && isWhite(text[end - 1])) {
        --end;
    }
    // Tokens are stored into the array's existing slots, so a reused array
    // does not reallocate.
    std::wstring token;
    int count = 0;
    tokens.setLength(0);
    for (size_t i = begin; i <= end; ++i) {
        if (i == end || text[i] == L' ') {
            if (!token.empty()) {
                tokens.setLength(count + 1);
                if (tokens.getLength() == count + 1) {
                    tokens[count++] = KivString(token.c_str());
                }
                token.clear();
            }
        } else {
            token.push_back(text[i]);
        }
    }
}

bool KivNorvikFileReader::projectNameFromTagLine(const KivString& line, bool bl3, KivString& name)
{
    return projectNameFromTagLine(line, bl3, name, "NV_ATT");
}

namespace {

std::wstring_view trimWhite(std::wstring_view text)
{
    while (!text.empty() && isWhite(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isWhite(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Less every leading and trailing double quote.
std::wstring_view trimQuotes(std::wstring_view text)
{
    const size_t first = text.find_first_not_of(L'"');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L'"') + 1 - first);
}

bool equalsAscii(std::wstring_view text, const char* word)
{
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if (word[i] == 0 || text[i] != static_cast<wchar_t>(static_cast<unsigned char>(word[i]))) {
            return false;
        }
    }
    return word[i] == 0;
}

void setName(KivString& name, std::wstring_view text, bool bl3)
{
    const size_t prefix = std::strlen(kBl3Prefix);
    if (bl3 && text.size() >= prefix && equalsAscii(text.substr(0, prefix), kBl3Prefix)) {
        text.remove_prefix(prefix);
    }
    name = KivString(std::wstring(text).c_str());
}

} // namespace

bool KivNorvikFileReader::projectNameFromTagLine(const KivString& line, bool bl3, KivString& name,
                                                 const char* tagText)
{
    const std::wstring_view copy = trimWhite(line.getStringW());
    const size_t comma = copy.find(L',');
    const std::wstring_view first = copy.substr(0, comma);
    if (equalsAscii(trimQuotes(trimWhite(first)), tagText)) {
        if (comma == std::wstring_view::npos) {
            return false;
        }
        // The rest of the line, less one enclosing pair of quotes.
        std::wstring_view rest = trimWhite(copy.substr(comma + 1));
        if (!rest.empty() && rest.front() == L'"') {
            rest.remove_prefix(1);
        }
        if (!rest.empty() && rest.back() == L'"') {
            rest.remove_suffix(1);
        }
        setName(name, rest, bl3);
        return true;
    }
    setName(name, trimQuotes(first), bl3);
    return true;
}

namespace {

// The kinds a tag line names, one bit each (bit n for BLn): its tag, and for
// "NV_ATT" whether the name carries the BL3 prefix.
unsigned tagLineKinds(std::string_view bytes)
{
    // The kinds whose tag is the plain "NV_ATT", and the kinds of other tags.
    struct Tags
    {
        unsigned plain = 0;
        const KivNorvikKindLayout* others[kKindCount] = {};
        int otherCount = 0;
    };
    static const Tags tags = [] {
        Tags found;
        for (int k = 0; k < kKindCount; ++k) {
            const KivNorvikKindLayout* kind = allKinds()[k];
            if (std::strcmp(kind->tag, kTagWord) == 0) {
                found.plain |= 1u << (kind->name[2] - '0');
            } else {
                found.others[found.otherCount++] = kind;
            }
        }
        return found;
    }();
    // The words are ASCII, found in the bytes as in the decoded text: a high
    // byte never decodes to ASCII.
    for (int i = 0; i < tags.otherCount; ++i) {
        if (bytes.find(tags.others[i]->tag) != std::string_view::npos) {
            return 1u << (tags.others[i]->name[2] - '0');
        }
    }
    // Of the plain tag's kinds, BL3 names carry the prefix.
    const unsigned bl3 = 1u << 3;
    return bytes.find(kBl3Prefix) != std::string_view::npos ? bl3 : tags.plain & ~bl3;
}

std::wstring kindNames(unsigned kinds)
{
    std::wstring out;
    for (int k = 1; k <= 5; ++k) {
        if ((kinds & (1u << k)) != 0u) {
            out += (out.empty() ? L"BL" : L" or BL") + std::to_wstring(k);
        }
    }
    return out;
}

} // namespace

void KivNorvikFileReader::scanLines(const KivNorvikKindLayout& layout, bool everyTagLine, bool bl3,
                                    KivNorvikData& record)
{
    if (d == nullptr) {
        throw std::bad_alloc(); // the constructor could not make the reader's state
    }
    static const KivString tagText(kTagWord);
    bool tagSeen = false;
    bool wrongKind = false;
    bool inUnknownGroup = false;
    unsigned char groupSeen[16] = {};
    KIV_ASSERT(layout.groupCount <= 16);
    const KivNorvikKindLayout* headerKind = nullptr; // of an unknown header only another kind has
    d->markHeaders(layout);
    Private::Cursor at;
    Private::Line bytes;
    while (d->next(at, bytes)) {
        if (const KivNorvikGroupLayout* group = d->findGroup(layout, bytes)) {
            const KivString line = bytes.toString();
            const int index = static_cast<int>(group - layout.groups);
            unsigned char unused = 0;
            unsigned char& seen = index < 16 ? groupSeen[index] : unused;
            if (kRecord && (seen != 0u) && !group->numbered) {
                d->add(bytes.number, KivNorvikFinding::Warning, "repeated-group",
                       L"Group " + quoted(wide(group->header)) +
                           L" is given again: its lines overwrite the earlier ones",
                       line, &line);
            }
            seen = 1;
            inUnknownGroup = false;
            const KivNorvikTarget target = beginGroup(index, line);
            if (kRecord && target.isNull()) {
                d->add(bytes.number, KivNorvikFinding::Error, "too-many-entries",
                       L"The record has room for no more " + quoted(wide(group->header)) +
                           L" groups: this one is passed over",
                       line, &line);
            }
            at = d->fillGroup(at, layout, *group, target, bytes);
            endGroup(index);
            continue;
        }
        if (bytes.hasTag()) {
            const KivString line = bytes.toString();
            if (everyTagLine || !tagSeen) {
                KivString name;
                if (projectNameFromTagLine(line, bl3, name, layout.tag)) {
                    record.projectName = name;
                }
                const unsigned kinds =
                    kRecord && !tagSeen ? tagLineKinds(std::string_view(bytes.text, bytes.length)) : 0;
                if (kinds != 0 && ((kinds & (1u << (layout.name[2] - '0'))) == 0u)) {
                    wrongKind = true;
                    d->add(bytes.number, KivNorvikFinding::Error, "wrong-kind",
                           L"The tag line is that of a " + kindNames(kinds) + L" file, not of a " +
                               wide(layout.name) + L" file",
                           KivString(tagText));
                }
            } else if (kRecord) {
                d->add(bytes.number, KivNorvikFinding::Warning, "second-tag-line",
                       L"A second tag line is ignored: the project name comes from the first",
                       KivString(tagText));
            }
            tagSeen = true;
            continue;
        }
        if (kRecord) {
            size_t first = 0, last = bytes.length;
            while (first < last && isWhiteByte(bytes.text[first])) {
                ++first;
            }
            while (last > first && isWhiteByte(bytes.text[last - 1])) {
                --last;
            }
            if (first == last || inUnknownGroup) {
                if (bytes.is("FIN")) {
                    inUnknownGroup = false;
                }
            } else if (first > 0 || (last - first == 3 && std::memcmp(bytes.text + first, "FIN", 3) == 0)) {
                d->deferConstant(bytes.number, KivNorvikFinding::Warning, "line-outside-group",
                                 kOutsideMessage);
            } else {
                const KivString line = bytes.toString();
                const std::wstring text = trimmed(line);
                // A line where a header belongs: the header of a group the
                // kind does not have, whose lines are passed over up to "FIN".
                inUnknownGroup = true;
                std::wstring message = L"Unknown group " + quoted(text) + L": its lines are passed over";
                for (int g = 0; g < layout.groupCount; ++g) {
                    if (text == wide(layout.groups[g].header) || nearly(text, layout.groups[g].header)) {
                        message += L" (did you mean " + wide(layout.groups[g].header) + L"?)";
                        break;
                    }
                }
                d->add(bytes.number, KivNorvikFinding::Error, "unknown-group", message, line);
                if (headerKind == nullptr) {
                    headerKind = onlyOtherKindWith(line, layout);
                }
            }
        }
    }
    if (!kRecord) {
        return;
    }
    if (!tagSeen) {
        d->add(d->fileLine(), KivNorvikFinding::Warning, "no-tag-line",
               L"The file has no tag line: the project name is left as it was");
    }
    if (wrongKind || headerKind == nullptr) {
        return;
    }
    bool ownHeader = false;
    for (int g = 0; g < layout.groupCount && g < 16; ++g) {
        ownHeader = ownHeader || ((groupSeen[g] != 0u) && onlyThisKindHas(layout.groups[g], layout));
    }
    if (!ownHeader) {
        d->add(d->fileLine(), KivNorvikFinding::Error, "wrong-kind",
               L"The file looks like a " + wide(headerKind->name) + L" file, not a " + wide(layout.name) +
                   L" file");
    }
}

void KivNorvikFileReader::Private::checkMatched(const KivNorvikGroupLayout& group,
                                                const KivNorvikLineRule& rule,
                                                const KivNorvikLineTokens& tokens, KivNorvikFillResult result,
                                                int number)
{
    const int count = tokens.getLength();
    if (result == KivNorvikFillResult::MissingValues) {
        defer(number, KivNorvikFinding::Error, "missing-values", Wording::SetsNothing, tokens, &rule, 1);
    } else if (result == KivNorvikFillResult::UnknownWord) {
        defer(number, KivNorvikFinding::Error, "unknown-word", Wording::UnknownWord, tokens, &rule, 1);
    } else if (result == KivNorvikFillResult::NoRoom) {
        defer(number, KivNorvikFinding::Error, "too-many-entries", Wording::NoRoom, tokens, &rule, 1);
    }
    const size_t index = static_cast<size_t>(&rule - group.rules);
    Row outside;
    Row& row = index < rowCount ? rows[index] : outside;
    const int needed = rule.readTokens;
    if (result == KivNorvikFillResult::Done && count < needed) {
        bool textsOnly = true;
        for (int v = 0; v < KivNorvikLineRule::kMaxValues && rule.values[v].field != nullptr; ++v) {
            const KivNorvikValue& value = rule.values[v];
            if (value.kind != KivNorvikValueKind::Fixed && value.token >= count) {
                textsOnly = textsOnly && value.kind == KivNorvikValueKind::Text;
            }
        }
        if (count == 1 + rule.patternWordCount() || textsOnly) {
            defer(number, KivNorvikFinding::Warning, "no-value", Wording::NoValue, tokens, &rule, count);
        } else {
            defer(number, KivNorvikFinding::Error, "missing-values", Wording::FieldsUnset, tokens, &rule,
                  count);
        }
    } else if (count > needed && rule.exactTokens == 0 && ((rule.flags & kNorvikRowAnyTokens) == 0u)) {
        defer(number, KivNorvikFinding::Warning, "extra-values", Wording::ExtraValues, tokens, &rule, -1,
              nullptr, count - needed);
    }
    for (int v = 0; v < KivNorvikLineRule::kMaxValues; ++v) {
        const KivNorvikValue& value = rule.values[v];
        if ((rule.numberValues & (1u << v)) == 0u || value.token >= count ||
            isWholeNumber(tokens[value.token], value.kind)) {
            continue;
        }
        defer(number, KivNorvikFinding::Error, "not-a-number", Wording::NotANumber, tokens, &rule, -1,
              &value);
    }
    if ((rule.flags & kNorvikRowRepeats) == 0u) {
        if (row.seen) {
            defer(number, KivNorvikFinding::Warning, "repeated-keyword", Wording::Repeated, tokens, &rule,
                  -1);
        }
        row.seen = true;
    }
}

KivNorvikFileReader::Private::Deferred&
KivNorvikFileReader::Private::defer(int number, Severity severity, const char* code, Wording wording,
                                    const KivNorvikLineTokens& tokens, const KivNorvikLineRule* rule,
                                    int firstToken, const KivNorvikValue* value, int extra)
{
    Deferred& entry = begin(number, severity, code, wording);
    entry.keyword = tokens[0];
    const int wordToken = value != nullptr ? value->token : 1;
    if (wordToken < tokens.getLength()) {
        entry.word = tokens[wordToken];
    }
    entry.group = KivNorvikToken(groupHeader.text, groupHeader.length);
    entry.rule = rule;
    entry.groupLayout = currentLayoutGroup;
    entry.value = value;
    entry.firstToken = firstToken;
    entry.extra = extra;
    return entry;
}

void KivNorvikFileReader::Private::writeTexts(const Deferred& entry, KivNorvikFinding& finding)
{
    const std::wstring keyword = wideText(entry.keyword);
    std::wstring message;
    switch (entry.wording) {
    case Wording::Constant: break;
    case Wording::SetsNothing:
        message = L"Too few values for " + quoted(keyword) + L": the line sets nothing";
        break;
    case Wording::UnknownWord:
        message = joined({L"\"", wideText(entry.word).c_str(), L"\" selects no code of \"", keyword.c_str(),
                          L"\": the line sets nothing the file says"});
        break;
    case Wording::NoRoom:
        message = L"The record has room for no more " + quoted(keyword) + L" lines: this one is passed over";
        break;
    case Wording::NoValue: message = L"No value after " + quoted(keyword) + L": read as empty"; break;
    case Wording::FieldsUnset:
        message = L"Too few values for " + quoted(keyword) + L": the fields named are left unset";
        break;
    case Wording::ExtraValues:
        message = L"More values than " + quoted(keyword) + L" takes: the last " +
                  std::to_wstring(entry.extra) + L" are passed over";
        break;
    case Wording::NotANumber: {
        const bool real = entry.value->kind == KivNorvikValueKind::Real;
        std::wstring read;
        if (real) {
            wchar_t buffer[64];
            std::swprintf(buffer, 64, L"%g", entry.word.toDouble(false));
            read = buffer;
        } else {
            read = std::to_wstring(entry.word.toInteger());
        }
        message = quoted(wideText(entry.word)) + L" is not wholly " + (real ? L"a number" : L"an integer") +
                  L": read as " + read;
        break;
    }
    case Wording::Repeated:
        message = quoted(keyword) + L" is given again in the group: the later line wins";
        break;
    case Wording::OtherGroup:
        message = quoted(keyword) + L" belongs to group " + wide(entry.otherHeader) + L", not to " +
                  wide(entry.groupLayout->header) + L": the line is passed over";
        break;
    case Wording::UnknownKeyword: {
        message = L"Unknown keyword " + quoted(keyword) + L": the line is passed over";
        const KivNorvikGroupLayout& group = *entry.groupLayout;
        for (int r = 0; r < group.ruleCount; ++r) {
            if (nearly(keyword, group.rules[r].keyword)) {
                message += L" (did you mean " + wide(group.rules[r].keyword) + L"?)";
                break;
            }
        }
        break;
    }
    case Wording::NoValueNothing:
        message = L"No value after " + quoted(keyword) + L": the line sets nothing";
        break;
    case Wording::UnknownWordAfter:
        message = quoted(wideText(entry.word)) + L" after " + quoted(keyword) +
                  L" selects no line the group knows: the line is passed over";
        break;
    case Wording::TokenCount: {
        const int exact = entry.rule->exactTokens;
        message = quoted(keyword) + L" takes exactly " + std::to_wstring(exact - 1) +
                  (exact == 2 ? L" value" : L" values") + L", not " + std::to_wstring(entry.extra) +
                  L": the line is passed over";
        break;
    }
    }
    finding.message = KivString(message.c_str());
    finding.keyword = KivString(entry.keyword);
    finding.group = KivString(entry.group);
    if (entry.value != nullptr) {
        addField(finding, entry.value->field);
    } else if (entry.firstToken >= 0 && entry.rule != nullptr) {
        const KivNorvikLineRule& rule = *entry.rule;
        for (int v = 0; v < KivNorvikLineRule::kMaxValues && rule.values[v].field != nullptr; ++v) {
            if (rule.values[v].kind != KivNorvikValueKind::Fixed &&
                rule.values[v].token >= entry.firstToken) {
                addField(finding, rule.values[v].field);
            }
        }
    }
}

void KivNorvikFileReader::Private::writeDeferred(bool quiet)
{
    if (deferred.empty()) {
        return;
    }
    // The findings made at once and the deferred ones, in the order found.
    KivArray<KivNorvikFinding> all;
    const int total = findings.getLength() + static_cast<int>(deferred.size());
    all.setLength(total);
    if (all.getLength() != total) {
        throw std::bad_alloc();
    }
    size_t next = 0;
    int made = 0;
    for (int position = 0; position < total; ++position) {
        if (next == deferred.size() || deferred[next].position != position) {
            all[position] = std::move(findings[made++]);
            continue;
        }
        const Deferred& entry = deferred[next++];
        KivNorvikFinding& finding = all[position];
        finding.line = entry.line;
        finding.severity = entry.severity;
        finding.code = entry.code;
        if (entry.wording == Wording::Constant) {
            finding.message = *entry.constant;
            continue;
        }
        if (quiet) {
            try {
                writeTexts(entry, finding);
            } catch (const std::exception&) {
                // Texts that memory does not allow stay empty.
            }
        } else {
            writeTexts(entry, finding);
        }
    }
    findings = std::move(all);
    deferred.clear();
}

void KivNorvikFileReader::Private::checkUnmatched(const KivNorvikKindLayout& layout,
                                                  const KivNorvikGroupLayout& group,
                                                  const KivNorvikLineTokens& tokens, int number)
{
    const int count = tokens.getLength();
    const KivNorvikLineRule* byWords = nullptr;
    bool known = false, allExact = true;
    for (int r = 0; r < group.ruleCount; ++r) {
        const KivNorvikLineRule& rule = group.rules[r];
        if (tokens[0] != rule.keyword) {
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
        for (int g = 0; g < layout.groupCount; ++g) {
            const KivNorvikGroupLayout& other = layout.groups[g];
            if (&other == &group || other.rules == group.rules) {
                continue;
            }
            for (int r = 0; r < other.ruleCount; ++r) {
                if (tokens[0] == other.rules[r].keyword) {
                    defer(number, KivNorvikFinding::Error, "keyword-of-other-group", Wording::OtherGroup,
                          tokens, nullptr, -1)
                        .otherHeader = other.header;
                    return;
                }
            }
        }
        defer(number, KivNorvikFinding::Error, "unknown-keyword", Wording::UnknownKeyword, tokens, nullptr,
              -1);
        return;
    }
    if (byWords == nullptr) {
        if (count == 1) {
            defer(number, KivNorvikFinding::Warning, "no-value", Wording::NoValueNothing, tokens, nullptr,
                  -1);
            return;
        }
        defer(number, KivNorvikFinding::Error, "unknown-word", Wording::UnknownWordAfter, tokens, nullptr,
              -1);
        return;
    }
    // Every value of the row is named.
    if (count == 1 + byWords->patternWordCount()) {
        defer(number, KivNorvikFinding::Warning, "no-value", Wording::NoValueNothing, tokens, byWords, 0);
    } else if (allExact) {
        defer(number, KivNorvikFinding::Error, "token-count", Wording::TokenCount, tokens, byWords, 0,
              nullptr, count - 1);
    } else {
        defer(number, KivNorvikFinding::Error, "missing-values", Wording::SetsNothing, tokens, byWords, 0);
    }
}

KivNorvikFileReader::Private::Cursor
KivNorvikFileReader::Private::fillGroup(Cursor start, const KivNorvikKindLayout& layout,
                                        const KivNorvikGroupLayout& group, const KivNorvikTarget& target,
                                        const Line& header)
{
    const bool record = kRecord && !target.isNull();
    const int minTokens = group.minTokens > 1 ? group.minTokens : 1;
    resetRows(layout, group);
    if (record) {
        groupHeader = header;
        currentLayoutGroup = &group;
        groupNamed = false;
    }
    int looseEnd = -1; // line number of a "FIN" with blanks around it
    KivNorvikLineTokens& tokens = lineTokens;
    Cursor at = start;
    Cursor before = start;
    Line line;
    for (; next(at, line); before = at) {
        if (line.is("FIN")) {
            return at;
        }
        if (findGroup(layout, line) != nullptr) {
            at = before;
            break;
        }
        tokens.split(line.text, line.length);
        const int n = tokens.getLength();
        if (n < minTokens) {
            if (record && n > 0) {
                checkUnmatched(layout, group, tokens, line.number);
            }
            continue;
        }
        const int index = rowIndex->find(tokens);
        if (index >= 0) {
            const KivNorvikLineRule* rule = &group.rules[index];
            const KivNorvikFillResult result = rule->apply(target, tokens);
            if (record && (result != KivNorvikFillResult::Done || !isClean(*rule, index, tokens))) {
                checkMatched(group, *rule, tokens, result, line.number);
            }
        } else if (record) {
            if (n == 1 && tokens[0] == "FIN") {
                looseEnd = looseEnd < 0 ? line.number : looseEnd;
            } else {
                checkUnmatched(layout, group, tokens, line.number);
            }
        }
    }
    if (record) {
        std::wstring message = L"Group " + quoted(wide(group.header)) + L" ends without \"FIN\"";
        if (looseEnd >= 0) {
            message += L" (did you mean FIN on line " + std::to_wstring(looseEnd) + L"?)";
        }
        const KivString* name = currentGroup();
        add(header.number, KivNorvikFinding::Warning, "missing-fin", message, *name, name);
    }
    return at;
}

KivNorvikTarget KivNorvikFileReader::beginGroup(int, const KivString&) { return KivNorvikTarget(); }

void KivNorvikFileReader::endGroup(int) {}
