// Editing a record's JSON by values typed as the file writes them.
#include "FieldEdit.h"
#include "FileWords.h"
#include "JsonRecord.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace norvik;

namespace {

Json freshDoc(Kind kind) { return toJson(*freshRecord(kind)); }

// The document's record as the writer writes it.
std::string written(const Json& doc)
{
    std::string error;
    const auto record = fromJson(doc, error);
    EXPECT_TRUE(record) << error;
    std::string bytes;
    if (record) {
        EXPECT_EQ("", recordBytes(*record, bytes));
    }
    return bytes;
}

} // namespace

TEST(FieldEdit, TypesComeFromTheKindsSchema)
{
    const Kind bl1 = KivNorvikData::eBL1;
    EXPECT_EQ(FieldType::Real, fieldType(bl1, "generalGroup.acier"));
    EXPECT_EQ(FieldType::Real, fieldType(bl1, "generalGroup.xy[2]"));
    EXPECT_EQ(FieldType::None, fieldType(bl1, "generalGroup.xy[3]"));
    EXPECT_EQ(FieldType::FixedArray, fieldType(bl1, "generalGroup.xy"));
    EXPECT_EQ(FieldType::Elements, fieldType(bl1, "generalGroup.loadings"));
    EXPECT_EQ(FieldType::Group, fieldType(bl1, "generalGroup.loadings[7]"));
    EXPECT_EQ(FieldType::Integer, fieldType(bl1, "rightTraverse.efforts[0].number"));
    EXPECT_EQ(FieldType::Text, fieldType(bl1, "projectName"));
    EXPECT_EQ(FieldType::Code, fieldType(bl1, "potGroup.section.type"));
    EXPECT_EQ(FieldType::None, fieldType(bl1, "kind"));
    EXPECT_EQ(FieldType::None, fieldType(bl1, "generalGroup.nothing"));
    EXPECT_EQ(FieldType::None, fieldType(bl1, ""));
    EXPECT_EQ(FieldType::Group, fieldType(KivNorvikData::eBL4, "diagonalElementGroups[1]"));
    EXPECT_EQ(FieldType::None, fieldType(KivNorvikData::eBL4, "diagonalElementGroups[2]"));

    const std::vector<std::string> words = codeChoices(bl1, "potGroup.section.type");
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(fileText(bl1, "potGroup.section.type", Json(1)), words[1]);
    EXPECT_TRUE(codeChoices(bl1, "generalGroup.acier").empty());
}

TEST(FieldEdit, ValuesTypedAsTheFileWritesThemReachTheWriterUnchanged)
{
    Json doc = freshDoc(KivNorvikData::eBL1);
    EXPECT_EQ("", setFieldText(doc, "generalGroup.acier", "-0.000"));
    EXPECT_TRUE(std::signbit(doc["generalGroup"]["acier"].get<double>()));
    EXPECT_EQ("-0.000", fileText(KivNorvikData::eBL1, "generalGroup.acier", doc["generalGroup"]["acier"]));
    EXPECT_NE(std::string::npos, written(doc).find("  ACIER -0.000"));

    EXPECT_EQ("", setFieldText(doc, "generalGroup.xy[1]", " 1e3 "));
    EXPECT_EQ(1000.0, doc["generalGroup"]["xy"][1].get<double>());
    EXPECT_EQ("", setFieldText(doc, "generalGroup.noeudNum", "+42"));
    EXPECT_EQ(Json(42), doc["generalGroup"]["noeudNum"]);
    EXPECT_EQ("", setFieldText(doc, "generalGroup.repPage", "B3 N12"));
    EXPECT_EQ(Json("B3 N12"), doc["generalGroup"]["repPage"]);
    const std::string word = codeChoices(KivNorvikData::eBL1, "potGroup.section.type").at(1);
    EXPECT_EQ("", setFieldText(doc, "potGroup.section.type", word));
    EXPECT_EQ(Json(1), doc["potGroup"]["section"]["type"]);

    // Empty text and the library's own "unset" numbers unset a field; the project name stays a text.
    EXPECT_EQ("", setFieldText(doc, "generalGroup.xy[1]", ""));
    EXPECT_TRUE(doc["generalGroup"]["xy"][1].is_null());
    EXPECT_EQ("", setFieldText(doc, "generalGroup.noeudNum", "-123456"));
    EXPECT_TRUE(doc["generalGroup"]["noeudNum"].is_null());
    EXPECT_EQ("", setFieldText(doc, "projectName", ""));
    EXPECT_EQ(Json(""), doc["projectName"]);
    written(doc);
}

TEST(FieldEdit, RefusedValuesLeaveTheDocumentAsItWas)
{
    Json doc = freshDoc(KivNorvikData::eBL1);
    ASSERT_EQ("", setFieldText(doc, "generalGroup.acier", "355"));
    const Json before = doc;
    EXPECT_EQ("generalGroup.acier: \"abc\" is not a number", setFieldText(doc, "generalGroup.acier", "abc"));
    EXPECT_NE("", setFieldText(doc, "generalGroup.acier", "355,5"));
    EXPECT_NE("", setFieldText(doc, "generalGroup.acier", "inf"));
    EXPECT_EQ("generalGroup.noeudNum: \"1.5\" is not an integer",
              setFieldText(doc, "generalGroup.noeudNum", "1.5"));
    EXPECT_EQ("generalGroup.noeudNum: \"2147483648\" is outside the 32-bit integer range",
              setFieldText(doc, "generalGroup.noeudNum", "2147483648"));
    EXPECT_NE("", setFieldText(doc, "generalGroup.noeudNum", "+-3"));
    EXPECT_NE("", setFieldText(doc, "potGroup.section.type", "no such word"));
    EXPECT_NE("", setFieldText(doc, "generalGroup.loadings[0].number", "1")); // no element 0
    EXPECT_NE("", setFieldText(doc, "generalGroup.xy", "1"));
    EXPECT_NE("", setFieldText(doc, "kind", "BL2"));
    EXPECT_EQ(before, doc);
}

TEST(FieldEdit, ListsGrowWithFreshElementsAndShrinkFromTheEnd)
{
    Json doc = freshDoc(KivNorvikData::eBL1);
    ASSERT_EQ("", resizeElements(doc, "rightTraverse.efforts", 2));
    ASSERT_EQ(2u, doc["rightTraverse"]["efforts"].size());
    for (const Json& element : doc["rightTraverse"]["efforts"]) {
        for (const auto& member : element.items()) {
            EXPECT_TRUE(member.value().is_null()) << member.key();
        }
    }
    ASSERT_EQ("", setFieldText(doc, "rightTraverse.efforts[1].value1", "12.500"));
    ASSERT_EQ("", resizeElements(doc, "rightTraverse.efforts", 3));
    EXPECT_EQ(12.5, doc["rightTraverse"]["efforts"][1]["value1"].get<double>());
    ASSERT_EQ("", resizeElements(doc, "rightTraverse.efforts", 1));
    EXPECT_EQ(1u, doc["rightTraverse"]["efforts"].size());
    written(doc);

    EXPECT_NE("", resizeElements(doc, "generalGroup.xy", 4));
    EXPECT_NE("", resizeElements(doc, "generalGroup.acier", 1));
    Json bl2 = freshDoc(KivNorvikData::eBL2);
    ASSERT_EQ("", resizeElements(bl2, "generalGroup.loadings", 1));
    written(bl2);
}
