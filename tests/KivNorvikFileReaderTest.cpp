// The shared reading machinery, run through the BL1 reader.
#include "RecordFields.h"
#include "TestSupport.h"

#include <KivCodePage.h>
#include <KivNorvikFileSyntax.h>

#include <KivFileSystem.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#if !defined(_WIN32)
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <thread>
#  include <unistd.h>
#endif

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
        const std::wstring line(parse.line);
        const std::string bytes = KivCodePage::encode(line.data(), line.size());
        EXPECT_EQ(parse.found,
                  KivNorvikFileSyntax::projectName(bytes, parse.tag, parse.bl3 ? "2006.15c2:" : "", name))
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

// The base reader's fillStructure is a contract violation.
TEST(BL1SharedReader, TheBaseReaderFillsNothing)
{
    KivBL1Data mine;
    AssertCounter asserts;
    EXPECT_EQ(1, readFromBytes<KivNorvikFileReader>("GEN\nFIN\n", mine, tempDir()));
    EXPECT_EQ(1, asserts.reports());
    EXPECT_EQ(L"false", asserts.last());
}

namespace {

using FS = KivFileSystem;

// What a reader made of a file: its result, the first finding, and the lines and record it read.
struct FileOutcome
{
    int result = 0;
    std::string finding; // "code: message"
    int lines = 0;
    std::string lastLine;
    std::string efforts; // count and sums of each side's, too many to list field by field
    FieldList fields;
};

FileOutcome readAgain(KivNorvikBL1Reader& reader, const KivBL1Data& start)
{
    FileOutcome out;
    KivBL1Data record = start;
    out.result = reader.readFile(record);
    if (reader.getFindings().getLength() > 0)
        out.finding =
            std::string(reader.getFindings()[0].code) + ": " + narrow(reader.getFindings()[0].message);
    out.lines = reader.getLines().getLength();
    if (out.lines > 0)
        out.lastLine = narrow(reader.getLines()[out.lines - 1]);
    for (KivBL1Data::BL1Traverse* side : {&record.leftTraverse, &record.rightTraverse}) {
        const KivArray<KivBL1Data::BL1Effort>& efforts = side->efforts;
        long long numbers = 0;
        double values = 0;
        for (int i = 0; i < efforts.getLength(); ++i) {
            numbers += efforts[i].number;
            values += efforts[i].value1 + efforts[i].value2 + efforts[i].value3;
        }
        out.efforts += std::to_string(efforts.getLength()) + " " + std::to_string(numbers) + " " +
                       std::to_string(values) + "; ";
        side->efforts.setLength(0);
    }
    out.fields = flatten(record);
    return out;
}

std::string bigBl1(int lines)
{
    std::string text = "\"NV_ATT\",\"Big\"\nTRA D\n";
    for (int i = 0; i < lines; ++i)
        text += "  EFF " + std::to_string(i) + " 12.500 -3.000 40.125\n";
    return text + "FIN\n";
}

#if !defined(_WIN32)
// Feeds `bytes` into a named pipe in small pieces from a thread of its own;
// the system knows no size for it and cannot seek in it.
class PipeWriter
{
public:
    PipeWriter(const std::string& path, const std::string& bytes)
    {
        EXPECT_EQ(0, mkfifo(path.c_str(), 0600));
        thread_ = std::thread([path, bytes] {
            const int fd = ::open(path.c_str(), O_WRONLY);
            for (size_t at = 0; fd >= 0 && at < bytes.size(); at += 4096)
                if (::write(fd, bytes.data() + at, std::min<size_t>(4096, bytes.size() - at)) < 0)
                    break;
            ::close(fd);
        });
    }
    ~PipeWriter() { thread_.join(); }

private:
    std::thread thread_;
};
#endif

} // namespace

