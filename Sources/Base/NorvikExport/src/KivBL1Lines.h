#pragma once

#include "KivBL1Data.h"
#include "KivNorvikLineWalker.h"

// The lines of a BL1 file in writer order, with their conditions and what
// the reader stores from them. Internal to the library.
struct KivBL1Lines
{
    static void walk(KivNorvikLineWalker& w, const KivBL1Data& d);
};
