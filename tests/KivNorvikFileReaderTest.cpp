// The shared reading machinery, run through the BL1 reader.
#include "RecordFields.h"
#include "TestSupport.h"

#include <chrono>

using namespace norvik_test;

static KivBL1Data read(const std::string& text, const std::string& dir)
{
    KivBL1Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>(text, d, dir));
    return d;
}

TEST(BL1SharedReader, TagLines)
{
    const std::pair<const char*, const char*> cases[] = {
        // The tag first: the rest of the line, trimmed, less its quotes.
        {"\"NV_ATT\",\"Hall 2, north\"\n\nGEN\nFIN\n", "Hall 2, north"},
        {"  \"NV_ATT\" ,  \" padded \"  \n", " padded "},
        {"\"Hall 3\",\"NV_ATT\"\n", "Hall 3"},    // a first field that is not the tag is the name
        {"\"NV_ATT\"\n", "Project"},              // no comma: no name
        {"  \"Hall NV_ATT\"  \n", "Hall NV_ATT"}, // no comma, no tag: the whole line is the name
        {"\"NV_ATT\",\"first\"\n\"NV_ATT\",\"second\"\n", "first"},
        {"GEN\n  REP_PAGE \"NV_ATT\",\"evil\"\nFIN\n", "Project"}, // inside a group it is data
    };
    const std::string dir = tempDir();
    for (const auto& [text, name] : cases)
        EXPECT_EQ(name, narrow(read(text, dir).projectName)) << text;

    // The parse itself: quotes and blanks at each place, the BL3 prefix, another kind's tag.
    struct Parse
    {
        const wchar_t* line;
        bool bl3;
        const char* tag;
        bool found;
        const wchar_t* name;
    };
    const Parse parses[] = {
        {L"\"\"NV_ATT\"\" , \"\"x\"\" ", false, "NV_ATT", true, L"\"x\""},
        {L"\t\"Hall 3\" ,NV_ATT", false, "NV_ATT", true, L"Hall 3\" "},
        {L"\"\"Hall\"\"", false, "NV_ATT", true, L"Hall"},
        {L" NV_ATT ,\"", false, "NV_ATT", true, L""},
        {L"NV_ATT,\"2006.15c2:H\"", true, "NV_ATT", true, L"H"},
        {L"\"2006.15c2:H\",NV_ATT", true, "NV_ATT", true, L"H"},
        {L"NV_ATT,2006.15c2:H", false, "NV_ATT", true, L"2006.15c2:H"},
        {L"NV_ATT_04,\"Brace\"", false, "NV_ATT_04", true, L"Brace"},
        {L"NV_ATT,\"Brace\"", false, "NV_ATT_04", true, L"NV_ATT"},
        {L"NV_ATT_04", false, "NV_ATT_04", false, L"unchanged"},
        {L"", false, "NV_ATT", true, L""},
        {L"\u20ac \"a,b\"", false, "NV_ATT", true, L"\u20ac \"a"},
    };
    for (const Parse& parse : parses) {
        KivString name(L"unchanged");
        EXPECT_EQ(parse.found, KivNorvikFileReader::projectNameFromTagLine(KivString(parse.line), parse.bl3,
                                                                           name, parse.tag))
            << narrow(KivString(parse.line));
        EXPECT_EQ(std::wstring(parse.name), name.getStringW()) << narrow(KivString(parse.line));
    }
}

// "\r\n" ends a line like "\n", and a line far beyond any buffer is read whole, reading going on after it.
TEST(BL1SharedReader, WindowsLineEndsAndLongLines)
{
    const std::string page(5000, 'p');
    const std::string unix = "ACR\n  PRO " + page + " x\nFIN\n" +
                             readBytes(std::string(NORVIK_GOLDEN_DIR) + "/bl1_every_field_obliq.bl1");
    std::string windows;
    for (char c : unix)
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string dir = tempDir();
    const KivBL1Data b = read(windows, dir);
    EXPECT_EQ(flatten(read(unix, dir)), flatten(b));
    EXPECT_EQ(page, narrow(b.acr.pro1));
    EXPECT_EQ(1, b.leftTraverse.efforts.getLength());
}

// A zero byte ends its line's text early, wherever the file has one; the lines after it read whole.
TEST(BL1SharedReader, ZeroByteEndsTheLineText)
{
    const std::string text("GEN\n  XY 1.5\0 2 3\n  NEIGE 4.5\nFIN\n", 34);
    KivNorvikBL1Reader reader(text.data(), text.size());
    KivBL1Data d;
    ASSERT_EQ(1, reader.readFile(d));
    EXPECT_EQ(1.5, d.generalGroup.xy[0]);
    EXPECT_EQ(KivBL1Data().generalGroup.xy[1], d.generalGroup.xy[1]);
    EXPECT_EQ(4.5, d.generalGroup.neige);
    ASSERT_EQ(4, reader.getLines().getLength());
    EXPECT_EQ("  XY 1.5", narrow(reader.getLines()[1]));
}

// A group ends at FIN or at the next header (BL1Reader.TokenRulesOfTheRows), so a file of headers without FIN
// reads in linear time.
TEST(BL1SharedReader, HeadersWithoutFinReadInLinearTime)
{
    const std::string dir = tempDir();
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "GEN\n";
    const auto start = std::chrono::steady_clock::now();
    read(text, dir);
    // Sanitized builds run several times slower: a quadratic read still takes far longer.
    const double limit = NORVIK_SANITIZED ? 20.0 : 5.0;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), limit);
}

// A file that cannot be opened, or a directory, which opens but cannot be read, gives 0 and leaves the record alone;
// an existing empty file gives the fresh record. The base reader's fillStructure is a contract violation.
TEST(BL1SharedReader, FailedReadsAndTheBaseReader)
{
    KivBL1Data mine;
    mine.generalGroup.acier = 7;
    const std::string dir = tempDir();
    EXPECT_EQ(0, KivNorvikBL1Reader(KivString((dir + "/missing.bl1").c_str())).readFile(mine));
    EXPECT_EQ(0, KivNorvikBL1Reader(KivString(dir.c_str())).readFile(mine));
    EXPECT_EQ(7, mine.generalGroup.acier);
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>("", mine, dir));
    EXPECT_EQ(flatten(KivBL1Data()), flatten(mine));

    AssertCounter asserts;
    EXPECT_EQ(1, readFromBytes<KivNorvikFileReader>("GEN\nFIN\n", mine, dir));
    EXPECT_EQ(1, asserts.reports());
    EXPECT_EQ(L"false", asserts.last());

    // A second readFile of one reader reads the file again, not an empty one.
    KivNorvikBL1Reader twice(KivString(NORVIK_GOLDEN_DIR "/bl1_example.bl1"));
    KivBL1Data first;
    KivBL1Data second;
    ASSERT_EQ(1, twice.readFile(first));
    ASSERT_EQ(1, twice.readFile(second));
    EXPECT_EQ(flatten(first), flatten(second));
    EXPECT_NE(flatten(KivBL1Data()), flatten(second));
}
