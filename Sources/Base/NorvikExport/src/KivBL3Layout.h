#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

// The reading table of BL3 files: the groups "GEN", "PRIM" and "SEC_1", the
// keywords each knows and the fields their tokens fill.
class NORVIK_API KivBL3Layout
{
public:
    static const KivNorvikKindLayout& kind();

    // The groups, in the order of kind().groups.
    enum Group { General, MainElement, SecondaryElement };

    // The words of the codes, indexed by code: the writer writes them and
    // the reader maps them back.
    static constexpr const char* connecTypeWords[5] = {"RAID", "PLAT_ABOUT", "PLAT_PLIE", "L_GD_AILE",
                                                       "L_PT_AILE"};
    static constexpr const char* connecPosWords[3] = {"DOUBLE", "GAUCHE", "DROITE"};
    static constexpr const char* typeAttWords[2] = {"POU/POU", "POU/POT"};
    static constexpr const char* boltKeywords[2] = {"BOU_PRIM", "BOU_SEC"};
    static constexpr const char* notchKeywords[6] = {"GRUG_SUP",     "GRUG_INF",     "GRUG_LAT",
                                                     "GRUG_SUP_INI", "GRUG_INF_INI", "GRUG_LAT_INI"};

    // The word of `code`, or null outside the table.
    template <size_t N>
    static const char* wordOf(const char* const (&words)[N], int code)
    {
        return code >= 0 && code < static_cast<int>(N) ? words[code] : nullptr;
    }
};
