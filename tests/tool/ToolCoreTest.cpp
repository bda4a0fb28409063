// The tool's conversions, below the command line.
#include "Check.h"
#include "Diagnostics.h"
#include "Export.h"
#include "Usage.h"
#include "FileWords.h"
#include "FindingKinds.h"
#include "Compare.h"
#include "JsonRecord.h"
#include "Sample.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

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
    EXPECT_EQ(writerBase("out/Y.BL1", KivNorvikData::eBL1), "out/Y");
    // Another kind's extension would end the name in ".bl2.bl1": refused.
    EXPECT_NE(outputNameError("out/y.bl2", KivNorvikData::eBL1), "");
    EXPECT_NE(outputNameError("y.BL5", KivNorvikData::eBL1), "");
    for (const char* fine : {"out/y.bl1", "y", "y.txt", "-", ".bl2", "y.bl2x"})
        EXPECT_EQ(outputNameError(fine, KivNorvikData::eBL1), "") << fine;
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

TEST(FileWords, CodesHaveTheWordsTheFileWrites)
{
    const struct
    {
        Kind kind;
        const char* path;
        std::vector<std::string> words;
    } cases[] = {
        {KivNorvikData::eBL3,
         "secondaryElementGroup.connecType",
         {"RAID", "PLAT_ABOUT", "PLAT_PLIE", "L_GD_AILE", "L_PT_AILE"}},
        {KivNorvikData::eBL3, "secondaryElementGroup.connecPos", {"DOUBLE", "GAUCHE", "DROITE"}},
        {KivNorvikData::eBL3, "secondaryElementGroup.boltSec.kind", {"BOU_PRIM", "BOU_SEC"}},
        {KivNorvikData::eBL3, "mainElementGroup.section.type", {"SECTION PRF", "SECTION DIM"}},
        {KivNorvikData::eBL4,
         "diagonalElementGroups[1].bolt.kind",
         {"BOU1 DIST", "BOU2 DIST", "BOU DIST", "BOUDIST"}},
        {KivNorvikData::eBL1, "leftTraverse.side", {"TRA G", "TRA D"}},
        {KivNorvikData::eBL1, "potGroup.raiAmeType", {"RAI AME OBLIQ", "RAI AME PLAQ"}},
        {KivNorvikData::eBL2, "columnGroup.section.type", {"PRO", "I"}},
        {KivNorvikData::eBL1, "generalGroup.acier", {}},
        {KivNorvikData::eBL3, "generalGroup.typeAtt", {}}, // not a code of the field lists
    };
    for (const auto& c : cases)
        EXPECT_EQ(codeWords(c.kind, c.path), c.words) << c.path;
    EXPECT_EQ(fileText(KivNorvikData::eBL3, "secondaryElementGroup.connecType", Json(1)), "PLAT_ABOUT");
    EXPECT_EQ(fileText(KivNorvikData::eBL3, "secondaryElementGroup.connecType", Json(9)), "9");
}

// Each code that a sample sets is written with its word, as the file's line shows it.
TEST(FileWords, SamplesWriteTheWordsOfTheirCodes)
{
    int checked = 0;
    for (Kind kind : allKinds()) {
        const auto record = sampleRecord(kind);
        std::string bytes;
        ASSERT_EQ(recordBytes(*record, bytes), "");
        std::string text; // the file with single blanks, so "SECTION  PRF" reads "SECTION PRF"
        for (char c : bytes)
            if (c != ' ' || (!text.empty() && text.back() != ' '))
                text += c == '\r' ? '\n' : c;
        const Json doc = toJson(*record);
        for (const FieldPath& field : fieldPaths(*record)) {
            const std::vector<std::string>& words = codeWords(kind, field.path);
            const Json& value = doc.at(pointerOf(field.path));
            if (words.empty() || !value.is_number_integer())
                continue;
            ++checked;
            const std::string word = fileText(kind, field.path, value);
            bool whole = false; // the word between blanks or line ends
            for (size_t at = text.find(word); at != std::string::npos && !whole; at = text.find(word, at + 1))
                whole = at > 0 && std::isspace(static_cast<unsigned char>(text[at - 1])) &&
                        std::isspace(static_cast<unsigned char>(text[at + word.size()]));
            EXPECT_TRUE(whole) << kindName(kind) << " " << field.path << ": " << word;
        }
    }
    EXPECT_GT(checked, 10);
}

