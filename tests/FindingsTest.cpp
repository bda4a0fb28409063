#include "TestSupport.h"

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace norvik_test;

namespace {

// A finding as "line severity code", as the .expected files list them.
std::vector<std::string> listed(const KivNorvikFileReader& reader)
{
    std::vector<std::string> out;
    const KivArray<KivNorvikFinding>& findings = reader.getFindings();
    for (int i = 0; i < findings.getLength(); ++i) {
        const KivNorvikFinding& f = findings[i];
        out.push_back(std::to_string(f.line) + " " + KivNorvikFinding::severityName(f.severity) + " " +
                      f.code);
    }
    return out;
}

std::unique_ptr<KivNorvikData> recordOf(int kind)
{
    switch (kind) {
    case 1: return std::make_unique<KivBL1Data>();
    case 2: return std::make_unique<KivBL2Data>();
    case 3: return std::make_unique<KivBL3Data>();
    case 4: return std::make_unique<KivBL4Data>();
    default: return std::make_unique<KivBL5Data>();
    }
}

template <class... Args>
std::unique_ptr<KivNorvikFileReader> readerOf(int kind, Args... args)
{
    switch (kind) {
    case 1: return std::make_unique<KivNorvikBL1Reader>(args...);
    case 2: return std::make_unique<KivNorvikBL2Reader>(args...);
    case 3: return std::make_unique<KivNorvikBL3Reader>(args...);
    case 4: return std::make_unique<KivNorvikBL4Reader>(args...);
    default: return std::make_unique<KivNorvikBL5Reader>(args...);
    }
}

std::string bytesOf(int kind, const KivNorvikData& r, const std::string& name)
{
    const auto format = static_cast<KivNorvikFileWriter::eNorvikFormatFile>(kind - 1);
    switch (kind) {
    case 1: return writeToBytes(static_cast<const KivBL1Data&>(r), format, tempDir(), name);
    case 2: return writeToBytes(static_cast<const KivBL2Data&>(r), format, tempDir(), name);
    case 3: return writeToBytes(static_cast<const KivBL3Data&>(r), format, tempDir(), name);
    case 4: return writeToBytes(static_cast<const KivBL4Data&>(r), format, tempDir(), name);
    default: return writeToBytes(static_cast<const KivBL5Data&>(r), format, tempDir(), name);
    }
}

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            const size_t dot = name.rfind(".bl");
            if (dot != std::string::npos && dot + 4 == name.size())
                names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> expectedFor(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream in(readBytes(path + ".expected"));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    return lines;
}

} // namespace

// Each file under tests/data shows one finding code (the one its name starts
// with; "multi" several); each golden file that shows a format limit lists
// its findings beside it; every other golden file has none. A file read from
// a buffer gives the same record and findings as from disk.
TEST(Findings, FilesGiveTheFindingsListedBesideThem)
{
    const bool update = std::getenv("NORVIK_UPDATE_GOLDEN") != nullptr &&
                        std::string(std::getenv("NORVIK_UPDATE_GOLDEN")) == "1";
    int files = 0;
    const int descriptors = openDescriptors(); // a reader closes its file
    std::string messages;                      // every message, worded as a host shows it
    for (const std::string& dir : {std::string(NORVIK_DATA_DIR), std::string(NORVIK_GOLDEN_DIR)}) {
        for (const std::string& name : filesIn(dir)) {
            SCOPED_TRACE(name);
            const std::string path = dir + "/" + name;
            const int kind = name.back() - '0';
            auto fromFile = readerOf(kind, KivString(path.c_str()));
            auto record = recordOf(kind);
            EXPECT_EQ(1, fromFile->readFile(*record));
            const std::vector<std::string> found = listed(*fromFile);
            for (int i = 0; i < fromFile->getFindings().getLength(); ++i) {
                const KivNorvikFinding& f = fromFile->getFindings()[i];
                messages += name + " " + found[static_cast<size_t>(i)] + ": " + narrow(f.message);
                // The group and the fields it names, for a host that points at them.
                if (!f.group.isEmpty())
                    messages += " [in " + narrow(f.group) + "]";
                for (int k = 0; k < f.fields.getLength(); ++k)
                    messages += (k == 0 ? " {" : " ") + narrow(f.fields[k]) +
                                (k + 1 == f.fields.getLength() ? "}" : "");
                messages += "\n";
            }
            if (update) {
                std::string text;
                for (const std::string& line : found)
                    text += line + "\n";
                if (!found.empty())
                    writeBytes(path + ".expected", text);
                continue;
            }
            EXPECT_EQ(expectedFor(path), found);
            // A second read of the same reader gives the same findings, at the same lines.
            auto again = recordOf(kind);
            EXPECT_EQ(1, fromFile->readFile(*again));
            EXPECT_EQ(found, listed(*fromFile));

            const std::string bytes = readBytes(path);
            auto fromBuffer = readerOf(kind, bytes.data(), bytes.size());
            auto bufferRecord = recordOf(kind);
            EXPECT_EQ(1, fromBuffer->readFile(*bufferRecord));
            EXPECT_EQ(found, listed(*fromBuffer));
            EXPECT_EQ(bytesOf(kind, *record, "a"), bytesOf(kind, *bufferRecord, "b"));
            ++files;
        }
    }
    EXPECT_GT(files, 30);
    EXPECT_EQ(descriptors, openDescriptors());
    expectGolden(messages, "findings-messages.txt");
}

