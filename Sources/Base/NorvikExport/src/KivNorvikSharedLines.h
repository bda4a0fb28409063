#pragma once

#include "KivNorvikLineWalker.h"
#include "NorvikGlobalData.h"

#include <string>

// The lines that several kinds share, for the kinds' Lines classes: the
// section lines, the loading line and the origin line. Internal to the library.
struct KivNorvikSharedLines
{
    // "PRO" or "I" of a BL1/BL2 section at `field`; `minTokens` is the group's.
    static void section(KivNorvikLineWalker& w, const std::string& field,
                        const NorvikGlobalData::BL12Section& s, int minTokens);
    // "SECTION" (mode 0) or "CONNEC_SEC" (mode 1) of a section at `field`.
    static void section(KivNorvikLineWalker& w, const std::string& field, const NorvikGlobalData::Section& s,
                        int mode);
    // "CHA": one loading, appended to `array` (element `index`), or the single
    // loading at `array` when `index` is -2.
    static void loading(KivNorvikLineWalker& w, const std::string& array, int index,
                        const NorvikGlobalData::GenLoading& l);
    // "ORIGINE": names the exporter; fills nothing.
    static void origin(KivNorvikLineWalker& w);
    // A code's outside-table note when it is set and not in [low, high].
    static void codeRange(KivNorvikLineWalker& w, const std::string& field, int code, int low, int high,
                          const char* what);
};
