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
};
