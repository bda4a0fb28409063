#pragma once

#include "KivBL1Data.h"
#include "KivBL2Data.h"
#include "KivBL3Data.h"
#include "KivBL4Data.h"
#include "KivBL5Data.h"

// The writer's conditions that are not a single export predicate of a group:
// the snow lines, the groups that a code selects, and the BL3 writer's own
// tests where they differ from the BL3 predicates. The line tables name them;
// the writer, the record check and the format reference all decide with
// them. Internal to the library.
struct KivNorvikWriterConditions
{
    // "NEIGE": the snow value is set and a loading of type 2 or -1 goes with it.
    static bool NEIGE(const KivBL1Data::BL1GeneralGroup& g);
    static bool NEIGE(const KivBL2Data::BL2GeneralGroup& g);
    static bool NEIGE(const KivBL3Data::BL3GeneralGroup& g);
    // BL4 and BL5: the loading is of type 2 or -1, whatever `neige` holds.
    static bool NEIGE(const KivBL4Data::BL4GeneralGroup& g);
    static bool NEIGE(const KivBL5Data::BL5GeneralGroup& g);

    // A BL1 beam side when its `side` is set.
    static bool TRA(const KivBL1Data::BL1Traverse& t);

    // BL2 "RAIDL"/"RAIDT": neither value is 0.0 (-0.0 counts as 0.0, NaN as a value).
    static bool RAID(const KivBL2Data::BL2Radius& r);

    // BL3, where the writer's test is not the predicate of the same name.
    static bool LIA(const KivBL3Data::BL3GeneralGroup& g);
    // "ATT.NOE_NUM" with the first number only: the second is not set.
    static bool ATT_NOE_NUM_FIRST(const KivBL3Data::ATT& a);
    // "JEU" with the tolerance rule (exportJEU compares exactly).
    static bool JEU(const KivBL3Data::BL3SecondaryElementGroup& s);
    // "CONNEC_POSZ" when connecPosZ is set (exportCONNEC_POSZ tests connecPosZRef).
    static bool CONNEC_POSZ(const KivBL3Data::BL3SecondaryElementGroup& s);
    // A bolt line: its kind has a keyword and its six values are set.
    static bool BOU(const KivBL3Data::Bolt& b);
    // A notch line: its kind has a keyword, `code` is not the unset integer
    // (-1 is written) and the other values are set.
    static bool GRUG(const KivBL3Data::Notch& n);
    // The integer of "CONNEC_POSZ": truncated toward zero, saturated to the
    // 32-bit range; NaN gives the unset integer.
    static int referenceHeight(double value);

    // BL5: the column group "MONTANT" replaces "PRIM" when typeAtt is 2.
    static bool MONTANT(const KivBL5Data::BL5GeneralGroup& g);
};
