#include "TestSupport.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// Text mode ends each line with the platform's line end, and nothing else
// turns into one.
TEST(Platform, WrittenLinesEndInThePlatformsLineEnd)
{
    const std::string dir = norvik_test::tempDir();
    KivBL4Data bracing;
    norvik_test::writeToBytes(bracing, KivNorvikFileWriter::eFormatBL4, dir, "ends");
    const std::string raw = norvik_test::readRawBytes(dir + "/ends.bl4");
    const std::string& end = norvik_test::kLineEnd;
    EXPECT_EQ(0u, raw.find("\"NV_ATT_04\",\"\"" + end + end + "GEN" + end));
    ASSERT_GE(raw.size(), end.size());
    EXPECT_EQ(end, raw.substr(raw.size() - end.size()));
    size_t lineEnds = 0;
    size_t newlines = 0;
    for (size_t at = 0; (at = raw.find(end, at)) != std::string::npos; at += end.size())
        ++lineEnds;
    for (char c : raw)
        newlines += c == '\n' ? 1 : 0;
    EXPECT_EQ(newlines, lineEnds);
    EXPECT_EQ(raw.size() - lineEnds * (end.size() - 1), norvik_test::readBytes(dir + "/ends.bl4").size());
}

// Names outside ASCII, outside Windows-1252 and outside the Basic Multilingual
// Plane reach the system as they are, through the public writer and reader.
TEST(Platform, FileNamesBeyondEightBitText)
{
#if defined(_WIN32)
    const wchar_t separator = L'\\';
#else
    const wchar_t separator = L'/';
#endif
    struct Case
    {
        const wchar_t* folder; // "" for none
        const wchar_t* file;
        const char* folderUtf8;
        const char* fileUtf8;
    };
#if !defined(_WIN32)
    // Code points that UTF-8 cannot carry (halves of a pair, beyond 0x10FFFF)
    // become U+FFFD; their neighbours stay.
    const wchar_t unencodable[] = {L'a',
                                   wchar_t(0xD7FF),
                                   wchar_t(0xD800),
                                   wchar_t(0xDFFF),
                                   wchar_t(0xE000),
                                   wchar_t(0x10FFFF),
                                   wchar_t(0x110000),
                                   0};
#endif
    const Case cases[] = {
        {L"B\u00FCro", L"Halle S\u00FCd", u8"B\u00FCro", u8"Halle S\u00FCd"},
        {L"", L"\u4E2D", u8"", u8"\u4E2D"},
        {L"\u4E2D", L"\U0001F3ED", u8"\u4E2D", u8"\U0001F3ED"},
#if !defined(_WIN32)
        {L"", unencodable, u8"", u8"a\uD7FF\uFFFD\uFFFD\uE000\U0010FFFF\uFFFD"},
#endif
    };
    const std::string dir = norvik_test::tempDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileUtf8);
        std::wstring path = KivString(dir.c_str()).getStringW();
        path += separator;
        if (*c.folder) {
            ASSERT_TRUE(fs::create_directory(fs::u8path(dir) / fs::u8path(c.folderUtf8)));
            path += std::wstring(c.folder) + separator;
        }
        path += c.file;

        KivBL2Data base;
        base.setProjectName(KivString(c.file));
        base.columnGroup.mat = KivString("S235");
        KivNorvikFileWriter writer;
        ASSERT_EQ(1, writer.startWrite(KivString(path.c_str()), KivNorvikFileWriter::eFormatBL2));
        EXPECT_EQ(1, writer.write(base));
        EXPECT_EQ(1, writer.endWrite());
        EXPECT_TRUE(fs::exists(fs::u8path(dir) / fs::u8path(c.folderUtf8) /
                               fs::u8path(std::string(c.fileUtf8) + ".bl2")));

        KivBL2Data read;
        KivNorvikBL2Reader reader(KivString((path + L".bl2").c_str()));
        ASSERT_EQ(1, reader.readFile(read));
        EXPECT_TRUE(read.columnGroup.mat == KivString("S235"));
    }
}

// A character beyond 0xFFFF is one character whatever the width of wchar_t
// (a UTF-16 pair on Windows): one "?". Lone halves are one "?" each, and a
// high half at the very end is not paired with what follows the text.
TEST(Platform, CharactersBeyondTheBasicPlaneAreOneQuestionMark)
{
    const wchar_t astral[] = L"Hall \U0001F3ED 2";
    const wchar_t pair[] = {L'A', wchar_t(0xD83C), wchar_t(0xDFED), L'B', 0};
    const wchar_t reversed[] = {wchar_t(0xDFED), wchar_t(0xD83C), L'B', 0};
    const wchar_t highAtEnd[] = {L'A', wchar_t(0xD83C), 0};
    const wchar_t edges[] = {wchar_t(0xD800), wchar_t(0xDC00), L'-', wchar_t(0xDBFF), wchar_t(0xDFFF), 0};
    const struct
    {
        const wchar_t* name;
        const char* written;
    } cases[] = {
        {astral, "Hall ? 2"}, {pair, "A?B"},  {reversed, "??B"},
        {highAtEnd, "A?"},    {edges, "?-?"}, // the first and last pair
    };
    const std::string dir = norvik_test::tempDir();
    for (const auto& c : cases) {
        KivBL4Data bracing;
        bracing.setProjectName(KivString(c.name));
        const std::string text = norvik_test::writeToBytes(bracing, KivNorvikFileWriter::eFormatBL4, dir);
        EXPECT_EQ("\"NV_ATT_04\",\"" + std::string(c.written) + "\"", norvik_test::splitLines(text).at(0));
    }
}
