#pragma once

#include "KivNorvikData.h"
#include "NorvikGlobalData.h"
#include "NorvikExportApi.h"

#include <KivString.h>

// A BL4 connection: a main element and two diagonals with their bolts.
// Export only. Integer and real fields start undefined and are written as
// they stand; text fields of the groups start empty.
class NORVIK_API KivBL4Data : public KivNorvikData
{
public:
    // One bolt line; `kind` selects its keyword (0 BOU1, 1 BOU2, 2 BOU).
    struct NORVIK_API Bolt
    {
        Bolt();
        int kind;
        double value1;
        int value2;
        double value3;
        double value4;
        double value5;
        double value6; // written with one decimal
        double value7;
    };

    struct NORVIK_API BL4GeneralGroup
    {
        BL4GeneralGroup();
        int nbrDiag;
        int optCal[2];
        double gousset;
        KivString goussetText;
        int noeud;
        double noeudXyz[3];
        double neige;
        NorvikGlobalData::GenLoading loading;
        KivString lia;
    };

    struct NORVIK_API BL4MainElementGroup
    {
        BL4MainElementGroup();
        int type;
        KivString mat;
        Bolt bolt1;
        Bolt bolt2;
        double angle;
        NorvikGlobalData::Section section;
        double rotation;
        int numMemb1[2];
        int numMemb2[2];
        int numPrim[2];
        int effNumber;
        double eff[3];
    };

    struct NORVIK_API BL4DiagonalElementGroup
    {
        BL4DiagonalElementGroup();
        int number;
        int doubleDiag;
        int numElt[2];
        double jeu;
        KivString mat;
        int position;
        Bolt bolt;
        NorvikGlobalData::Section section;
        // Host data carried with the group; never written.
        KivString extraData;
    };

    KivBL4Data();
    KivBL4Data(const KivBL4Data& other);
    KivBL4Data& operator=(const KivBL4Data& other);
    // Member-wise, as the copies; never throw.
    KivBL4Data(KivBL4Data&& other) noexcept;
    KivBL4Data& operator=(KivBL4Data&& other) noexcept;
    ~KivBL4Data() override;

    BL4GeneralGroup generalGroup;
    BL4MainElementGroup mainElementGroup;
    BL4DiagonalElementGroup diagonalElementGroups[2];
};
