#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

// The reading table of BL5 files: the groups "GEN", "PRIM", "MONTANT" and
// "DIAG_n", their keywords and the fields their tokens fill. The targets are
// the record's generalGroup, mainElementGroup and columnGroup, and a fresh
// diagonal for each "DIAG_" group, whose number comes from the header.
class NORVIK_API KivBL5Layout
{
public:
    static const KivNorvikKindLayout& kind();

    // The groups, in the order of kind().groups.
    enum Group { General, MainElement, Column, Diagonal };
};
