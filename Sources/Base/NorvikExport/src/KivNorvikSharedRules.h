#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikGlobalData.h"

// Reading rules of the lines shared by several kinds: the loading line "CHA",
// the "PRO" and "I" lines of a BL1/BL2 section and the "SECTION" and
// "CONNEC_SEC" lines of a BL3 to BL5 section. Internal to the library's layout tables.
struct KivNorvikSharedRules
{
    // "CHA": a default loading filled from the tokens present, then appended,
    // also for the keyword alone.
    static void appendLoading(KivArray<NorvikGlobalData::GenLoading>& loadings,
                              const KivNorvikLineTokens& tokens);
    // "CHA" of a kind with one loading: a default loading filled from the tokens present.
    static void readLoading(NorvikGlobalData::GenLoading& loading, const KivNorvikLineTokens& tokens);
    // "SECTION"/"CONNEC_SEC" with at least 4 tokens: "DIM" (8 tokens or more,
    // shape 1, 3, 4, 7 or 8, then the reals in the writer's order dim2, dim4, dim1, dim3, dim5) or a profile.
    static KivNorvikFillResult readSection(NorvikGlobalData::Section& section,
                                           const KivNorvikLineTokens& tokens);
    // The n of a "DIAG_n" header, read as KivString::toInteger reads it.
    static int diagonalNumber(const KivString& header);
};

// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are member paths ("a.b") that
// follow "t." and are quoted with #; parentheses would break both.
#define NORVIK_CHA_VALUES(loadingPath)                                                       \
    { NORVIK_FILLED(1, Integer, loadingPath ".number"),                                       \
      NORVIK_FILLED(2, Text, loadingPath ".text1"),                                           \
      NORVIK_FILLED(3, Text, loadingPath ".text2"),                                           \
      NORVIK_FILLED(4, Integer, loadingPath ".type") }

// The "CHA" row of a group whose target has `loadings`.
#define NORVIK_CHA_ROW(loadingsPath)                                                         \
    KivNorvikLineRule { "CHA", "", 1, 0, NORVIK_CHA_VALUES(#loadingsPath "[]"),               \
        NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {                            \
            KivNorvikSharedRules::appendLoading(t.loadingsPath, tokens);                      \
            return KivNorvikFillResult::Done; }), kNorvikRowRepeats }

// The "CHA" row of a group whose target has one `loading`.
#define NORVIK_LOADING_ROW(loadingPath)                                                      \
    KivNorvikLineRule { "CHA", "", 1, 0, NORVIK_CHA_VALUES(#loadingPath),                     \
        NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {                            \
            KivNorvikSharedRules::readLoading(t.loadingPath, tokens);                         \
            return KivNorvikFillResult::Done; }) }

// The "PRO" and "I" rows of a BL12Section at `sectionPath`.
#define NORVIK_BL12_SECTION_ROWS(sectionPath)                                                \
    KivNorvikLineRule { "PRO", "", 1, 0,                                                      \
        { NORVIK_FIXED(sectionPath.type, 0),                                                  \
          NORVIK_TEXT(1, sectionPath.profile.text1),                                          \
          NORVIK_TEXT(2, sectionPath.profile.text2) }, nullptr },                             \
    KivNorvikLineRule { "I", "", 1, 0,                                                        \
        { NORVIK_FIXED(sectionPath.type, 1),                                                  \
          NORVIK_REAL(1, sectionPath.dimension.dim1),                                         \
          NORVIK_REAL(2, sectionPath.dimension.dim2),                                         \
          NORVIK_REAL(3, sectionPath.dimension.dim3),                                         \
          NORVIK_REAL(4, sectionPath.dimension.dim4),                                         \
          NORVIK_REAL(5, sectionPath.dimension.dim5) }, nullptr }

// A "SECTION" or "CONNEC_SEC" row filling the Section at `sectionPath`.
#define NORVIK_SECTION_ROW(keyword, sectionPath)                                             \
    KivNorvikLineRule { keyword, "", 4, 0,                                                    \
        { NORVIK_FILLED(1, Text, "DIM or PRF"),                                               \
          NORVIK_FILLED(2, Text, #sectionPath ".dimension.shape or .profile.text1"),          \
          NORVIK_FILLED(3, Text, #sectionPath ".dimension.dim1 or .profile.text2") },         \
        NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {                            \
            return KivNorvikSharedRules::readSection(t.sectionPath, tokens); }),              \
        kNorvikRowAnyTokens }

// "ORIGINE": written in every general group, it fills nothing.
#define NORVIK_ORIGIN_ROW KivNorvikLineRule { "ORIGINE", "", 0, 0, {}, nullptr, kNorvikRowAnyTokens }
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on
