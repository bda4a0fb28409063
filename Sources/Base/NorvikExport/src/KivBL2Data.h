#pragma once

#include "KivNorvikData.h"
#include "NorvikExportApi.h"
#include "NorvikGlobalData.h"

#include <KivArray.h>
#include <KivString.h>

// A BL2 connection: the foot of a steel column on a concrete support (base
// plate, anchor rods, shear key, stiffeners). One group per file group:
// "GEN", "POT" and "APP".
//
// Reals are set when they differ from the undefined real exactly: unlike
// BL1 and BL3 there is no tolerance, so -123456.7800001 and NaN are set.
class NORVIK_API KivBL2Data : public KivNorvikData
{
public:
    // The plain structs of single lines hold their values in line order. The
    // host fills them before writing; they start at zero.

    // "EFF"
    struct NORVIK_API BL2ColumnEffort
    {
        int number = 0;
        double value1 = 0.0, value2 = 0.0, value3 = 0.0;
    };
    // "PLATINE"
    struct NORVIK_API BL2EndPlate
    {
        double value1 = 0.0, value2 = 0.0, value3 = 0.0;
    };
    // "BOULON"
    struct NORVIK_API BL2Bolt
    {
        double value1 = 0.0, value2 = 0.0;
    };
    // "TIGE"
    struct NORVIK_API BL2Stem
    {
        int number = 0;
        double value1 = 0.0;
    };
    // "PLATINE_TROU"
    struct NORVIK_API BL2TrouEndPlate
    {
        int number = 0;
        double value1 = 0.0, value2 = 0.0;
    };
    // "PLAQUETTE_DIM"
    struct NORVIK_API BL2SmallPlateDim
    {
        double value1 = 0.0;
        int number = 0;
        double value2 = 0.0, value3 = 0.0;
    };
    // "RAID_ART"
    struct NORVIK_API BL2ArticulatedRadius
    {
        double value1 = 0.0, value2 = 0.0, value3 = 0.0, value4 = 0.0, value5 = 0.0, value6 = 0.0;
        int number = 0;
    };
    // "RAIDL", "RAIDT": a stiffener; a value of 0.0 means there is none.
    struct NORVIK_API BL2Radius
    {
        double value1 = 0.0, value2 = 0.0;
    };
    // "FILE.EXT": the outer anchor-rod row.
    struct NORVIK_API BL2ExtTige
    {
        int number = 0;
        double value1 = 0.0, value2 = 0.0, value3 = 0.0;
    };
    // "FILE.INT": the inner anchor-rod row.
    struct NORVIK_API BL2IntTige
    {
        double value1 = 0.0, value2 = 0.0;
    };
    // "BECHE_PROF": the shear-key profile, three words, empty by default.
    struct NORVIK_API BL2SpadeProfile
    {
        KivString text1;
        KivString text2;
        KivString text3;
    };

    // The column base. `baseType` 0: articulated ("RAID_ART", "FILE.CEN");
    // any other value: stiffened ("RAIDL", "RAIDT" and the row that
    // `rowType` selects, 0 "FILE.EXT", any other value "FILE.INT").
    struct NORVIK_API BL2ColumnBase
    {
        int baseType = 0;
        BL2ArticulatedRadius articulatedRadius;
        double fileCen = 0.0;
        BL2Radius radiusL;
        BL2Radius radiusT;
        int rowType = 0;
        BL2ExtTige extTige;
        BL2IntTige intTige;
    };

    // File group "GEN".
    struct NORVIK_API BL2GeneralGroup
    {
        BL2GeneralGroup();
        BL2GeneralGroup(const BL2GeneralGroup& other);
        BL2GeneralGroup& operator=(const BL2GeneralGroup& other);
        BL2GeneralGroup(BL2GeneralGroup&& other) noexcept;
        BL2GeneralGroup& operator=(BL2GeneralGroup&& other) noexcept;
        ~BL2GeneralGroup();