// A file is read through descriptors, whole, again from its start by a second readFile, with the system's
// reason in the finding when opening, seeking or reading fails; a failed read leaves the record alone. A small
// file takes two reads and no size query, a big one a single size query, and the descriptor is closed with the
// reader.
TEST(BL1SharedReader, FileInput)
{
    const std::string dir = tempDir();
    const std::string small = readRawBytes(NORVIK_GOLDEN_DIR "/bl1_every_field_obliq.bl1");
    const std::string big = bigBl1(100000); // past 2 MiB
    writeBytes(dir + "/small.bl1", small);
    writeBytes(dir + "/big.bl1", big);
    enum Source { Small, Big, Missing, Folder, Pipe };
    const auto reason = [](int error) { return ": The file cannot be opened: " + FS::describe(error); };
    const auto unread = [](int error) {
        return ": The file cannot be read to its end: " + FS::describe(error);
    };
    const auto opened = [&](int error) { return "cannot-open" + reason(error); };
    const auto failed = [&](int error) { return "read-error" + unread(error); };
    const int none = FS::eOperationCount;
    struct Case
    {
        const char* what;
        Source source;
        int op; // the operation made to fail, or none
        int nth;
        int error;
        std::string first;  // finding of the first readFile, empty when it reads the file
        std::string second; // of the second one
        int reads, sizes;   // calls of the first readFile; -1: not counted
    };
    const Case cases[] = {
        {"small file", Small, none, 0, 0, "", "", 2, 0},
        {"big file", Big, none, 0, 0, "", "", 3, 1},
        {"missing file", Missing, none, 0, 0, opened(ENOENT), opened(ENOENT), 0, 0},
#if defined(_WIN32)
        {"folder", Folder, none, 0, 0, "cannot-open", "cannot-open", 0, 0},
#else
        {"folder", Folder, none, 0, 0, failed(EISDIR), failed(EISDIR), 1, 0},
        {"pipe: no size, no seek", Pipe, none, 0, 0, "", failed(ESPIPE), -1, 1},
#endif
        {"open refused", Small, FS::eOpen, 1, EACCES, opened(EACCES), opened(EACCES), 0, 0},
        {"first read fails", Small, FS::eRead, 1, EIO, failed(EIO), "", 1, 0},
        {"read of the end fails", Small, FS::eRead, 2, EIO, failed(EIO), "", 2, 0},
        {"read after the size query fails", Big, FS::eRead, 2, EIO, failed(EIO), "", 2, 1},
        {"read of a big file's end fails", Big, FS::eRead, 3, ENOMEM, failed(ENOMEM), "", 3, 1},
        {"no size: the block grows", Big, FS::eSize, 1, EIO, "", "", -1, 1},
        {"seek back fails", Small, FS::eSeek, 1, EBADF, "", failed(EBADF), 2, 0},
    };
    KivBL1Data start;
    start.generalGroup.acier = 7;
    // What the same bytes give from memory.
    std::map<Source, FileOutcome> fromMemory;
    for (const auto& [source, bytes] : {std::make_pair(Small, small), std::make_pair(Big, big)}) {
        KivNorvikBL1Reader reader(bytes.data(), bytes.size());
        fromMemory[source] = readAgain(reader, start);
        ASSERT_EQ(1, fromMemory[source].result);
    }
    fromMemory[Pipe] = fromMemory[Big];
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir + "/case" + std::to_string(++index);
        if (c.source == Folder)
            std::filesystem::create_directory(path);
        else if (c.source == Small || c.source == Big)
            writeBytes(path, c.source == Big ? big : small);
        const FileOutcome& expected = fromMemory[c.source];

        FS::resetFaults();
        if (c.op != none)
            FS::failCall(static_cast<FS::eOperation>(c.op), c.nth, c.error);
        const int descriptors = openDescriptors();
        {
#if !defined(_WIN32)
            std::unique_ptr<PipeWriter> writer;
            if (c.source == Pipe)
                writer = std::make_unique<PipeWriter>(path, big);
#endif
            KivNorvikBL1Reader reader(KivString(path.c_str()));
            for (int round = 0; round < 2; ++round) {
                SCOPED_TRACE(round == 0 ? "first readFile" : "second readFile");
                const std::string& finding = round == 0 ? c.first : c.second;
                const FileOutcome got = readAgain(reader, start);
                EXPECT_EQ(0u, got.finding.find(finding)) << got.finding;
                if (finding.empty()) {
                    EXPECT_EQ(1, got.result);
                    EXPECT_EQ(expected.finding, got.finding);
                    EXPECT_EQ(expected.lines, got.lines);
                    EXPECT_EQ(expected.lastLine, got.lastLine);
                    EXPECT_EQ(expected.efforts, got.efforts);
                    EXPECT_EQ(expected.fields, got.fields);
                } else {
                    EXPECT_EQ(0, got.result);
                    EXPECT_EQ(0, got.lines);
                    EXPECT_EQ("0 0 0.000000; 0 0 0.000000; ", got.efforts) << "the record touched";
                    EXPECT_EQ(flatten(start), got.fields) << "the record touched";
                }
                if (round == 0) {
                    if (c.reads >= 0) {
                        EXPECT_EQ(c.reads, FS::calls(FS::eRead));
                    }
                    EXPECT_EQ(c.sizes, FS::calls(FS::eSize));
                    EXPECT_EQ(0, FS::calls(FS::eSeek)) << "the first readFile starts where the file does";
                }
            }
        }
        EXPECT_EQ(descriptors, openDescriptors()) << "a descriptor left open";
    }
    FS::resetFaults();
}

// A reader read again gives what a fresh reader gives, whatever its earlier
// read held: its bytes, those of a file of every value, become those of the
// kind's default file (blank lines keep the length).
TEST(FileReader, ReadAgainStartsAfresh)
{
    const char* files[][2] = {{"bl1_every_field_acr.bl1", "bl1_default.bl1"},
                              {"bl2_full.bl2", "bl2_default.bl2"},
                              {"bl3_full.bl3", "bl3_default.bl3"},
                              {"bl4_filled.bl4", "bl4_default.bl4"},
                              {"bl5_main.bl5", "bl5_default.bl5"}};
    for (int kind = 1; kind <= 5; ++kind) {
        SCOPED_TRACE(kind);
        const std::string golden = std::string(NORVIK_GOLDEN_DIR) + "/";
        const std::string full = norvik_test::readRawBytes(golden + files[kind - 1][0]);
        const std::string fallback = norvik_test::readRawBytes(golden + files[kind - 1][1]);
        const size_t size = std::max(full.size(), fallback.size());
        std::string bytes = full + std::string(size - full.size(), '\n');
        auto reader = readerOf(kind, bytes.data(), bytes.size());
        auto first = recordOf(kind);
        ASSERT_EQ(1, reader->readFile(*first));
        bytes.replace(0, size, fallback + std::string(size - fallback.size(), '\n'));
        auto again = recordOf(kind);
        ASSERT_EQ(1, reader->readFile(*again));
        auto fresh = recordOf(kind);
        ASSERT_EQ(1, readerOf(kind, bytes.data(), bytes.size())->readFile(*fresh));
        EXPECT_EQ(flattenKind(kind, *fresh), flattenKind(kind, *again));
        EXPECT_NE(flattenKind(kind, *first), flattenKind(kind, *again));
    }
}
