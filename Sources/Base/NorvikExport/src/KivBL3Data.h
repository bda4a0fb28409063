#pragma once

#include "KivNorvikData.h"
#include "NorvikExportApi.h"
#include "NorvikGlobalData.h"

#include <KivArray.h>
#include <KivString.h>

// A BL3 connection: a secondary beam or joist ("SEC_1") attached to a main
// beam or column ("PRIM") by a connection piece, with its bolts and notches.
class NORVIK_API KivBL3Data : public KivNorvikData
{
public:
    // The undefined value of `connecPosZRef`, tested with the usual tolerance.
    static constexpr double kUndefinedPosZRef = -123456.0;

    // The attachment node, the "ATT.*" lines.
    struct NORVIK_API ATT
    {
        ATT();
        bool exportATT_GRP() const;
        bool exportATT_BAR_NB() const;
        bool exportATT_NUM() const;
        bool exportATT_NOE_NUM() const;
        bool exportATT_NOE_NOM() const;
        bool exportATT_NOE_TITRE() const;
        bool exportATT_NOE_XYZ() const;
        bool exportATT_BAR1() const;

        int grp;
        int barNb;
        int num[2];
        int noeNum[2];
        KivString noeNom;
        KivString noeTitre;
        double noeXyz[3];
        int bar[3]; // written as ATT.BAR1 to ATT.BAR4, one triple for all four
    };

    struct NORVIK_API BL3GeneralGroup
    {
        BL3GeneralGroup();
        bool exportTYPE_ATT() const;
        bool exportNIEGE() const;
        bool exportOPT_CALCUL() const;

        int typeAtt; // 0 beam to beam ("POU/POU"), anything else beam to column ("POU/POT")
        double neige;
        KivArray<NorvikGlobalData::GenLoading> loadings;
        KivString lia;
        int optCalcul[2];
        ATT att;
    };

    struct NORVIK_API BL3MainElementGroup
    {
        BL3MainElementGroup();
        bool exportMAT_MAIN() const;
        bool exportPRF() const;
        bool exportDIM() const;

        NorvikGlobalData::Section section;
        KivString mat;
    };

    // A bolt line; `kind` 0 "BOU_PRIM", 1 "BOU_SEC" names the line.
    struct NORVIK_API Bolt
    {
        Bolt();
        bool exportBOU_PRIM_or_SEC() const;

        int kind;
        double value1;
        int number;
        double value2, value3, value4, value5;
    };

    // A notch line; `kind` names it: 0 "GRUG_SUP", 1 "GRUG_INF", 2 "GRUG_LAT",
    // 3 "GRUG_SUP_INI", 4 "GRUG_INF_INI", 5 "GRUG_LAT_INI".
    struct NORVIK_API Notch
    {
        Notch();
        bool exportGRUG_SUP_or_INF() const;

        int kind;
        int code; // -1 when not set
        double value1, value2;
        int number1, number2;
    };

    struct NORVIK_API Effort
    {
        Effort();
        bool exportEFF() const;

        int number;
        double value1, value2, value3;
    };

    struct NORVIK_API BL3SecondaryElementGroup
    {
        BL3SecondaryElementGroup();
        bool exportMAT_SEC() const;
        bool exportPRF_SECB() const;
        bool exportDIM_SECB() const;
        bool exportPRF_ANGLE() const;
        bool exportDIM_ANGLE() const;
        bool exportANGLE() const;
        bool exportPOS_Z() const;
        bool exportJEU() const; // exact comparison: NaN counts as set
        bool exportCONNEC_TYPE() const;
        bool exportCONNEC_POS() const;
        bool exportCONNEC_POSZ() const; // tests connecPosZRef against kUndefinedPosZRef
        bool exportCONNEC_LNG() const;
        bool exportCONNEC_MAT() const;
        bool exportDOUBLE_SOLIVE() const;

        KivString mat;
        NorvikGlobalData::Section section;
        int angle;
        double posZ;
        double jeu;
        int connecType;       // 0 RAID, 1 PLAT_ABOUT, 2 PLAT_PLIE, 3 L_GD_AILE, 4 L_PT_AILE
        int connecPos;        // 0 DOUBLE, 1 GAUCHE, 2 DROITE
        double connecPosZRef; // a whole number; written truncated to an integer
        double connecPosZ;
        double connecLng;
        KivString connecMat;
        NorvikGlobalData::Section connecSection;
        int doubleSolive;
        Bolt boltPrim;
        Bolt boltSec;
        Notch notchSupIni;
        Notch notchInfIni;
        Notch notchLatIni;
        Notch notchSup;
        Notch notchInf;
        Notch notchLat;
        Effort effort;
    };

    // Kind eBL3, project name "Project", every group at its defaults.
    KivBL3Data();
    // Copies the groups; the copy reports eBL3 and has an empty project name.
    KivBL3Data(const KivBL3Data& source);
    // Assigns the groups; the kind and the project name stay as they are.
    KivBL3Data& operator=(const KivBL3Data& source);
    /// The same as the copy constructor, the groups moved out of `other`. Never throws.
    KivBL3Data(KivBL3Data&& other) noexcept;
    /// The same as the copy assignment, the groups moved out of `other`. Never throws.
    KivBL3Data& operator=(KivBL3Data&& other) noexcept;
    ~KivBL3Data() override;

    // Copies the kind, the project name and every group when `source` is a
    // BL3 record; any other source changes nothing.
    void setFrom(const KivNorvikData* source) override;
    /// What setFrom(&source) does, with the source's parts moved rather than
    /// copied: nothing is allocated and nothing can fail. The source is left
    /// with its defaults or empty parts.
    void takeFrom(KivBL3Data&& source) noexcept;

    BL3GeneralGroup generalGroup;
    BL3MainElementGroup mainElementGroup;
    BL3SecondaryElementGroup secondaryElementGroup;
};
