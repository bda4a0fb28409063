#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikGlobalData.h"

// The lines that several kinds share, in one place: the "PRO" and "I" lines
// of a BL1/BL2 section, the "SECTION" and "CONNEC_SEC" lines of a BL3 to BL5
// section, the loading line "CHA" and the origin line "ORIGINE". The kinds'
// tables take them through the macros below, typed on their own groups.
// Internal to the library.
struct KivNorvikSharedLines
{
    // "CHA": a default loading filled from the tokens present, then appended,
    // also for the keyword alone.
    static void appendLoading(KivArray<NorvikGlobalData::GenLoading>& loadings,
                              const KivNorvikLineTokens& tokens);
    // "CHA" of a kind with one loading: a default loading filled from the tokens present.
    static void readLoading(NorvikGlobalData::GenLoading& loading, const KivNorvikLineTokens& tokens);
    // "SECTION"/"CONNEC_SEC" with at least 4 tokens: "DIM" (8 tokens or more,
    // a shape of sectionShapes, then the reals in the writer's order dim2,
    // dim4, dim1, dim3, dim5) or a profile.
    static KivNorvikFillResult readSection(NorvikGlobalData::Section& section,
                                           const KivNorvikLineTokens& tokens);
    // The n of a numbered header ("DIAG_n") whose prefix is `prefix` bytes
    // long, read as KivString::toInteger reads it.
    static int headerNumber(const KivString& header, size_t prefix);

    static constexpr char groupEnd[] = "FIN";   // the line that ends a group
    static const char* const sectionKeyword;    // "SECTION"
    static const char* const connectionKeyword; // "CONNEC_SEC"
    static const int sectionShapes[5];          // the shapes the reader takes: 1, 3, 4, 7, 8
    static const KivNorvikWords origin;         // the origin line's word: "Olmarin"
};

// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): the paths follow "t." and are quoted with #.

// "PRO" (a profile, type 0) and "I" (five dimensions, type 1) of the
// BL12Section at `path`.
#define NORVIK_BL12_SECTION_ROWS(path)                                                          \
    NORVIK_ROW("PRO")                                                                           \
        .holding({NORVIK_FIXED(path.type, 0), NORVIK_TEXT(1, path.profile.text1),                \
                 NORVIK_TEXT(2, path.profile.text2)})                                           \
        .written(NORVIK_WHEN("exportPRO", "type 0 and both profile texts set",                 \
                             [](const Target& t) { return t.path.exportPRO(); }))                \
        .outside(NORVIK_CODE_RANGE(path.type, 0, 1,                                              \
                                   "a section type other than 0 (PRO) and 1 (I) writes no line")) \
        .tokens(1),                                                                             \
    NORVIK_ROW("I")                                                                             \
        .holding({NORVIK_FIXED(path.type, 1), NORVIK_REAL(1, path.dimension.dim1),               \
                 NORVIK_REAL(2, path.dimension.dim2), NORVIK_REAL(3, path.dimension.dim3),      \
                 NORVIK_REAL(4, path.dimension.dim4), NORVIK_REAL(5, path.dimension.dim5)})     \
        .written(NORVIK_WHEN("exportI", "type 1 and the five dimensions set",                  \
                             [](const Target& t) { return !t.path.exportPRO() && t.path.exportI(); })) \
        .tokens(1)

