#pragma once

#include "KivBL3Data.h"
#include "KivNorvikLineWalker.h"

// The lines of a BL3 file in writer order, with their conditions and what
// the reader stores from them. Internal to the library.
struct KivBL3Lines
{
    static void walk(KivNorvikLineWalker& w, const KivBL3Data& d);
};
