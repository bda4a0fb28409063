#pragma once

#include "KivNorvikData.h"
#include "NorvikExportApi.h"
#include "NorvikGlobalData.h"

#include <KivArray.h>
#include <KivString.h>

// A BL1 moment connection: up to two beam sides (right and left) onto a
// column, or onto an ACR element in the column's place. Every field starts
// undefined; a writer puts a line in the file only when its values are set.
class NORVIK_API KivBL1Data : public KivNorvikData
{
public:
    // The "BOU" line of the general group.
    struct NORVIK_API BL1GenBolt
    {
        BL1GenBolt();
        int number;
        double value;
        KivString text;
    };

    // The "RAI TRA" line of a beam side.
    struct NORVIK_API BL1TraverseStiffener
    {
        BL1TraverseStiffener();
        double value1;
        int number;
        double value2;
    };

    // One "EFF" line of a beam side.
    struct NORVIK_API BL1Effort
    {
        BL1Effort();
        int number;
        double value1;
        double value2;
        double value3;
    };

    // The "PLA" line of a beam side.
    struct NORVIK_API BL1Pla
    {
        BL1Pla();
        double value1;
        double value2;
        double value3;
        double value4;
    };

    // The "FIL" line of a beam side.
    struct NORVIK_API BL1Fil
    {
        BL1Fil();
        int number;
        double value1;
        double value2;
    };

    // A "BOU TRA" (type 0) or "BOU REN" (any other type) line.
    struct NORVIK_API BL1TraverseBolt
    {
        BL1TraverseBolt();
        int type;
        double value1;
        double value2;
        int number;
    };

    // The "BOU DIA" line of a beam side.
    struct NORVIK_API BL1BoltsDia
    {
        BL1BoltsDia();
        double value1;
        KivString text;
        double value2;
    };

    // A "RAI POT TRA SUP" (position 0) or "RAI POT TRA INF" (any other) line.
    struct NORVIK_API BL1Stiff
    {
        BL1Stiff();
        int position;
        double value1;
        int number;
        double value2;
    };

    // The "BOU EXT" and "RAI PLA" lines of one end: SUP (position 0) or INF.
    struct NORVIK_API BL1ExtBolts
    {
        BL1ExtBolts();
        bool exportBOU_EXT_SUP_or_INF() const;
        bool exportRAI_PLA_SUP_or_INF() const;

        int position;
        double bouExt;
        double raiPla[3];
    };

    // Not held by any group; kept for hosts that use it.
    struct NORVIK_API BL1Plate
    {
        BL1Plate();
        double value;
        int number;
    };

    // The "GEN" group.
    struct NORVIK_API BL1GeneralGroup
    {
        BL1GeneralGroup();
        bool exportACIER() const;
        bool exportXY() const;
        bool exportREP_PAGE() const;
        bool exportNOEUD_NUM() const;
        bool exportNOEUD_XYZ() const;
        bool exportNIEGE() const;
        bool exportLIA() const;
        bool exportBOU() const;
        bool exportATMOS() const;
        bool exportA91() const;
        bool exportFRX() const;

        double acier;
        double xy[3];
        KivString repPage;
        int noeudNum;
        double noeudXyz[3];
        double neige;
        KivArray<NorvikGlobalData::GenLoading> loadings;
        KivString lia;
        BL1GenBolt bolt;
        int atmos;
        int a91;
        int frx;
    };

    // The column, "POT". `con` "NON" writes this group, "ACR" the ACR group.
    struct NORVIK_API BL1PotGroup
    {
        BL1PotGroup();
        bool exportPRO() const;
        bool exportI() const;
        bool exportCON() const;
        bool exportLIA() const;
        bool exportRAI_AME_OBLIQ() const;
        bool exportRAI_AME_PLAQ() const;

        NorvikGlobalData::BL12Section section;
        KivString con;
        int lia1;
        int lia2;
        int raiAmeType; // 0: "RAI AME OBLIQ", 1: "RAI AME PLAQ"
        double raiAmeObliq[2];
        double raiAmePlaqValue;
        int raiAmePlaqNumber;
    };

    // The "ACR" group, written in place of the column.
    struct NORVIK_API BL1ACR
    {
        BL1ACR();
        bool exportPRO() const;
        bool exportY() const;
        bool exportLIA() const;

        KivString pro1;
        KivString pro2;
        double y;
        int lia1;
        int lia2;
        int lia3;
    };

    // One beam side: "TRA G" (side 0) or "TRA D" (side 1); an undefined side is absent.
    struct NORVIK_API BL1Traverse
    {
        BL1Traverse();
        bool exportPRO() const;
        bool exportI() const;
        bool exportANG() const;
        bool exportDY() const;
        bool exportREN_INF() const;
        bool exportTRA_RAI() const;
        bool exportLIA() const;
        bool exportPLA() const;
        bool exportSOU_TRA_PLA() const;
        bool exportFIL() const;
        bool exportBOU_TRA() const;
        bool exportBOU_REN() const;
        bool exportBOU_DIA() const;
        bool exportRAI_POT_TRA_SUP() const;
        bool exportRAI_POT_TRA_INF() const;
        bool exportBOU_EXT_SUP() const;
        bool exportRAI_PLA_SUP() const;
        bool exportBOU_EXT_INF() const;
        bool exportRAI_PLA_INF() const;
        bool exportBOU_INF() const;
        bool exportREN_SEM_INF() const;

        int side;
        NorvikGlobalData::BL12Section section;
        double ang;
        double dy;
        double renInf[2];
        BL1TraverseStiffener raiTra;
        int lia1;
        int lia2;
        KivArray<BL1Effort> efforts;
        BL1Pla pla;
        double souTraPla[2];
        BL1Fil fil;
        BL1TraverseBolt bouTra; // type 0
        BL1TraverseBolt bouRen; // type 1
        BL1BoltsDia bouDia;
        BL1Stiff raiPotTraSup;   // position 0
        BL1Stiff raiPotTraInf;   // position 1
        BL1ExtBolts extBoltsSup; // position 0
        BL1ExtBolts extBoltsInf; // position 1
        double bouInf;
        double renSemInf;
    };

    // Kind BL1, project name "Project", every group at its defaults.
    KivBL1Data();
    // The groups of `other`; the project name stays empty and the kind is BL1.
    KivBL1Data(const KivBL1Data& other);
    // Assigns the groups only: the project name and the kind are kept.
    KivBL1Data& operator=(const KivBL1Data& other);
    /// The same as the copy constructor, the groups moved out of `other`. Never throws.
    KivBL1Data(KivBL1Data&& other) noexcept;
    /// The same as the copy assignment, the groups moved out of `other`. Never throws.
    KivBL1Data& operator=(KivBL1Data&& other) noexcept;
    ~KivBL1Data() override;

    // Copies the kind, the project name and the groups when `source` is a
    // BL1 record both by its kind and by its class; otherwise changes nothing.
    void setFrom(const KivNorvikData* source) override;
    /// What setFrom(&source) does, with the source's parts moved rather than
    /// copied: nothing is allocated and nothing can fail. The source is left
    /// with its defaults or empty parts.
    void takeFrom(KivBL1Data&& source) noexcept;

    BL1GeneralGroup generalGroup;
    BL1PotGroup potGroup;
    BL1ACR acr;
    BL1Traverse rightTraverse;
    BL1Traverse leftTraverse;
};
