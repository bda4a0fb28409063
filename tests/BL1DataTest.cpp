#include "RecordFields.h"
#include "TestSupport.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace norvik_test;

namespace {

using Data = KivBL1Data;

// Whether every visited field holds the undefined value of its type.
struct UndefinedCheck
{
    std::vector<std::string> defined;
    void operator()(const std::string& p, const int& v)
    {
        if (KivNorvikData::isDefined(v))
            defined.push_back(p);
    }
    void operator()(const std::string& p, const double& v)
    {
        if (KivNorvikData::isDefined(v))
            defined.push_back(p);
    }
    void operator()(const std::string& p, const KivString& v)
    {
        if (KivNorvikData::isDefined(v))
            defined.push_back(p);
    }
};

Data randomRecord(unsigned seed)
{
    std::mt19937 rng(seed);
    Data d;
    d.generalGroup.loadings.setLength(3);
    d.rightTraverse.efforts.setLength(2);
    randomize(d, rng);
    return d;
}

// A record of another class that claims to be BL1.
class ForeignRecord : public KivNorvikData
{
public:
    ForeignRecord() : KivNorvikData(eBL1) { projectName = KivString("foreign"); }
};

using Setter = std::function<void(Data&)>;

struct PredicateCase
{
    const char* name;
    std::function<bool(const Data&)> predicate;
    std::vector<Setter> fields; // each sets one field the predicate needs
};

} // namespace

TEST(BL1Data, DefaultsAreUndefined)
{
    const Data d;
    EXPECT_EQ(KivNorvikData::eBL1, d.dataType);
    EXPECT_EQ("Project", narrow(d.projectName));
    UndefinedCheck check;
    visitFields(d, check);
    EXPECT_TRUE(check.defined.empty()) << check.defined.front();
    EXPECT_EQ(0, d.generalGroup.loadings.getLength());
    EXPECT_EQ(0, d.rightTraverse.efforts.getLength());
    EXPECT_EQ(8, d.leftTraverse.efforts.getGrowBy());
    const Data::BL1Plate plate;
    EXPECT_FALSE(KivNorvikData::isDefined(plate.value));
    EXPECT_FALSE(KivNorvikData::isDefined(plate.number));
}

TEST(BL1Data, CopyAssignAndSetFrom)
{
    Data source = randomRecord(7);
    source.projectName = KivString("Source");
    source.acr.pro1 = KivString("P1");
    source.setDataType(KivNorvikData::eBL3);

    // A copy holds every group, an empty name and the kind BL1.
    Data copy(source);
    EXPECT_EQ(flatten(source), flatten(copy));
    EXPECT_EQ("", narrow(copy.projectName));
    EXPECT_EQ(KivNorvikData::eBL1, copy.dataType);

    // Assignment keeps the target's name and kind; the arrays are deep.
    Data assigned;
    assigned = source;
    EXPECT_EQ(flatten(source), flatten(assigned));
    EXPECT_EQ("Project", narrow(assigned.projectName));
    EXPECT_EQ(KivNorvikData::eBL1, assigned.dataType);
    source.generalGroup.loadings[0].text1 = KivString("changed");
    source.rightTraverse.efforts.setLength(0);
    EXPECT_TRUE(assigned.generalGroup.loadings[0].text1 != KivString("changed"));
    EXPECT_EQ(2, assigned.rightTraverse.efforts.getLength());

    // setFrom: a BL1 source gives everything, the name included.
    Data target;
    source.setDataType(KivNorvikData::eBL1);
    target.setFrom(&source);
    EXPECT_EQ(flatten(source), flatten(target));
    EXPECT_EQ("Source", narrow(target.projectName));

    // Sources of another kind, or another class claiming BL1, change nothing.
    const FieldList before = flatten(target);
    source.setDataType(KivNorvikData::eBL2);
    source.projectName = KivString("Other");
    target.setFrom(&source);
    const KivNorvikData base(KivNorvikData::eBL1);
    target.setFrom(&base);
    const ForeignRecord foreign;
    target.setFrom(&foreign);
    target.setFrom(nullptr);
    EXPECT_EQ(before, flatten(target));
    EXPECT_EQ("Source", narrow(target.projectName));
    EXPECT_EQ(KivNorvikData::eBL1, target.dataType);
}

