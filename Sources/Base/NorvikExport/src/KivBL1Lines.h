#pragma once

#include "KivBL1Data.h"
#include "KivNorvikKindLayout.h"

// The line table of a BL1 file: the groups "GEN", "POT", "ACR", "TRA D" and
// "TRA G", each line with its words, values, layout, the writer's condition
// and what reading it stores. Internal to the library.
struct KivBL1Lines
{
    static const KivNorvikKindLayout& kind() { return layout; }
    static const KivNorvikKindLayout layout;
    // The groups, in the order of kind().groups.
    enum Group { General, Column, ACR, Right, Left };
    // "TRA G" (side 0) and "TRA D" (side 1).
    static const KivNorvikWords sideHeaders;
};
