#include "KivNorvikGroupLayout.h"

#include <cstring>

bool KivNorvikGroupLayout::isHeader(const char* line, size_t length) const
{
    if (length == 0 || line[0] != header[0]) {
        return false;
    }
    const size_t prefix = std::strlen(header);
    if (length < prefix || std::memcmp(line, header, prefix) != 0) {
        return false;
    }
    if (!numbered) {
        return length == prefix;
    }
    // The prefix, then an integer as "%d" writes it.
    size_t i = prefix;
    if (i < length && line[i] == '-') {
        ++i;
    }
    if (i == length || line[i] < '0' || line[i] > '9') {
        return false;
    }
    while (i < length && line[i] >= '0' && line[i] <= '9') {
        ++i;
    }
    return i == length;
}

const KivNorvikLineRule* KivNorvikGroupLayout::find(const KivNorvikLineTokens& tokens) const
{
    if (tokens.getLength() == 0) {
        return nullptr;
    }
    // Most rows differ from the line in the keyword's first byte.
    const char first = tokens[0].data()[0];
    for (int i = 0; i < ruleCount; ++i) {
        const KivNorvikLineRule& rule = rules[i];
        if (rule.keyword != nullptr && rule.keyword[0] == first && rule.matches(tokens)) {
            return &rule;
        }
    }
    return nullptr;
}