// One of two equal keys would be dropped by the parse: refused, at any depth, naming the path.
TEST(ToolJson, KeysGivenTwiceAreRefusedWithTheirPath)
{
    const struct
    {
        const char* json;
        const char* error; // empty: accepted
    } cases[] = {
        {R"({"kind":"BL1","kind":"BL1"})", "kind: "},
        {R"({"kind":"BL1","generalGroup":{"acier":1,"xy":[1,2,3],"acier":2}})", "generalGroup.acier: "},
        {R"({"kind":"BL1","generalGroup":{"loadings":[{"number":1},{"number":2,"text1":"a","number":3}]}})",
         "generalGroup.loadings[1].number: "},
        {R"({"kind":"BL1","rightTraverse":{"dy":1},"leftTraverse":{"dy":1}})", ""},
        {R"({"kind":"BL1","generalGroup":{"loadings":[{"number":1},{"number":2}]}})", ""},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto record = fromJsonText(c.json, error);
        if (*c.error == '\0')
            EXPECT_TRUE(record) << c.json << ": " << error;
        else
            EXPECT_TRUE(!record && error.rfind(c.error, 0) == 0) << c.json << ": " << error;
    }
}

// The undefined values read as unset; they are listed so that --strict can refuse them.
TEST(ToolJson, UndefinedValuesAreListed)
{
    std::string error;
    std::vector<CheckItem> unset;
    const auto record = fromJsonText(R"({"kind":"BL1","generalGroup":{"acier":-123456.78,"noeudNum":-123456,
        "atmos":-123456.0,"lia":"stringDummyNorvikExport","xy":[-123456,0,1]}})",
                                     error, &unset);
    ASSERT_TRUE(record) << error;
    std::vector<std::string> paths;
    for (const CheckItem& item : unset) {
        paths.push_back(item.path);
        EXPECT_EQ(item.code, "undefined-value");
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"generalGroup.acier", "generalGroup.noeudNum",
                                               "generalGroup.lia", "generalGroup.atmos"})); // in field order
    EXPECT_FALSE(KivNorvikData::isDefined(static_cast<KivBL1Data&>(*record).generalGroup.acier));
    // BL4 texts are written as they stand: the undefined text is a text like any other.
    ASSERT_TRUE(
        fromJsonText(R"({"kind":"BL4","generalGroup":{"lia":"stringDummyNorvikExport"}})", error, &unset));
    EXPECT_TRUE(unset.empty());
}

// A code takes every value a reader gives: a BL4 "BOUDIST" line is bolt kind 3.
TEST(ToolJson, CodesTakeEveryValueAReaderGives)
{
    std::string error;
    EXPECT_TRUE(fromJsonText(R"({"kind":"BL4","mainElementGroup":{"bolt1":{"kind":3}}})", error)) << error;
    EXPECT_FALSE(fromJsonText(R"({"kind":"BL4","mainElementGroup":{"bolt1":{"kind":4}}})", error));
    EXPECT_EQ(error, "mainElementGroup.bolt1.kind: 4 is not a code (0 to 3)");
    EXPECT_EQ(jsonSchema(KivNorvikData::eBL4)["properties"]["mainElementGroup"]["properties"]["bolt1"]
                                             ["properties"]["kind"]["enum"],
              Json::parse("[0, 1, 2, 3, null]"));
}

// Every code that the findings lists under tests/ hold is a kind of the table, once.
TEST(FindingKinds, TheTableHasEveryCodeOnce)
{
    std::set<std::string> codes;
    for (const FindingKind& kind : findingKinds()) {
        EXPECT_TRUE(codes.insert(kind.code).second) << kind.code;
        EXPECT_FALSE(kind.description.empty()) << kind.code;
    }
    int listed = 0;
    for (const char* folder : {"/../data", "/../golden"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(NORVIK_REGRESSION_DIR) + folder)) {
            if (entry.path().extension() != ".expected")
                continue;
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line);) {
                std::istringstream words(line);
                std::string number, severity, code;
                if (line.empty() || line[0] == '#' || !(words >> number >> severity >> code))
                    continue;
                ++listed;
                const FindingKind* kind = findingKind(code);
                EXPECT_TRUE(kind != nullptr) << entry.path().filename() << ": " << code;
            }
        }
    }
    EXPECT_GT(listed, 30);
    EXPECT_EQ(findingKind("no-such-code"), nullptr);
}