        bool exportREP_PAGE() const;
        bool exportNOEUD_XYZ() const;
        // `neige` alone; the "NEIGE" line also needs a loading of type 2 or -1.
        bool exportNEIGE() const;
        bool exportNOEUD_NUM() const;
        bool exportBETON() const;
        bool exportLIA() const;
        bool exportMASSIF() const;
        bool exportVERIF_TIGE_ADD80() const;
        bool exportVERIF_TP_T1T2MIN() const;
        bool exportEPMAX_ENC_NORAID() const;

        KivString repPage;
        double noeudXyz[3];
        double neige;
        KivArray<NorvikGlobalData::GenLoading> loadings;
        int noeudNum;
        double beton1, beton2;
        KivString lia;
        double massif1, massif2;
        int verifTigeAdd80;
        int verifTpT1T2Min;
        double epmaxEncNoraid;
    };

    // File group "POT".
    struct NORVIK_API BL2ColumnGroup
    {
        BL2ColumnGroup();
        BL2ColumnGroup(const BL2ColumnGroup& other);
        BL2ColumnGroup& operator=(const BL2ColumnGroup& other);
        BL2ColumnGroup(BL2ColumnGroup&& other) noexcept;
        BL2ColumnGroup& operator=(BL2ColumnGroup&& other) noexcept;
        ~BL2ColumnGroup();

        bool exportMAT() const;
        bool exportLIA() const;
        bool exportROTMAX() const;

        KivString mat;
        NorvikGlobalData::BL12Section section;
        int lia1, lia2;
        BL2ColumnEffort effort;
        double rotMax;
    };

    // File group "APP".
    struct NORVIK_API BL2SupportGroup
    {
        BL2SupportGroup();
        BL2SupportGroup(const BL2SupportGroup& other);
        BL2SupportGroup& operator=(const BL2SupportGroup& other);
        BL2SupportGroup(BL2SupportGroup&& other) noexcept;
        BL2SupportGroup& operator=(BL2SupportGroup&& other) noexcept;
        ~BL2SupportGroup();

        bool exportMAT_PLATS() const;
        bool exportOPTIONS() const;
        bool exportCOEF_ADAPT() const;
        bool exportMAT_BECHE() const;
        bool exportBECHE() const;
        bool exportADHER() const;
        bool exportPRESCEL() const;
        bool exportCALAGE() const;

        KivString matPlats;
        int options[3];
        double coefAdapt;
        BL2SpadeProfile becheProfile;
        KivString matBeche;
        BL2EndPlate endPlate;
        BL2Bolt bolt;
        double beche;
        double adher;
        double prescel;
        BL2Stem stem;
        double calage;
        BL2TrouEndPlate trouEndPlate;
        BL2SmallPlateDim smallPlateDim;
        BL2ColumnBase columnBase;
    };

    // Kind eBL2, default groups, project name "Project".
    KivBL2Data();
    // The groups of `other`; kind eBL2 and an empty project name.
    KivBL2Data(const KivBL2Data& other);
    // Assigns the groups only: the project name and the kind stay.
    KivBL2Data& operator=(const KivBL2Data& other);
    /// The same as the copy constructor, the groups moved out of `other`. Never throws.
    KivBL2Data(KivBL2Data&& other) noexcept;
    /// The same as the copy assignment, the groups moved out of `other`. Never throws.
    KivBL2Data& operator=(KivBL2Data&& other) noexcept;
    ~KivBL2Data() override;

    // Copies the kind, the project name and the groups when `source` is a
    // BL2 record (by its kind and its class); otherwise changes nothing.
    void setFrom(const KivNorvikData* source) override;
    /// What setFrom(&source) does, with the source's parts moved rather than
    /// copied: nothing is allocated and nothing can fail. The source is left
    /// with its defaults or empty parts.
    void takeFrom(KivBL2Data&& source) noexcept;

    BL2GeneralGroup generalGroup;
    BL2ColumnGroup columnGroup;
    BL2SupportGroup supportGroup;

private:
    // The one test of a BL2 real against the undefined value: exact.
    static bool isSet(double value);
};
