#pragma once

#include "KivBL3Data.h"
#include "KivNorvikKindLayout.h"

// The line table of a BL3 file: the groups "GEN", "PRIM" and "SEC_1", each
// line with its words, values, layout, the writer's condition and what
// reading it stores. Internal to the library.
struct KivBL3Lines
{
    static const KivNorvikKindLayout& kind() { return layout; }
    static const KivNorvikKindLayout layout;
    // The groups, in the order of kind().groups.
    enum Group { General, MainElement, SecondaryElement };

    // The words of the codes, indexed by code: the writer writes them and
    // the reader maps them back.
    static const KivNorvikWords connecTypeWords;
    static const KivNorvikWords connecPosWords;
    static const KivNorvikWords typeAttWords;
    static const KivNorvikWords boltKeywords;
    static const KivNorvikWords notchKeywords;
};
