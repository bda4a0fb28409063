#pragma once

#include "KivNorvikLineRule.h"

#include <cstddef>

// A group as the reader knows it: its header line and its rows, in the
// writer's order, which is also the order in which a line is compared with
// them. Internal to the library.
struct KivNorvikGroupLayout
{
    const char* header;
    int minTokens; // lines with fewer tokens are passed over
    const KivNorvikLineRule* rules;
    int ruleCount;
    // The header is a prefix followed by an integer ("DIAG_12"); the group may recur.
    bool numbered = false;

    // The first row that reads the tokens, or null.
    const KivNorvikLineRule* find(const KivNorvikLineTokens& tokens) const;
    // Whether the `length` bytes of `line` are this group's header.
    bool isHeader(const char* line, size_t length) const;
};
