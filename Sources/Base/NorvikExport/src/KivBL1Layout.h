#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

// The reading knowledge of a BL1 file: the groups "GEN", "POT", "ACR",
// "TRA D" and "TRA G", their keywords, token counts and target fields.
// The targets are the record's generalGroup, potGroup and acr, and a fresh
// BL1Traverse for each beam-side group. Two effects live in the reader, at the
// group level: an "ACR" group sets potGroup.con to "ACR", and a beam-side group
// takes its side (1 for "TRA D", 0 for "TRA G") from its header.
class NORVIK_API KivBL1Layout
{
public:
    static const KivNorvikKindLayout& kind();
    // The groups, in the order of kind().groups.
    enum Group { General, Column, ACR, Right, Left };
};
