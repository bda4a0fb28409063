#pragma once

#include "KivBL4Data.h"
#include "KivNorvikKindLayout.h"

// The line table of a BL4 file: the groups "GEN", "PRIM" and "DIAG_n", each
// line with its words, values, layout and what reading it stores. BL4 lines
// are written as their values stand; only the snow line has a condition.
// Internal to the library.
struct KivBL4Lines
{
    static const KivNorvikKindLayout& kind() { return layout; }
    static const KivNorvikKindLayout layout;
    // The groups, in the order of kind().groups.
    enum Group { General, MainElement, Diagonal };

    // The main element group while its lines are read: the first bolt line
    // fills bolt1, the second bolt2.
    struct MainTarget : KivBL4Data::BL4MainElementGroup
    {
        int boltLines = 0;
    };
};

// The main element group's rows read into a MainTarget too.
template <>
struct KivNorvikTargetBase<KivBL4Lines::MainTarget>
{
    using type = KivBL4Data::BL4MainElementGroup;
};