// Each predicate is true with its fields set and false as soon as one of them
// is missing; fields it does not name play no part.
TEST(BL1Data, PredicatesNeedEachOfTheirFields)
{
    const std::vector<PredicateCase> cases = {
        {"XY", [](const Data& d) { return d.generalGroup.exportXY(); },
         {[](Data& d) { d.generalGroup.xy[0] = 1; }, [](Data& d) { d.generalGroup.xy[1] = 1; },
          [](Data& d) { d.generalGroup.xy[2] = 1; }}},
        {"BOU", [](const Data& d) { return d.generalGroup.exportBOU(); },
         {[](Data& d) { d.generalGroup.bolt.number = 1; },
          [](Data& d) { d.generalGroup.bolt.value = 1; },
          [](Data& d) { d.generalGroup.bolt.text = KivString("x"); }}},
        {"RAI_AME_OBLIQ", [](const Data& d) { return d.potGroup.exportRAI_AME_OBLIQ(); },
         {[](Data& d) { d.potGroup.raiAmeType = 0; }, [](Data& d) { d.potGroup.raiAmeObliq[0] = 1; },
          [](Data& d) { d.potGroup.raiAmeObliq[1] = 1; }}},
        {"RAI_AME_PLAQ", [](const Data& d) { return d.potGroup.exportRAI_AME_PLAQ(); },
         {[](Data& d) { d.potGroup.raiAmeType = 1; }, [](Data& d) { d.potGroup.raiAmePlaqValue = 1; },
          [](Data& d) { d.potGroup.raiAmePlaqNumber = 1; }}},
        {"ACR LIA", [](const Data& d) { return d.acr.exportLIA(); },
         {[](Data& d) { d.acr.lia1 = 1; }, [](Data& d) { d.acr.lia2 = 1; },
          [](Data& d) { d.acr.lia3 = 1; }}},
        {"TRA PRO", [](const Data& d) { return d.leftTraverse.exportPRO(); },
         {[](Data& d) { d.leftTraverse.section.type = 0; },
          [](Data& d) { d.leftTraverse.section.profile.text1 = KivString("a"); },
          [](Data& d) { d.leftTraverse.section.profile.text2 = KivString("b"); }}},
        {"PLA", [](const Data& d) { return d.leftTraverse.exportPLA(); },
         {[](Data& d) { d.leftTraverse.pla.value1 = 1; }, [](Data& d) { d.leftTraverse.pla.value2 = 1; },
          [](Data& d) { d.leftTraverse.pla.value3 = 1; }, [](Data& d) { d.leftTraverse.pla.value4 = 1; }}},
        {"BOU_REN", [](const Data& d) { return d.leftTraverse.exportBOU_REN(); },
         {[](Data& d) { d.leftTraverse.bouRen.type = 1; },
          [](Data& d) { d.leftTraverse.bouRen.value1 = 1; },
          [](Data& d) { d.leftTraverse.bouRen.value2 = 1; },
          [](Data& d) { d.leftTraverse.bouRen.number = 1; }}},
        {"RAI_POT_TRA_INF", [](const Data& d) { return d.leftTraverse.exportRAI_POT_TRA_INF(); },
         {[](Data& d) { d.leftTraverse.raiPotTraInf.position = 1; },
          [](Data& d) { d.leftTraverse.raiPotTraInf.value1 = 1; },
          [](Data& d) { d.leftTraverse.raiPotTraInf.number = 1; },
          [](Data& d) { d.leftTraverse.raiPotTraInf.value2 = 1; }}},
        {"BOU_EXT_SUP", [](const Data& d) { return d.leftTraverse.exportBOU_EXT_SUP(); },
         {[](Data& d) { d.leftTraverse.extBoltsSup.position = 0; },
          [](Data& d) { d.leftTraverse.extBoltsSup.bouExt = 1; }}},
        // The position plays no part in the RAI PLA lines.
        {"RAI_PLA_INF", [](const Data& d) { return d.leftTraverse.exportRAI_PLA_INF(); },
         {[](Data& d) { d.leftTraverse.extBoltsInf.raiPla[0] = 1; },
          [](Data& d) { d.leftTraverse.extBoltsInf.raiPla[1] = 1; },
          [](Data& d) { d.leftTraverse.extBoltsInf.raiPla[2] = 1; }}},
    };
    for (const PredicateCase& c : cases) {
        Data all;
        for (const Setter& set : c.fields)
            set(all);
        EXPECT_TRUE(c.predicate(all)) << c.name;
        for (size_t skip = 0; skip < c.fields.size(); ++skip) {
            Data partial;
            for (size_t i = 0; i < c.fields.size(); ++i) {
                if (i != skip)
                    c.fields[i](partial);
            }
            EXPECT_FALSE(c.predicate(partial)) << c.name << " without field " << skip;
        }
    }

    // The column's two stiffener forms exclude each other.
    Data d;
    d.potGroup.raiAmeObliq[0] = d.potGroup.raiAmeObliq[1] = 1;
    d.potGroup.raiAmePlaqValue = 1;
    d.potGroup.raiAmePlaqNumber = 1;
    d.potGroup.raiAmeType = 1;
    EXPECT_FALSE(d.potGroup.exportRAI_AME_OBLIQ());
    EXPECT_TRUE(d.potGroup.exportRAI_AME_PLAQ());

    // Reals are undefined within 1e-6 of the sentinel.
    d.generalGroup.neige = -123456.7800005;
    EXPECT_FALSE(d.generalGroup.exportNIEGE());
    d.generalGroup.neige = -123456.779;
    EXPECT_TRUE(d.generalGroup.exportNIEGE());
}
