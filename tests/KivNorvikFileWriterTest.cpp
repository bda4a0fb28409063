#include "TestSupport.h"

#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <unistd.h>
#endif

using norvik_test::readBytes;
using norvik_test::tempDir;

namespace {

bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

} // namespace

TEST(KivNorvikFileWriter, NamesTheFileAfterPathAndKind)
{
    const std::string dir = tempDir();
    const char* extensions[] = {"bl1", "bl2", "bl3", "bl4", "bl5"};
    for (int kind = 0; kind < 5; ++kind) {
        KivNorvikFileWriter writer;
        const std::string base = dir + "/joint";
        ASSERT_EQ(1, writer.startWrite(KivString(base.c_str()),
                                       static_cast<KivNorvikFileWriter::eNorvikFormatFile>(kind)));
        EXPECT_EQ(1, writer.endWrite());
        EXPECT_TRUE(exists(base + "." + extensions[kind])) << extensions[kind];
    }

    // A kind outside the enumeration is reported and opens the name with a bare ".".
    norvik_test::AssertCounter reports;
    KivNorvikFileWriter writer;
    EXPECT_EQ(1, writer.startWrite(KivString((dir + "/odd").c_str()),
                                   static_cast<KivNorvikFileWriter::eNorvikFormatFile>(7)));
    EXPECT_EQ(1, reports.reports());
    EXPECT_EQ(std::wstring(L"false"), reports.last());
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_TRUE(exists(dir + "/odd."));
}

TEST(KivNorvikFileWriter, OpenAndCloseResults)
{
    const std::string dir = tempDir();
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.endWrite());
    EXPECT_EQ(0, writer.startWrite(KivString((dir + "/missing/joint").c_str()), KivNorvikFileWriter::eFormatBL1));
    EXPECT_EQ(0, writer.endWrite());

    // Writing while closed writes nothing and fails.
    KivBL4Data bracing;
    EXPECT_EQ(0, writer.write(bracing));

    // A second startWrite while open fails and leaves the open file untouched.
    const std::string first = dir + "/first";
    ASSERT_EQ(1, writer.startWrite(KivString(first.c_str()), KivNorvikFileWriter::eFormatBL4));
    EXPECT_EQ(0, writer.startWrite(KivString((dir + "/second").c_str()), KivNorvikFileWriter::eFormatBL4));
    EXPECT_FALSE(exists(dir + "/second.bl4"));
    EXPECT_EQ(1, writer.write(bracing));
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ(0, writer.endWrite());
    const std::string once = readBytes(first + ".bl4");
    EXPECT_EQ(0u, once.find("\"NV_ATT_04\",\"\"\n\nGEN\n"));

    // The same writer writes a second complete file.
    ASSERT_EQ(1, writer.startWrite(KivString(first.c_str()), KivNorvikFileWriter::eFormatBL4));
    EXPECT_EQ(1, writer.write(bracing));
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ(once, readBytes(first + ".bl4"));
}

TEST(KivNorvikFileWriter, ReportsDataThatCannotReachTheFile)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs /dev/full behind a symbolic link, which Windows lacks";
#else
    const std::string dir = tempDir();
    const std::string base = dir + "/full";
    ASSERT_EQ(0, symlink("/dev/full", (base + ".bl4").c_str()));
    KivBL4Data bracing;
    KivNorvikFileWriter writer;
    ASSERT_EQ(1, writer.startWrite(KivString(base.c_str()), KivNorvikFileWriter::eFormatBL4));
    writer.write(bracing);
    EXPECT_EQ(0, writer.endWrite());
    EXPECT_EQ(0, writer.endWrite()); // closed either way
#endif
}

TEST(KivNorvikFileWriter, VersionsAndTextsOfTheGeneralGroup)
{
    const std::string dir = tempDir();
    KivBL1Data data;
    data.setProjectName(KivString("Hall\r\n\"GEN\""));
    data.generalGroup.repPage = KivString(L"page\nFIN\nPOT");
    KivNorvikFileWriter writer;
    writer.setMajorVersion(12);
    writer.setMinorVersion(0);
    writer.setNorvikExporter(KivNorvikFileWriter::eOlmarin);
    const std::string base = dir + "/v";
    ASSERT_EQ(1, writer.startWrite(KivString(base.c_str()), KivNorvikFileWriter::eFormatBL1));
    EXPECT_EQ(1, writer.write(data));
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ("\"NV_ATT\",\"Hall  \"GEN\"\"\n\nGEN\n  REP_PAGE page FIN POT\n  ORIGINE Olmarin 12.0\nFIN\n",
              readBytes(base + ".bl1"));
}
