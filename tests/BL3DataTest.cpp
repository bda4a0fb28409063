#include "RecordFields.h"
#include "TestSupport.h"

using namespace norvik_test;

TEST(BL3Data, DefaultsAreUnset)
{
    // The reference height and the notch codes have unset values of their own; the other fields the usual ones.
    KivBL3Data d;
    auto& s = d.secondaryElementGroup;
    EXPECT_EQ(-123456.0, std::exchange(s.connecPosZRef, KivNorvikData::kUndefinedReal));
    for (auto* n : {&s.notchSupIni, &s.notchInfIni, &s.notchLatIni, &s.notchSup, &s.notchInf, &s.notchLat})
        EXPECT_EQ(-1, std::exchange(n->code, KivNorvikData::kUndefinedInteger));
    expectUndefined(d, [](const std::string&) { return false; });
}

TEST(BL3Data, CopiesAndSetFrom)
{
    KivBL3Data source;
    source.generalGroup.loadings.setLength(2);
    numberFields(source);
    source.projectName = KivString(L"Filled");

    const KivBL3Data copy(source);
    EXPECT_EQ(KivNorvikData::eBL3, copy.dataType);
    EXPECT_TRUE(copy.projectName.isEmpty());
    EXPECT_EQ(flatten(source), flatten(copy)) << describeDifference(flatten(source), flatten(copy));

    // setFrom takes the name as well; nothing from another kind, a record merely claiming BL3, a BL3 record
    // labelled otherwise, or no record.
    KivBL3Data target, relabelled;
    relabelled.dataType = KivNorvikData::eBL1;
    const KivNorvikData other(KivNorvikData::eBL2), impostor(KivNorvikData::eBL3);
    const KivNorvikData* const sources[] = {&source, &other, &impostor, &relabelled, nullptr};
    for (const KivNorvikData* from : sources)
        target.setFrom(from);
    EXPECT_EQ("Filled", narrow(target.projectName));
    EXPECT_EQ(flatten(source), flatten(target));
}

// The predicates that the writer leaves to the host: each holds on a record
// with every field set and fails when any one of its fields is unset, and
// only then.
TEST(BL3Data, PredicatesNeedEachOfTheirFields)
{
    using Predicate = bool (*)(const KivBL3Data&);
    const struct
    {
        const char* fields; // the field it tests, or the prefix (ending in ".") of its fields
        Predicate holds;
    } predicates[] = {
        {"secondaryElementGroup.boltPrim.",
         [](const KivBL3Data& d) { return d.secondaryElementGroup.boltPrim.exportBOU_PRIM_or_SEC(); }},
        {"secondaryElementGroup.effort.",
         [](const KivBL3Data& d) { return d.secondaryElementGroup.effort.exportEFF(); }},
        {"secondaryElementGroup.notchInf.",
         [](const KivBL3Data& d) { return d.secondaryElementGroup.notchInf.exportGRUG_SUP_or_INF(); }},
        {"secondaryElementGroup.connecType",
         [](const KivBL3Data& d) { return d.secondaryElementGroup.exportCONNEC_TYPE(); }},
        {"secondaryElementGroup.connecPos",
         [](const KivBL3Data& d) { return d.secondaryElementGroup.exportCONNEC_POS(); }},
        {"generalGroup.typeAtt", [](const KivBL3Data& d) { return d.generalGroup.exportTYPE_ATT(); }},
    };
    KivBL3Data full;
    numberFields(full);
    for (const auto& p : predicates) {
        EXPECT_TRUE(p.holds(full)) << p.fields;
        int tested = 0;
        for (int which = 0;; ++which) {
            KivBL3Data d(full);
            const std::string cleared = clearField(d, which);
            if (cleared.empty())
                break;
            // A notch's code is unset at -1, not at the usual value.
            const std::string prefix = p.fields;
            const bool own =
                (prefix.back() == '.' ? cleared.compare(0, prefix.size(), prefix) == 0 : cleared == prefix) &&
                cleared != "secondaryElementGroup.notchInf.code";
            tested += own ? 1 : 0;
            EXPECT_EQ(!own, p.holds(d)) << p.fields << ": " << cleared;
        }
        EXPECT_GT(tested, 0) << p.fields;
    }
    KivBL3Data d(full);
    d.secondaryElementGroup.notchInf.code = -1;
    EXPECT_FALSE(d.secondaryElementGroup.notchInf.exportGRUG_SUP_or_INF());
}
