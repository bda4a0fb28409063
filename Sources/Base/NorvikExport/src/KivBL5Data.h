#pragma once

#include "KivNorvikData.h"
#include "NorvikGlobalData.h"
#include "NorvikExportApi.h"

#include <KivString.h>

// A BL5 connection: two diagonals joined by gusset plates to a main element
// or, when `typeAtt` is 2, to a column. Export only. Integer and real fields
// start undefined and are written as they stand; text fields of the groups
// start empty.
class NORVIK_API KivBL5Data : public KivNorvikData
{
public:
    // The "GHCP" values of a diagonal: gusset, bolts, welds, gaps, penetration.
    struct NORVIK_API GHCP
    {
        GHCP();
        double gouDim[4];
        int gouPos1;
        double gouPos2;
        int gouPos3;
        double bouDia;
        int bouXNumber;
        double bouX[3];
        int bouYNumber;
        double bouY;
        double chpDim[3];
        double soudure[2];
        double jeux[2];
        int penetrNumber;
        double penetr;
    };

    struct NORVIK_API BL5GeneralGroup
    {
        BL5GeneralGroup();
        int nbrDiag;
        int optCalul[2];
        int angleDiag; // 1 GLOBAL, anything else LOCAL
        int typeAtt;   // 2 column, anything else main element
        int noeud;
        double xy[3];
        double neige;
        NorvikGlobalData::GenLoading loading;
        KivString lia;
        double bouCls;
        KivString qSoud;
    };

    struct NORVIK_API BL5MainElementGroup
    {
        BL5MainElementGroup();
        double angle;
        int numMemb1[2];
        int numMemb2[2];
        KivString mat;
        NorvikGlobalData::Section section;
        int tourneSec;
        int effNumber;
        double eff[3];
        double gousset1;
        int gousset2;
        double gousset3;
    };

    struct NORVIK_API BL5ColumnGroup
    {
        BL5ColumnGroup();
        int numMont[2];
        KivString mat;
        double angle;
        NorvikGlobalData::Section section;
        int tourneSec;
    };

    struct NORVIK_API BL5DiagonalElementGroup
    {
        BL5DiagonalElementGroup();
        int number;
        double angle;
        int numElt[2];
        KivString mat;
        NorvikGlobalData::Section section;
        int tourneSec;
        int effNumber;
        double eff;
        GHCP ghcp;
    };

    KivBL5Data();
    KivBL5Data(const KivBL5Data& other);
    KivBL5Data& operator=(const KivBL5Data& other);
    // Member-wise, as the copies; never throw.
    KivBL5Data(KivBL5Data&& other) noexcept;
    KivBL5Data& operator=(KivBL5Data&& other) noexcept;
    ~KivBL5Data() override;

    BL5GeneralGroup generalGroup;
    BL5MainElementGroup mainElementGroup;
    BL5ColumnGroup columnGroup;
    BL5DiagonalElementGroup diagonalElementGroups[2];
};
