#pragma once

#include "KivBL2Data.h"
#include "KivNorvikLineWalker.h"

// The lines of a BL2 file in writer order, with their conditions and what
// the reader stores from them. Internal to the library.
struct KivBL2Lines
{
    static void walk(KivNorvikLineWalker& w, const KivBL2Data& d);
};
