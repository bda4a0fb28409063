#pragma once

#include "KivBL5Data.h"
#include "KivNorvikKindLayout.h"

// The line table of a BL5 file: the groups "GEN", "PRIM", "MONTANT" and
// "DIAG_n", each line with its words, values, layout and what reading it
// stores. BL5 lines are written as their values stand; only the snow line
// has a condition. Internal to the library.
struct KivBL5Lines
{
    static const KivNorvikKindLayout& kind() { return layout; }
    static const KivNorvikKindLayout layout;
    // The groups, in the order of kind().groups.
    enum Group { General, MainElement, Column, Diagonal };
};
