#pragma once

#include "KivBL5Data.h"
#include "KivNorvikLineWalker.h"

// The lines of a BL5 file in writer order, with their conditions and what
// the reader stores from them. Internal to the library.
struct KivBL5Lines
{
    static void walk(KivNorvikLineWalker& w, const KivBL5Data& d);
};
