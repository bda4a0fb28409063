#pragma once

#include "KivBL4Data.h"
#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

// The reading table of BL4 files: the groups "GEN", "PRIM" and "DIAG_n",
// their keywords and the fields their tokens fill. The targets are the
// record's generalGroup, a MainTarget standing in for mainElementGroup and a
// fresh diagonal for each "DIAG_" group, whose number comes from the header.
class NORVIK_API KivBL4Layout
{
public:
    static const KivNorvikKindLayout& kind();

    // The groups, in the order of kind().groups.
    enum Group { General, MainElement, Diagonal };

    // The main element group while its lines are read: the first bolt line
    // fills bolt1, the second bolt2.
    struct MainTarget : KivBL4Data::BL4MainElementGroup
    {
        int boltLines = 0;
    };
};
