#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

// The reading table of BL3 files: the groups "GEN", "PRIM" and "SEC_1", the
// keywords each knows and the fields their tokens fill.
class NORVIK_API KivBL3Layout
{
public:
    static const KivNorvikKindLayout& kind();

    // Headers of the groups, in the order of kind().groups.
    static const char* const kGeneral;
    static const char* const kMainElement;
    static const char* const kSecondaryElement;
};
