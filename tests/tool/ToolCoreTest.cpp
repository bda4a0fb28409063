// The tool's conversions, below the command line.
#include "Check.h"
#include "FileWords.h"
#include "Compare.h"
#include "JsonRecord.h"
#include "Sample.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace norvik;

TEST(ToolText, Utf8AndWideTextConvertBothWays)
{
    const struct
    {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"", L""},
        {"S355", L"S355"},
        {"Z\xC3\xBCrich \xE2\x80\x93 \xC3\x98", L"Z\u00FCrich \u2013 \u00D8"},
        {"\xF0\x9F\x94\xA9", std::wstring(sizeof(wchar_t) == 2 ? L"\xD83D\xDD29" : L"\U0001F529")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wideFromUtf8(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(toUtf8(c.wide), c.utf8) << c.utf8;
    }
    // Broken sequences become U+FFFD, one per byte that starts none.
    EXPECT_EQ(wideFromUtf8("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(wideFromUtf8("\xFF"
                           "b"),
              L"\uFFFD"
              L"b");
    EXPECT_EQ(wideFromUtf8("\xE2\x28\xA1"), L"\uFFFD(\uFFFD");
}

TEST(ToolKinds, KindsFromNamesPathsAndOutputNames)
{
    EXPECT_EQ(kindFromPath("a/b/Joint.BL3"), KivNorvikData::eBL3);
    EXPECT_EQ(kindFromPath("x.bl5"), KivNorvikData::eBL5);
    EXPECT_FALSE(kindFromPath("x.bl6"));
    EXPECT_FALSE(kindFromPath("bl1"));
    EXPECT_EQ(kindFromName("bl2"), KivNorvikData::eBL2);
    EXPECT_EQ(writerBase("out/y.bl1", KivNorvikData::eBL1), "out/y");
    EXPECT_EQ(writerBase("out/y.bl1", KivNorvikData::eBL2), "out/y.bl1");
    EXPECT_EQ(writerBase(".bl1", KivNorvikData::eBL1), ".bl1");
}

// The tag line decides where it names one kind; the headers and rows of the
// layout tables decide among the kinds it leaves, or without a tag line.
TEST(ToolKinds, ContentTellsTheKindOrTheKindsItFits)
{
    using K = std::vector<Kind>;
    const K bl1{KivNorvikData::eBL1}, bl2{KivNorvikData::eBL2},
        bl12{KivNorvikData::eBL1, KivNorvikData::eBL2};
    const struct
    {
        const char* bytes;
        K kinds;
    } cases[] = {
        {"\"NV_ATT_04\",\"\"\n", {KivNorvikData::eBL4}},
        {"\xEF\xBB\xBF \"NV_ATT_05\" , \"Hall\"\r\n", {KivNorvikData::eBL5}},
        {"\"NV_ATT\",\"2006.15c2:Hall\"\nGEN\nFIN\n", {KivNorvikData::eBL3}},
        {"\"NV_ATT\",\"Hall\"\nGEN\n  ORIGINE Olmarin 6.1\nFIN\n", bl12},
        {"\"NV_ATT\",\"Hall\"\nGEN\nFIN\nAPP\nFIN\n", bl2},
        {"\"NV_ATT\",\"Hall\"\nTRA D\n  ANG 3.000\nFIN\n", bl1},
        {"\"NV_ATT\",\"Hall\"\nSEC_1\nFIN\n", bl12}, // the tag rules out BL3
        {"PRIM\nFIN\nMONTANT\nFIN\n", {KivNorvikData::eBL5}},
        {"GEN\n  ACIER 355.000\nFIN\nTRA G\nFIN\n", bl1},
        {"hello\nworld\n", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(detectKind(c.bytes), c.kinds) << c.bytes;
}

// A finding stays on one line of a terminal whatever text the file held.
TEST(ToolCheck, ControlCharactersAreEscaped)
{
    const struct
    {
        const char* text;
        const char* shown;
    } cases[] = {
        {"Unknown group \"GEN\r  ACIER\"", "Unknown group \"GEN\\r  ACIER\""},
        {"a\nb\tc", "a\\nb\\tc"},
        {"\x1b[31mred\x7f", "\\x1b[31mred\\x7f"},
        {"Z\xC3\xBCrich \xC2\x85 \xC2\xA0", "Z\xC3\xBCrich \\u0085 \xC2\xA0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printable(c.text), c.shown) << c.text;
}

TEST(ToolJson, IntegersTakeTheir32BitRangeAndCodes)
{
    const struct
    {
        const char* value;
        bool accepted;
        int stored;
    } cases[] = {
        {"-2147483648", true, INT32_MIN},
        {"2147483647", true, INT32_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"18446744073709551615", false, 0},
        {"3.0", true, 3},
        {"3.5", false, 0},
        {"1e300", false, 0},
        {"null", true, KivNorvikData::kUndefinedInteger},
        {"\"7\"", false, 0},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto record =
            fromJsonText(std::string(R"({"kind":"BL1","generalGroup":{"noeudNum":)") + c.value + "}}", error);
        ASSERT_EQ(record != nullptr, c.accepted) << c.value << ": " << error;
        if (record)
            EXPECT_EQ(static_cast<KivBL1Data&>(*record).generalGroup.noeudNum, c.stored) << c.value;
        else
            EXPECT_EQ(error.rfind("generalGroup.noeudNum: ", 0), 0u) << error;
    }
}

TEST(ToolJson, UnsetValuesAreNullAndBracingTextsNullMeansEmpty)
{
    std::string error;
    auto bl4 = fromJsonText(R"({"kind":"BL4","generalGroup":{"goussetText":null,"lia":"x"}})", error);
    ASSERT_TRUE(bl4) << error;
    const auto& g = static_cast<KivBL4Data&>(*bl4).generalGroup;
    EXPECT_TRUE(g.goussetText.isEmpty());
    EXPECT_TRUE(toJson(*bl4)["generalGroup"]["goussetText"].is_null());
    auto bl1 = fromJsonText(R"({"kind":"BL1","generalGroup":{"lia":null,"acier":null}})", error);
    ASSERT_TRUE(bl1) << error;
    EXPECT_EQ(static_cast<KivBL1Data&>(*bl1).generalGroup.lia, KivNorvikData::undefinedString());
    EXPECT_TRUE(toJson(*bl1)["generalGroup"]["acier"].is_null());
}

// Every field of every kind, array elements included, has its place in the schema.
TEST(ToolSchema, EveryFieldPathResolvesInTheSchema)
{
    for (Kind kind : allKinds()) {
        const Json schema = jsonSchema(kind);
        const auto record = sampleRecord(kind);
        for (const FieldPath& field : fieldPaths(*record)) {
            const Json* node = &schema;
            std::string name;
            auto step = [&](const std::string& part) {
                if (!part.empty() && std::isdigit(static_cast<unsigned char>(part[0]))) {
                    const size_t i = std::stoul(part);
                    node =
                        node->contains("prefixItems") ? &node->at("prefixItems").at(i) : &node->at("items");
                } else {
                    node = &node->at("properties").at(part);
                }
            };
            for (char c : field.path + ".") {
                if (c == '.' || c == '[' || c == ']') {
                    if (!name.empty())
                        step(name);
                    name.clear();
                } else {
                    name += c;
                }
            }
            EXPECT_TRUE(node->contains("type") || node->contains("enum"))
                << kindName(kind) << " " << field.path;
        }
    }
}

TEST(FileWords, FieldsHaveTheirLineAndTheFileText)
{
    using namespace norvik;
    const FieldLine* acier = fieldLine(KivNorvikData::eBL1, "generalGroup.acier");
    ASSERT_NE(acier, nullptr);
    EXPECT_EQ(acier->keyword, "ACIER");
    EXPECT_EQ(acier->group, "GEN");
    const FieldLine* effort = fieldLine(KivNorvikData::eBL1, "rightTraverse.efforts[3].value1");
    ASSERT_NE(effort, nullptr);
    EXPECT_EQ(effort->keyword, "EFF");
    EXPECT_EQ(fieldLine(KivNorvikData::eBL1, "generalGroup.xy[1]")->keyword, "XY");
    EXPECT_EQ(fieldLine(KivNorvikData::eBL4, "diagonalElementGroups[1].jeu")->keyword, "JEU");
    EXPECT_EQ(fileText(KivNorvikData::eBL1, "generalGroup.acier", Json(355.0)), "355.000");
    EXPECT_EQ(fileText(KivNorvikData::eBL1, "generalGroup.acier", Json(-0.0)), "-0.000");
    EXPECT_EQ(fileText(KivNorvikData::eBL1, "generalGroup.atmos", Json(3)), "3");
    EXPECT_EQ(fileText(KivNorvikData::eBL1, "generalGroup.acier", Json()), "");
}
