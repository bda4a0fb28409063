#pragma once

#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

// The reading table of BL2 files: groups "GEN", "POT" and "APP", their
// keywords in comparison order, the tokens each line needs and the fields
// of KivBL2Data they fill.
class NORVIK_API KivBL2Layout
{
public:
    static const KivNorvikKindLayout& kind();
    // The groups, in the order of kind().groups.
    enum Group { General, Column, Support };
};