TEST(ToolUsage, DidYouMeanFindsTyposSwapsAndPrefixes)
{
    EXPECT_EQ(editDistance("chekc", "check"), 1u); // a swap of neighbours is one edit
    EXPECT_EQ(editDistance("ACEIR", "acier"), 1u);
    EXPECT_EQ(editDistance("NOUED_NUM", "NOEUD_NUM"), 1u);
    const std::vector<std::string> subcommands = {"check", "show", "diff", "to-json", "from-json", "schema"};
    const struct
    {
        const char* word;
        std::vector<std::string> meant;
    } cases[] = {
        {"chekc", {"check"}}, {"shwo", {"show"}}, {"tojson", {"to-json"}},
        {"sch", {"schema"}},  {"frobnicate", {}}, {"dif", {"diff"}},
        {"CHECK", {"check"}}, {"x", {}},          {"from_json", {"from-json"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(suggestions(c.word, subcommands), c.meant) << c.word;
    const std::vector<std::string> options = {"--recursive", "-r", "--json", "--jobs", "-j", "--help", "-h"};
    EXPECT_EQ(didYouMean("--recursiv", options), " (did you mean --recursive?)");
    EXPECT_EQ(didYouMean("--jsno", options), " (did you mean --json?)");
    EXPECT_EQ(didYouMean("-R", options), " (did you mean -r?)");
    EXPECT_EQ(didYouMean("-x", options), "");
    EXPECT_EQ(didYouMean("--jbs", options), " (did you mean --jobs?)");
}

TEST(ToolDiagnostics, TheSourceLineWithACaretUnderTheToken)
{
    Finding f;
    f.line = 4;
    f.column = 3;
    f.error = true;
    f.code = "unknown-keyword";
    f.message = "Unknown keyword \"ACEIR\"";
    const std::string line = "  ACEIR 355.000";
    EXPECT_EQ(diagnosticText("x.bl1", f, &line, false),
              "x.bl1:4:3: error: Unknown keyword \"ACEIR\" [unknown-keyword]\n"
              "    4 |   ACEIR 355.000\n"
              "      |   ^~~~~\n");
    // Colour as clang's; no column: no caret, and "FILE:LINE:".
    EXPECT_NE(diagnosticText("x.bl1", f, &line, true).find("\033[1;31merror:"), std::string::npos);
    f.column = 0;
    f.error = false;
    EXPECT_EQ(diagnosticText("x.bl1", f, &line, false),
              "x.bl1:4: warning: Unknown keyword \"ACEIR\" [unknown-keyword]\n    4 |   ACEIR 355.000\n");
    // A tab shown as an escape keeps the caret under its token; Windows-1252 bytes show as UTF-8.
    f.column = 9;
    const std::string tabbed = "  ACIER\t\xE9t\xE9 1";
    const std::string tab = diagnosticText("x.bl1", f, &tabbed, false);
    EXPECT_EQ(tab.substr(tab.find('\n') + 1),
              "    4 |   ACIER\\t\xC3\xA9t\xC3\xA9 1\n      |          ^~~\n");
    // A caret past the end of the line, and a long line cut around the caret.
    f.column = 16;
    EXPECT_NE(diagnosticText("x.bl1", f, &line, false).find("|                ^\n"), std::string::npos);
    const std::string longLine = std::string(300, 'a') + " BAD " + std::string(300, 'b');
    f.column = 302;
    const std::string shown = diagnosticText("x.bl1", f, &longLine, false);
    EXPECT_NE(shown.find("| ...aaa"), std::string::npos);
    EXPECT_NE(shown.find("bbb...\n"), std::string::npos);
    EXPECT_EQ(shown.find(std::string(200, 'a')), std::string::npos);
    EXPECT_NE(shown.find("\n      | " + std::string(56, ' ') + "^~~\n"), std::string::npos) << shown;
}

TEST(ToolDiagnostics, LinesAreCountedAsTheReadersCountThem)
{
    const auto lines = linesOfBytes("a\r\n\nc\rd\ne", {1, 2, 3, 4, 5});
    EXPECT_EQ(lines, (std::map<int, std::string>{{1, "a"}, {2, ""}, {3, "c\rd"}, {4, "e"}}));
}

TEST(ToolDiagnostics, MachineFormatsEscapeWhatTheyMust)
{
    Finding f;
    f.line = 2;
    f.column = 5;
    f.error = false;
    f.code = "no-value";
    f.message = "100% sure\nnot";
    EXPECT_EQ(githubAnnotation("a,b:c.bl1", f),
              "::warning file=a%2Cb%3Ac.bl1,line=2,col=5,title=norvik no-value::100%25 sure%0Anot");
    EXPECT_EQ(pathUri("dir/a b#.bl1"), "dir/a%20b%23.bl1");
    EXPECT_EQ(pathUri("/tmp/x.bl1"), "file:///tmp/x.bl1");
    EXPECT_EQ(pathUri("C:\\w\\x.bl1"), "file:///C:/w/x.bl1");
    EXPECT_EQ(pathUri("a:b.bl1"), "a%3Ab.bl1");
    // A code that the kinds' table lacks still gets its rule.
    CheckedFile file{"x.bl1", KivNorvikData::eBL1, {}, {f}, {}, 0, 1};
    file.findings[0].code = "brand-new";
    const Json log = sarifLog({}, {file}, "9.9");
    const Json& run = log["runs"][0];
    const size_t index = run["results"][0]["ruleIndex"];
    EXPECT_EQ(run["tool"]["driver"]["rules"][index]["id"], "brand-new");
    EXPECT_EQ(run["results"][0]["locations"][0]["physicalLocation"]["region"],
              Json::parse(R"({"startLine": 2, "startColumn": 5})"));
}

// show and diff in the file's words, with the lines and the findings' paths
// that the library fills (here by hand).
TEST(ToolShow, FieldsWithTheirKeywordLineAndFindings)
{
    ReadResult read;
    auto record = std::make_unique<KivBL3Data>();
    record->secondaryElementGroup.connecType = 1;
    record->generalGroup.lia = "ARTICULE";
    read.record = std::move(record);
    read.fieldLines = {{"secondaryElementGroup.connecType", 12}, {"generalGroup.lia", 4}};
    Finding lost;
    lost.line = 5;
    lost.error = true;
    lost.code = "missing-values";
    lost.paths = {"generalGroup.optCalcul"};
    read.findings = {lost};
    const std::string text = showText(read, false);
    EXPECT_NE(text.find("secondaryElementGroup.connecType  CONNEC_TYPE  line 12  1 (PLAT_ABOUT)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("generalGroup.lia                  LIA          line 4   \"ARTICULE\"\n"),
              std::string::npos)
        << text;
    // The unset values that an error finding concerns are shown, marked.
    EXPECT_NE(
        text.find("generalGroup.optCalcul[1]         OPT_CALCUL            unset  [error: missing-values, "
                  "line 5]\n"),
        std::string::npos)
        << text;
}

TEST(ToolDiff, AGroupThatOneFileHasIsOneDifference)
{
    ReadResult before, after;
    auto a = std::make_unique<KivBL1Data>(), b = std::make_unique<KivBL1Data>();
    a->generalGroup.acier = 355.0;
    b->generalGroup.acier = 275.0;
    b->leftTraverse.side = 0;
    b->leftTraverse.ang = 3.0;
    b->leftTraverse.dy = 150.0;
    before.record = std::move(a);
    after.record = std::move(b);
    before.fieldLines = {{"generalGroup.acier", 4}};
    after.fieldLines = {{"generalGroup.acier", 5}, {"leftTraverse.ang", 41}, {"leftTraverse.dy", 42}};
    const FileComparison c = compareFiles(before, after);
    EXPECT_EQ(diffText(c), "generalGroup.acier  ACIER  line 4: 355.000 -> line 5: 275.000\n"
                           "leftTraverse  TRA G  (none) -> line 41: group of 3 values\n");
    const Json j = diffJson(c);
    EXPECT_EQ(j["differences"][1]["group"], "TRA G");
    EXPECT_FALSE(j["differences"][1].contains("old"));
    // Without the lines, a group is there when it differs from a fresh record.
    before.fieldLines.clear();
    after.fieldLines.clear();
    EXPECT_EQ(diffText(compareFiles(before, after)), "generalGroup.acier  ACIER  355.000 -> 275.000\n"
                                                     "leftTraverse  TRA G  (none) -> group of 3 values\n");
}

// What is not well-formed UTF-8 is shown as the Windows-1252 the readers read.
TEST(ToolDiagnostics, SourceLinesReachTheTerminalAsUtf8)
{
    Finding f;
    f.line = 1;
    const struct
    {
        std::string line, shown;
    } cases[] = {
        {"Z\xC3\xBCrich", "Z\xC3\xBCrich"},               // UTF-8 as it is
        {"Z\xFCrich", "Z\xC3\xBCrich"},                   // Windows-1252
        {"\xC1\x80", "\xC3\x81\xE2\x82\xAC"},             // an overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\\u0090\xE2\x82\xAC\xE2\x82\xAC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(diagnosticText("x", f, &c.line, false), "x:1: warning:  []\n    1 | " + c.shown + "\n")
            << c.line;
}
