#pragma once

#include "KivBL4Data.h"
#include "KivNorvikLineWalker.h"

// The lines of a BL4 file in writer order, with their conditions and what
// the reader stores from them. Internal to the library.
struct KivBL4Lines
{
    static void walk(KivNorvikLineWalker& w, const KivBL4Data& d);
};
