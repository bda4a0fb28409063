#pragma once

#include "KivBL2Data.h"
#include "KivNorvikKindLayout.h"

// The line table of a BL2 file: the groups "GEN", "POT" and "APP", each line
// with its words, values, layout, the writer's condition and what reading it
// stores. Internal to the library.
struct KivBL2Lines
{
    static const KivNorvikKindLayout& kind() { return layout; }
    static const KivNorvikKindLayout layout;
    // The groups, in the order of kind().groups.
    enum Group { General, Column, Support };
};
