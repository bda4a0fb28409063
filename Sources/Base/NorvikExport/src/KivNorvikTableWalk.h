#pragma once

#include "KivNorvikKindLayout.h"
#include "KivNorvikKinds.h"
#include "KivNorvikLineWalker.h"

#include <deque>
#include <string>

// A kind's line table walked over a record in writer order: every group and
// line that the writer writes handed to a walker with what it writes and what
// reading it back stores, as the rows say. The walker lists them (the format
// reference) or follows the values (the record check). Internal to the library.
class KivNorvikTableWalk
{
public:
    explicit KivNorvikTableWalk(KivNorvikLineWalker& walker) : w_(walker) {}

    // Walks the table of `kind` over `record`, a record of its class.
    void walk(const KivNorvikKind& kind, const KivNorvikData& record);

private:
    void walkGroup(const KivNorvikKindLayout& layout, const KivNorvikWrittenGroup& written,
                   const KivNorvikData& record);
    void walkRow(const KivNorvikGroupLayout& group, const KivNorvikLineRule& rule, const void* object,
                 int index);

    KivNorvikLineWalker& w_;
    // Texts made during the walk that the walker points to: headers, keywords.
    // A deque keeps its elements in place as it grows.
    std::deque<std::string> texts_;
};
