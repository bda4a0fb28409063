#include "RecordFields.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace norvik_test;

namespace {

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

KivBL5Data randomRecord(unsigned seed)
{
    std::mt19937 rng(seed);
    KivBL5Data data;
    randomize(data, rng);
    data.projectName = KivString("gusset-3");
    return data;
}

} // namespace

TEST(BL5Data, NewRecordIsUndefinedWithEmptyTexts)
{
    const KivBL5Data data;
    EXPECT_EQ(KivNorvikData::eBL5, data.dataType);
    EXPECT_TRUE(data.projectName.isEmpty());
    DefaultChecker check;
    visitFields(data, check);
    // lia, qSoud, loading texts, four mats and four sections.
    EXPECT_EQ(2 + 2 + 4 + 4 * 2, check.texts);
}

TEST(BL5Data, CopyAndAssignmentCopyEveryFieldAndTheBase)
{
    const KivBL5Data source = randomRecord(51);

    const KivBL5Data copy(source);
    EXPECT_EQ(flatten(source), flatten(copy)) << describeDifference(flatten(source), flatten(copy));
    EXPECT_TRUE(copy.projectName == source.projectName);
    EXPECT_EQ(KivNorvikData::eBL5, copy.dataType);

    KivBL5Data assigned = randomRecord(52);
    assigned.dataType = KivNorvikData::eBL1;
    assigned = source;
    EXPECT_EQ(flatten(source), flatten(assigned))
        << describeDifference(flatten(source), flatten(assigned));
    EXPECT_TRUE(assigned.projectName == source.projectName);
    EXPECT_EQ(KivNorvikData::eBL5, assigned.dataType);
}

TEST(BL5Data, SetFromCopiesOnlyKindAndProjectName)
{
    const KivBL5Data source = randomRecord(53);
    KivBL5Data target = randomRecord(54);
    const auto groupsBefore = flatten(target);

    target.setFrom(&source);
    EXPECT_TRUE(target.projectName == KivString("gusset-3"));
    EXPECT_EQ(KivNorvikData::eBL5, target.dataType);
    EXPECT_EQ(groupsBefore, flatten(target)) << describeDifference(groupsBefore, flatten(target));

    KivBL4Data other;
    other.projectName = KivString("four");
    target.setFrom(&other);
    EXPECT_EQ(KivNorvikData::eBL4, target.dataType);
    EXPECT_TRUE(target.projectName == KivString("four"));
    EXPECT_EQ(groupsBefore, flatten(target));
}
