#include "RecordFields.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace norvik_test;

namespace {

// Checks every field of a new record: numbers undefined, the groups' own
// texts empty, the loading and section texts at the undefined string.
struct DefaultChecker
{
    void operator()(const std::string& path, const int& value)
    {
        EXPECT_EQ(KivNorvikData::kUndefinedInteger, value) << path;
    }
    void operator()(const std::string& path, const double& value)
    {
        EXPECT_EQ(KivNorvikData::kUndefinedReal, value) << path;
    }
    void operator()(const std::string& path, const KivString& value)
    {
        const bool shared = path.find(".loading.") != std::string::npos
            || path.find(".profile.") != std::string::npos;
        if (shared)
            EXPECT_TRUE(value == KivNorvikData::undefinedString()) << path;
        else
            EXPECT_TRUE(value.isEmpty()) << path;
        ++texts;
    }
    int texts = 0;
};

KivBL4Data randomRecord(unsigned seed)
{
    std::mt19937 rng(seed);
    KivBL4Data data;
    randomize(data, rng);
    data.projectName = KivString("bracing-7");
    return data;
}

} // namespace

TEST(BL4Data, NewRecordIsUndefinedWithEmptyTexts)
{
    const KivBL4Data data;
    EXPECT_EQ(KivNorvikData::eBL4, data.dataType);
    EXPECT_TRUE(data.projectName.isEmpty());
    DefaultChecker check;
    visitFields(data, check);
    // goussetText, lia, loading texts, mat, three sections, and per diagonal mat + extraData.
    EXPECT_EQ(2 + 2 + 1 + 3 * 2 + 2 * 2, check.texts);
}

TEST(BL4Data, CopyAndAssignmentCopyEveryFieldAndTheBase)
{
    const KivBL4Data source = randomRecord(41);
    ASSERT_FALSE(source.diagonalElementGroups[1].extraData.isEmpty());

    const KivBL4Data copy(source);
    EXPECT_EQ(flatten(source), flatten(copy)) << describeDifference(flatten(source), flatten(copy));
    EXPECT_TRUE(copy.projectName == source.projectName);
    EXPECT_EQ(KivNorvikData::eBL4, copy.dataType);

    KivBL4Data assigned = randomRecord(42);
    assigned.dataType = KivNorvikData::eBL2;
    assigned = source;
    EXPECT_EQ(flatten(source), flatten(assigned))
        << describeDifference(flatten(source), flatten(assigned));
    EXPECT_TRUE(assigned.projectName == source.projectName);
    EXPECT_EQ(KivNorvikData::eBL4, assigned.dataType);

    // The copy is independent of its source.
    KivBL4Data changed(source);
    changed.diagonalElementGroups[0].numElt[1] = 77;
    changed.diagonalElementGroups[1].extraData = KivString("host");
    EXPECT_EQ(source.diagonalElementGroups[0].numElt[1], copy.diagonalElementGroups[0].numElt[1]);
    EXPECT_NE(flatten(source), flatten(changed));
}

TEST(BL4Data, SetFromCopiesOnlyKindAndProjectName)
{
    const KivBL4Data source = randomRecord(43);
    KivBL4Data target = randomRecord(44);
    target.projectName = KivString("old");
    const auto groupsBefore = flatten(target);

    target.setFrom(&source);
    EXPECT_TRUE(target.projectName == source.projectName);
    EXPECT_EQ(groupsBefore, flatten(target)) << describeDifference(groupsBefore, flatten(target));

    // From a record of another kind: the kind and the name come along, nothing else.
    KivBL5Data other;
    other.projectName = KivString("five");
    target.setFrom(&other);
    EXPECT_EQ(KivNorvikData::eBL5, target.dataType);
    EXPECT_TRUE(target.projectName == KivString("five"));
    EXPECT_EQ(groupsBefore, flatten(target));

    // A null source changes nothing.
    target.setFrom(nullptr);
    EXPECT_TRUE(target.projectName == KivString("five"));
}
