#include "KivNorvikFileReader.h"

#include "KivNorvikData.h"

#include <KivAssert.h>
#include <KivFile.h>

#include <string>

namespace {

bool isWhite(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// Removes one leading and one trailing double quote.
void unquoteOnce(KivString& text)
{
    if (text[0] == L'"')
        text.replace(0, 1, KivString());
    const int length = static_cast<int>(std::wcslen(text.getStringW()));
    if (length > 0 && text[length - 1] == L'"')
        text.replace(length - 1, 1, KivString());
}

void removeBl3Prefix(KivString& name)
{
    static const KivString prefix(L"2006.15c2:");
    if (name.left(10) == prefix)
        name.replace(0, 10, KivString());
}

} // namespace

KivNorvikFileReader::KivNorvikFileReader(const KivString& path) : stream(nullptr)
{
    kivfopen(&stream, path, KivString("rb"));
}

KivNorvikFileReader::~KivNorvikFileReader()
{
    if (stream != nullptr)
        kivfclose(stream);
}

const KivArray<KivString>& KivNorvikFileReader::getLines() const
{
    return lines;
}

int KivNorvikFileReader::readFile(KivNorvikData& data)
{
    if (stream == nullptr)
        return 0;
    std::string content;
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        content.append(buffer, count);
    if (std::ferror(stream))
        return 0;

    // Each line is decoded in place: its end is overwritten with a terminator.
    content.push_back('\n');
    size_t start = 0;
    while (start + 1 < content.size()) {
        const size_t next = content.find('\n', start) + 1;
        size_t end = next - 1;
        if (end > start && content[end - 1] == '\r')
            --end;
        if (end > start) {
            content[end] = '\0';
            const int index = lines.getLength();
            lines.setLength(index + 1);
            if (lines.getLength() != index + 1)
                return 0; // out of memory: nothing is filled
            lines[index] = KivString(content.c_str() + start);
        }
        start = next;
    }
    fillStructure(data);
    return 1;
}

void KivNorvikFileReader::fillStructure(KivNorvikData&)
{
    KIV_REPORT("false");
}

void KivNorvikFileReader::tokenize(const KivString& line, KivNorvikTokens& tokens)
{
    const wchar_t* text = line.getStringW();
    size_t end = std::wcslen(text);
    size_t begin = 0;
    while (begin < end && isWhite(text[begin]))
        ++begin;
    while (end > begin && isWhite(text[end - 1]))
        --end;
    // Tokens are stored into the array's existing slots, so a reused array
    // does not reallocate.
    std::wstring token;
    int count = 0;
    tokens.setLength(0);
    for (size_t i = begin; i <= end; ++i) {
        if (i == end || text[i] == L' ') {
            if (!token.empty()) {
                tokens.setLength(count + 1);
                if (tokens.getLength() == count + 1)
                    tokens[count++] = KivString(token.c_str());
                token.clear();
            }
        } else {
            token.push_back(text[i]);
        }
    }
}

bool KivNorvikFileReader::projectNameFromTagLine(const KivString& line, bool bl3, KivString& name)
{
    static const KivString quote(L"\"");
    static const KivString tag(L"NV_ATT");
    KivString copy(line);
    copy.TrimLeft();
    copy.TrimRight();
    const int comma = copy.find(KivString(L","), 0);
    KivString first = comma >= 0 ? copy.left(comma) : copy;
    KivString field(first);
    field.TrimLeft();
    field.TrimRight();
    field.TrimLeft(quote);
    field.TrimRight(quote);
    if (field == tag) {
        if (comma < 0)
            return false;
        KivString rest(copy);
        rest.replace(0, comma + 1, KivString());
        rest.TrimLeft();
        rest.TrimRight();
        unquoteOnce(rest);
        if (bl3)
            removeBl3Prefix(rest);
        name = rest;
        return true;
    }
    first.TrimLeft(quote);
    first.TrimRight(quote);
    if (bl3)
        removeBl3Prefix(first);
    name = first;
    return true;
}

void KivNorvikFileReader::scanLines(const KivNorvikKindLayout& layout, bool everyTagLine,
                                    bool bl3, KivNorvikData& record)
{
    static const KivString tagText(L"NV_ATT");
    bool tagSeen = false;
    int i = 0;
    const int count = lines.getLength();
    while (i < count) {
        const KivString& line = lines[i];
        if (const KivNorvikGroupLayout* group = layout.findGroup(line)) {
            const int index = static_cast<int>(group - layout.groups);
            void* target = beginGroup(index);
            i = fillGroup(i + 1, layout, *group, target);
            endGroup(index, target);
            continue;
        }
        if ((everyTagLine || !tagSeen) && line.find(tagText, 0) >= 0) {
            tagSeen = true;
            KivString name;
            if (projectNameFromTagLine(line, bl3, name))
                record.projectName = name;
        }
        ++i;
    }
}

int KivNorvikFileReader::fillGroup(int start, const KivNorvikKindLayout& layout,
                                   const KivNorvikGroupLayout& group, void* target) const
{
    static const KivString end(L"FIN");
    const int count = lines.getLength();
    const int minTokens = group.minTokens > 1 ? group.minTokens : 1;
    KivNorvikTokens tokens;
    for (int j = start; j < count; ++j) {
        const KivString& line = lines[j];
        if (line == end)
            return j + 1;
        if (layout.findGroup(line) != nullptr)
            return j;
        tokenize(line, tokens);
        if (tokens.getLength() < minTokens)
            continue;
        if (const KivNorvikLineRule* rule = group.find(tokens))
            rule->apply(target, tokens);
    }
    return count;
}

void* KivNorvikFileReader::beginGroup(int)
{
    return nullptr;
}

void KivNorvikFileReader::endGroup(int, void*)
{
}
