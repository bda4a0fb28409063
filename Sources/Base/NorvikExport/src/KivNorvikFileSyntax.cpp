#include "KivNorvikFileSyntax.h"

#include "KivNorvikKinds.h"

#include <KivBlank.h>

#include <cstring>

namespace {

// Less every leading and trailing double quote.
std::string_view trimQuotes(std::string_view text)
{
    const size_t first = text.find_first_not_of('"');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of('"') + 1 - first);
}

// The first comma-separated field, trimmed and unquoted.
std::string_view firstField(std::string_view line)
{
    return trimQuotes(KivNorvikFileSyntax::trimmed(line.substr(0, line.find(','))));
}

// The part that every kind's tag starts with.
std::string_view commonTag()
{
    static const std::string_view common = [] {
        std::string_view tag = KivNorvikKinds::at(0).tag;
        for (int k = 1; k < KivNorvikKinds::count(); ++k) {
            const std::string_view other = KivNorvikKinds::at(k).tag;
            size_t n = 0;
            while (n < tag.size() && n < other.size() && tag[n] == other[n]) {
                ++n;
            }
            tag = tag.substr(0, n);
        }
        return tag;
    }();
    return common;
}

} // namespace

std::string_view KivNorvikFileSyntax::trimmed(std::string_view text)
{
    while (!text.empty() && kivIsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && kivIsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool KivNorvikFileSyntax::isTagLine(std::string_view line)
{
    return line.find(commonTag()) != std::string_view::npos;
}

bool KivNorvikFileSyntax::nearly(std::string_view text, std::string_view word)
{
    if (text == word) {
        return false;
    }
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (text.size() == word.size()) {
        size_t first = text.size(); // the first difference
        int differences = 0;
        bool caseOnly = true;
        for (size_t i = 0; i < word.size(); ++i) {
            if (text[i] != word[i]) {
                first = differences++ == 0 ? i : first;
                caseOnly = caseOnly && upper(text[i]) == upper(word[i]);
            }
        }
        const bool swapped = differences == 2 && first + 1 < word.size() && text[first] == word[first + 1] &&
                             text[first + 1] == word[first];
        return differences <= 1 || caseOnly || swapped;
    }
    const std::string_view longer = text.size() > word.size() ? text : word;
    const std::string_view shorter = text.size() > word.size() ? word : text;
    if (longer.size() != shorter.size() + 1) {
        return false;
    }
    size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i]) {
        ++i;
    }
    return shorter.substr(i) == longer.substr(i + 1);
}

namespace {

// The name a tag line gives for the tag `tag`, before any prefix is removed;
// false when the line holds the tag and no comma.
bool nameOf(std::string_view line, const char* tag, std::string_view& name)
{
    const std::string_view copy = KivNorvikFileSyntax::trimmed(line);
    const size_t comma = copy.find(',');
    const std::string_view first = copy.substr(0, comma);
    // The first field, less its quotes, with the white space inside them.
    name = trimQuotes(first);
    if (trimQuotes(KivNorvikFileSyntax::trimmed(first)) != tag) {
        return true;
    }
    if (comma == std::string_view::npos) {
        return false;
    }
    // The rest of the line, less one enclosing pair of quotes.
    name = KivNorvikFileSyntax::trimmed(copy.substr(comma + 1));
    if (!name.empty() && name.front() == '"') {
        name.remove_prefix(1);
    }
    if (!name.empty() && name.back() == '"') {
        name.remove_suffix(1);
    }
    return true;
}

} // namespace

bool KivNorvikFileSyntax::projectName(std::string_view line, const char* tag, const char* prefix,
                                      KivString& name)
{
    std::string_view text;
    if (!nameOf(line, tag, text)) {
        return false;
    }
    const size_t skip = std::strlen(prefix);
    if (skip > 0 && text.substr(0, skip) == prefix) {
        text.remove_prefix(skip);
    }
    name.assign(text.data(), text.size());
    return true;
}

unsigned KivNorvikFileSyntax::tagKinds(std::string_view line)
{
    const std::string_view tag = firstField(line);
    unsigned kinds = 0;
    unsigned prefixed = 0;
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKind& kind = KivNorvikKinds::at(k);
        if (tag != kind.tag) {
            continue;
        }
        kinds |= 1u << k;
        std::string_view name;
        if (kind.namePrefix[0] != '\0' && nameOf(line, kind.tag, name) &&
            name.substr(0, std::strlen(kind.namePrefix)) == kind.namePrefix) {
            prefixed |= 1u << k;
        }
    }
    // Of the kinds sharing a tag, a name with a prefix tells its kind.
    if (prefixed != 0u) {
        return prefixed;
    }
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        if (KivNorvikKinds::at(k).namePrefix[0] != '\0' && (kinds & ~(1u << k)) != 0u) {
            kinds &= ~(1u << k);
        }
    }
    return kinds;
}