// The "SECTION" (or "CONNEC_SEC") lines of the Section at `path`: read by
// one row, which tells a profile from dimensions by its first word, and
// written as "<keyword>  PRF <text1> <text2>" or as
// "<keyword>  DIM  <shape> <dim2> <dim4> <dim1> <dim3> <dim5>".
#define NORVIK_SECTION_LINES(keyword, path)                                                     \
    NORVIK_ROW(keyword)                                                                         \
        .holding({NORVIK_NAMED(1, Text, path.type), NORVIK_NAMED(2, Text, path.profile),         \
                 NORVIK_NAMED(3, Text, path.dimension)})                                        \
        .reading(NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {                 \
            return KivNorvikSharedLines::readSection(t.path, tokens); }))                       \
        .tokens(4).with(kNorvikRowReadOnly | kNorvikRowAnyTokens),                              \
    NORVIK_ROW(keyword).words("PRF").wideBefore(1)                                              \
        .holding({NORVIK_FIXED(path.type, 0), NORVIK_TEXT(2, path.profile.text1),                \
                 NORVIK_TEXT(3, path.profile.text2)})                                           \
        .written(NORVIK_WHEN("exportPRF", "type 0 and both profile texts set",                 \
                             [](const Target& t) { return t.path.exportPRF(); }))                \
        .outside(NORVIK_CODE_RANGE(path.type, 0, 1,                                              \
                                   "a section type other than 0 (PRF) and 1 (DIM) writes no line")) \
        .tokens(4).with(kNorvikRowWrittenOnly),                                                 \
    NORVIK_ROW(keyword).words("DIM").wideBefore(1).wideBefore(2)                                \
        .holding({NORVIK_FIXED(path.type, 1),                                                    \
                 NORVIK_INTEGER_ONE_OF(2, path.dimension.shape, KivNorvikSharedLines::sectionShapes,          \
                                       "the reader knows the shapes 1, 3, 4, 7 and 8 only and stops at this one"), \
                 NORVIK_REAL(3, path.dimension.dim2), NORVIK_REAL(4, path.dimension.dim4),      \
                 NORVIK_REAL(5, path.dimension.dim1), NORVIK_REAL(6, path.dimension.dim3),      \
                 NORVIK_REAL(7, path.dimension.dim5)})                                          \
        .written(NORVIK_WHEN("exportDIM", "type 1 and the five dimensions set",                \
                             [](const Target& t) { return !t.path.exportPRF() && t.path.exportDIM(); })) \
        .tokens(8).with(kNorvikRowWrittenOnly)

#define NORVIK_SECTION_ROWS(path) NORVIK_SECTION_LINES(KivNorvikSharedLines::sectionKeyword, path)
#define NORVIK_CONNECTION_SECTION_ROWS(path) NORVIK_SECTION_LINES(KivNorvikSharedLines::connectionKeyword, path)

// "CHA": one line per element of the loadings at `path`, written whatever
// its values; reading appends a loading filled from the tokens present.
#define NORVIK_LOADINGS_ROW(path)                                                               \
    NORVIK_ROW_OF(NorvikGlobalData::GenLoading, "CHA")                                          \
        .holding({NORVIK_FILLED_IN(NorvikGlobalData::GenLoading, 1, Integer, number, integer, "%3d"), \
                 NORVIK_FILLED_TEXT_IN(NorvikGlobalData::GenLoading, 2, text1),                 \
                 NORVIK_FILLED_TEXT_IN(NorvikGlobalData::GenLoading, 3, text2),                 \
                 NORVIK_FILLED_IN(NorvikGlobalData::GenLoading, 4, Integer, type, integer, "%d")}) \
        .each(NORVIK_ELEMENTS(path))                                                            \
        .reading(NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {                 \
            KivNorvikSharedLines::appendLoading(t.path, tokens);                                \
            return KivNorvikFillResult::Done; }))                                               \
        .tokens(1).with(kNorvikRowRepeats)

// "CHA" of a kind with one loading at `path`, written whatever its values.
#define NORVIK_LOADING_ROW(path)                                                                \
    NORVIK_ROW("CHA")                                                                           \
        .holding({NORVIK_FILLED_IN(Target, 1, Integer, path.number, integer, "%3d"),             \
                 NORVIK_FILLED_TEXT_IN(Target, 2, path.text1),                                  \
                 NORVIK_FILLED_TEXT_IN(Target, 3, path.text2),                                  \
                 NORVIK_FILLED_IN(Target, 4, Integer, path.type, integer, "%d")})               \
        .reading(NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {                 \
            KivNorvikSharedLines::readLoading(t.path, tokens);                                  \
            return KivNorvikFillResult::Done; }))                                               \
        .tokens(1)

// "ORIGINE Olmarin <major>.<minor>": names the exporter in every general
// group; reading takes nothing from it.
#define NORVIK_ORIGIN_ROW                                                                       \
    NORVIK_ROW("ORIGINE")                                                                       \
        .holding({NORVIK_WORD(1, KivNorvikSharedLines::origin), NORVIK_VERSION(2)})              \
        .with(kNorvikRowAnyTokens)
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on