// A read that fails, or a record of another class, leaves one finding saying
// why; BL4 and BL5 then leave the record untouched and return 0, BL1 to BL3
// return 1 as they always did.
TEST(Findings, FailedReadsAndForeignRecordsSayWhy)
{
    const std::string golden = NORVIK_GOLDEN_DIR;
    const struct
    {
        int kind;
        std::string path;
        int recordKind;
        int result;
        const char* finding;
        const char* reason;
    } cases[] = {
        {1, golden + "/missing.bl1", 1, 0, "0 Error cannot-open", "No such file"},
#if defined(_WIN32)
        {4, tempDir(), 4, 0, "0 Error cannot-open", ""}, // Windows refuses to open a folder as a file
#else
        {4, tempDir(), 4, 0, "0 Error read-error", "directory"},
#endif
        {2, golden + "/bl1_example.bl1", 1, 1, "1 Error wrong-record",
         "The record given is not a KivBL2Data: the values of the file do not reach it"},
        {3, golden + "/bl3_full.bl3", 1, 1, "1 Error wrong-record",
         "The record given is not a KivBL3Data: the values of the file do not reach it"},
        {4, golden + "/bl4_filled.bl4", 5, 0, "1 Error wrong-record",
         "The record given is not a KivBL4Data: it is left unchanged"},
        {5, golden + "/bl5_main.bl5", 4, 0, "1 Error wrong-record",
         "The record given is not a KivBL5Data: it is left unchanged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto reader = readerOf(c.kind, KivString(c.path.c_str()));
        auto record = recordOf(c.recordKind);
        record->projectName = KivString("host");
        EXPECT_EQ(c.result, reader->readFile(*record));
        const std::vector<std::string> found = listed(*reader);
        ASSERT_FALSE(found.empty());
        const auto at = std::find(found.begin(), found.end(), c.finding);
        ASSERT_NE(found.end(), at);
        EXPECT_EQ(c.result == 0 ? 1u : found.size(), found.size());
        const std::string message =
            narrow(reader->getFindings()[static_cast<int>(at - found.begin())].message);
        EXPECT_NE(std::string::npos, message.find(c.reason)) << message;
        if (c.result == 0) {
            EXPECT_EQ("host", narrow(record->projectName));
        }
    }
    // An empty file is no failure: its one finding is on line 0.
    KivNorvikBL2Reader empty("", 0);
    KivBL2Data record;
    EXPECT_EQ(1, empty.readFile(record));
    EXPECT_EQ(std::vector<std::string>{"0 Warning no-tag-line"}, listed(empty));
    // So is a file emptied after a first read, read again by the same reader.
    // The first read's finding names its group; the finding that takes its
    // place names none.
    const std::string emptied = tempDir() + "/emptied.bl2";
    writeBytes(emptied, "\"NV_ATT\",\"x\"\nGEN\n  XYZ 1\nFIN\n");
    KivNorvikBL2Reader reader(KivString(emptied.c_str()));
    EXPECT_EQ(1, reader.readFile(record));
    ASSERT_EQ(1, reader.getFindings().getLength());
    EXPECT_EQ("GEN", narrow(reader.getFindings()[0].group));
    std::filesystem::resize_file(emptied, 0);
    EXPECT_EQ(1, reader.readFile(record));
    EXPECT_EQ(std::vector<std::string>{"0 Warning no-tag-line"}, listed(reader));
    EXPECT_EQ(1, reader.getFindings()[0].group.isEmpty());
}

// The texts apart from the message let a host word its own; the message says
// what was meant or what was read instead.
TEST(Findings, MessagesAndTextsNameWhatWasMeant)
{
    const struct
    {
        const char* file;
        int index;
        const char* message;
        const char* keyword;
        const char* group;
        const char* fields;
    } cases[] = {
        {"unknown-keyword.bl1", 0, "(did you mean ACIER?)", "ACIR", "GEN", ""},
        {"unknown-group.bl1", 0, "(did you mean GEN?)", "GEN ", "", ""},
        {"missing-fin.indented.bl1", 0, "(did you mean FIN on line 5?)", "GEN", "GEN", ""},
        {"not-a-number.bl1", 1, "\"12.5\" is not wholly an integer: read as 12", "NOEUD_NUM", "GEN",
         "noeudNum"},
        {"not-a-number.bl1", 2, "read as 1", "NEIGE", "GEN", "neige"},
        {"missing-values.bl1", 0, "left unset", "XY", "GEN", "xy[2]"},
        {"keyword-of-other-group.bl1", 0, "belongs to group TRA D", "ANG", "GEN", ""},
        {"token-count.bl3", 0, "exactly 1 value, not 2", "ATT.GRP", "GEN", "att.grp"},
        {"wrong-kind.tag.bl1", 0, "that of a BL4 file", "NV_ATT", "", ""},
        {"wrong-kind.header.bl2", 0, "looks like a BL3 file", "", "", ""},
        {"multi.bl5", 4, "Too few values", "GHCP", "DIAG_7", "ghcp.jeux[1]"},
        {"repeated-group.bl1", 0, "Group \"GEN\" is given again: its lines overwrite the earlier ones", "GEN",
         "GEN", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = std::string(NORVIK_DATA_DIR) + "/" + c.file;
        const int kind = path.back() - '0';
        auto reader = readerOf(kind, KivString(path.c_str()));
        auto record = recordOf(kind);
        reader->readFile(*record);
        ASSERT_LT(c.index, reader->getFindings().getLength());
        const KivNorvikFinding& f = reader->getFindings()[c.index];
        EXPECT_NE(std::string::npos, narrow(f.message).find(c.message)) << narrow(f.message);
        EXPECT_EQ(c.keyword, narrow(f.keyword));
        EXPECT_EQ(c.group, narrow(f.group));
        std::string fields;
        for (int i = 0; i < f.fields.getLength(); ++i)
            fields += (i ? " " : "") + narrow(f.fields[i]);
        EXPECT_EQ(c.fields, fields);
    }
}
