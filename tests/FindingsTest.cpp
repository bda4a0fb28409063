#include "RecordFields.h"
#include "TestSupport.h"

#include <dirent.h>

#include <algorithm>
#include <cfloat>
#include <climits>
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

// Every field path of a record read, and the paths of its arrays and groups.
std::vector<std::string> pathsOf(int kind, const KivNorvikData& r)
{
    const FieldList fields = flattenKind(kind, r);
    std::vector<std::string> paths;
    for (const auto& f : fields) {
        for (size_t i = 0; i < f.first.size(); ++i)
            if (f.first[i] == '.' || f.first[i] == '[')
                paths.push_back(f.first.substr(0, i));
        paths.push_back(f.first);
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
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
            // Each finding's paths name fields of the record read, one for each of its fields.
            const std::vector<std::string> paths = pathsOf(kind, *record);
            for (int i = 0; i < fromFile->getFindings().getLength(); ++i) {
                const KivNorvikFinding& f = fromFile->getFindings()[i];
                EXPECT_GE(f.line, 1);
                EXPECT_TRUE(f.paths.getLength() == 0 || f.paths.getLength() == f.fields.getLength())
                    << f.code;
                for (int k = 0; k < f.paths.getLength(); ++k)
                    EXPECT_TRUE(std::binary_search(paths.begin(), paths.end(), narrow(f.paths[k])))
                        << narrow(f.paths[k]);
            }
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
        {1, golden + "/missing.bl1", 1, 0, "1 Error cannot-open", "No such file"},
#if defined(_WIN32)
        {4, tempDir(), 4, 0, "1 Error cannot-open", ""}, // Windows refuses to open a folder as a file
#else
        {4, tempDir(), 4, 0, "1 Error read-error", "directory"},
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
    // An empty file is no failure, but an error on line 1; so is one of blank lines.
    KivNorvikBL2Reader empty("", 0);
    KivBL2Data record;
    EXPECT_EQ(1, empty.readFile(record));
    EXPECT_EQ(std::vector<std::string>{"1 Error empty-file"}, listed(empty));
    KivNorvikBL2Reader blank(" \r\n\n  \n", 7);
    EXPECT_EQ(1, blank.readFile(record));
    EXPECT_EQ(std::vector<std::string>{"1 Error empty-file"}, listed(blank));
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
    EXPECT_EQ(std::vector<std::string>{"1 Error empty-file"}, listed(reader));
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
        {"unknown-keyword.bl1", 6, "Unknown keyword \"Q\"", "Q", "GEN", ""}, // a keyword of one letter
        {"unknown-group.bl1", 0, "Header \"GEN\" followed by 1 blank is not read as a header", "GEN ", "",
         ""},
        {"unknown-group.trailing-blanks.bl1", 0, "\"FIN\" followed by 2 blanks is not read as the end", "FIN",
         "GEN", ""},
        {"missing-fin.indented.bl1", 1, "\"FIN\" preceded by 2 blanks", "FIN", "GEN", ""},
        {"not-a-number.bl1", 1, "\"12.5\" is not wholly an integer: read as 12", "NOEUD_NUM", "GEN",
         "noeudNum"},
        {"not-a-number.bl1", 2, "read as 1", "NEIGE", "GEN", "neige"},
        {"missing-values.bl1", 0, "left unset", "XY", "GEN", "xy[2]"},
        {"keyword-of-other-group.bl1", 0, "belongs to group TRA D", "ANG", "GEN", ""},
        {"token-count.bl3", 0, "exactly 1 value, not 2", "ATT.GRP", "GEN", "att.grp"},
        {"wrong-kind.tag.bl1", 0, "that of a BL4 file", "NV_ATT", "", ""},
        {"wrong-kind.header.bl2", 0, "looks like a BL3 file", "", "", ""},
        {"multi.bl5", 4, "Too few values", "GHCP", "DIAG_7", "ghcp.jeux[1]"},
        {"repeated-group.bl1", 0, "Group \"GEN\" is given again with the same values", "GEN", "GEN", ""},
        {"repeated-keyword.same-and-other.bl1", 1, "with other values: this line wins over line 5", "ACIER",
         "GEN", "acier"},
        {"line-outside-group.header-deleted.bl1", 0,
         "15 lines outside any group from line 3 are passed over: is the \"GEN\" header missing?", "", "",
         ""},
        {"missing-values.no-number.bl1", 0, "No value after \"ACIER\": the fields named are left unset",
         "ACIER", "GEN", "acier"},
        {"wrong-kind.renamed.bl1", 0, "looks like a BL2 file, not a BL1 file: read it as a BL2 file", "", "",
         ""},
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

namespace {

std::string findingAt(const KivNorvikFileReader& reader, int index)
{
    const KivNorvikFinding& f = reader.getFindings()[index];
    std::string text = std::to_string(f.line) + ":" + std::to_string(f.column) + " " + f.code;
    for (int k = 0; k < f.paths.getLength(); ++k)
        text += " " + narrow(f.paths[k]);
    return text;
}

} // namespace

// A finding points at its token's column and names the record paths of its
// fields: the group's member, an element by its index, a diagonal by its order.
TEST(Findings, ColumnsAndPathsPointAtTheValue)
{
    const std::string bl1 =
        "\"NV_ATT\",\"P\"\nGEN\n  ACIER x\n  XY 1.000 2.000\n  CHA 1 G a 0\n  CHA 2x G b 0\n"
        "  NOUED_NUM 5\n\tFRX 0\nFIN\nTRA D\n  RAI PLA INF 1.000 2.000\nFIN\n";
    KivNorvikBL1Reader reader(bl1.data(), bl1.size());
    KivBL1Data record;
    ASSERT_EQ(1, reader.readFile(record));
    ASSERT_EQ(6, reader.getFindings().getLength());
    EXPECT_EQ("3:9 not-a-number generalGroup.acier", findingAt(reader, 0));
    EXPECT_EQ("4:17 missing-values generalGroup.xy[2]", findingAt(reader, 1));
    EXPECT_EQ("6:7 not-a-number generalGroup.loadings[1].number", findingAt(reader, 2));
    EXPECT_EQ("7:3 unknown-keyword", findingAt(reader, 3));
    EXPECT_NE(std::string::npos, narrow(reader.getFindings()[3].message).find("did you mean NOEUD_NUM?"));
    EXPECT_EQ("8:1 tab-in-line", findingAt(reader, 4));
    EXPECT_EQ("11:26 missing-values rightTraverse.extBoltsInf.raiPla[2]", findingAt(reader, 5));

    const std::string bl4 = "\"NV_ATT_04\",\"P\"\nDIAG_1\n  JEU 1.000\nFIN\nDIAG_2\n  JEU y\nFIN\n";
    KivNorvikBL4Reader diagonals(bl4.data(), bl4.size());
    KivBL4Data braced;
    ASSERT_EQ(1, diagonals.readFile(braced));
    ASSERT_EQ(1, diagonals.getFindings().getLength());
    EXPECT_EQ("6:7 not-a-number diagonalElementGroups[1].jeu", findingAt(diagonals, 0));
}

// Numbers beyond what a value holds are errors and leave the field unset,
// where the conversion would saturate; the largest double itself is a value.
TEST(Findings, NumbersOutOfRangeAreReadAsUnset)
{
    const struct
    {
        const char* acier;
        double read;
        bool finding;
    } reals[] = {
        {"inf", KivNorvikData::kUndefinedReal, true},
        {"-Infinity", KivNorvikData::kUndefinedReal, true},
        {"nan", KivNorvikData::kUndefinedReal, true},
        {"1e999", KivNorvikData::kUndefinedReal, true},
        {"-1e309", KivNorvikData::kUndefinedReal, true},
        {"1.7976931348623159e308", KivNorvikData::kUndefinedReal, true},
        {"1.7976931348623158e308", DBL_MAX, false},
        {"-179769313486231570000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000.000",
         -DBL_MAX, false},
        {"1e-999", 0.0, false},
    };
    // The general group of a file of one line, and what the read said of it.
    const auto readLine = [](const std::string& line, std::vector<std::string>& found) {
        const std::string text = "\"NV_ATT\",\"P\"\nGEN\n  " + line + "\nFIN\n";
        KivNorvikBL1Reader reader(text.data(), text.size());
        KivBL1Data record;
        EXPECT_EQ(1, reader.readFile(record));
        found = listed(reader);
        return record.generalGroup;
    };
    std::vector<std::string> found;
    for (const auto& c : reals) {
        SCOPED_TRACE(c.acier);
        EXPECT_EQ(c.read, readLine(std::string("ACIER ") + c.acier, found).acier);
        EXPECT_EQ(c.finding ? std::vector<std::string>{"3 Error not-a-number"} : std::vector<std::string>{},
                  found);
    }
    const struct
    {
        const char* number;
        int read;
    } integers[] = {{"2147483647", INT_MAX},
                    {"-2147483648", INT_MIN},
                    {"2147483648", KivNorvikData::kUndefinedInteger},
                    {"-000002147483649", KivNorvikData::kUndefinedInteger}};
    for (const auto& c : integers) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(c.read, readLine(std::string("NOEUD_NUM ") + c.number, found).noeudNum);
        EXPECT_EQ(c.read == KivNorvikData::kUndefinedInteger ? 1u : 0u, found.size());
    }
    // The largest double goes through the writer and back as itself.
    KivBL1Data largest;
    largest.generalGroup.acier = DBL_MAX;
    const std::string written = writeToBytes(largest, KivNorvikFileWriter::eFormatBL1, tempDir(), "largest");
    KivNorvikBL1Reader again(written.data(), written.size());
    KivBL1Data back;
    ASSERT_EQ(1, again.readFile(back));
    EXPECT_EQ(DBL_MAX, back.generalGroup.acier);
    EXPECT_EQ(0, again.getFindings().getLength());
}

// A read keeps the first findings up to its bound and counts the rest in one
// last finding; the counts cover them all, and whole-file findings stay.
TEST(Findings, ManyFindingsAreBoundedAndCounted)
{
    std::string text = "GEN\n";
    const int lines = 20000;
    for (int i = 0; i < lines; ++i)
        text += "  ACIER " + std::to_string(i % 2) + "\n  ATMOS x\n";
    text += "FIN\n";
    KivNorvikBL1Reader reader(text.data(), text.size());
    KivBL1Data record;
    ASSERT_EQ(1, reader.readFile(record));
    const KivArray<KivNorvikFinding>& findings = reader.getFindings();
    ASSERT_EQ(1002, findings.getLength());
    EXPECT_EQ("no-tag-line", std::string(findings[0].code)); // whole-file, beyond the bound
    const KivNorvikFinding& last = findings[1001];
    EXPECT_EQ("too-many-findings", std::string(last.code));
    EXPECT_EQ(KivNorvikFinding::Error, last.severity);
    // Line 3 gives one finding, each pair of lines after it three: the first
    // left out is the ACIER line of the 335th pair.
    EXPECT_EQ(670, last.line);
    EXPECT_EQ("58998 more findings are left out: 39332 repeated-keyword, 19666 not-a-number",
              narrow(last.message));
    // Each ACIER line but the first overwrites another value; the ATMOS lines repeat theirs.
    EXPECT_EQ(2 * lines - 1, reader.countFindings(KivNorvikFinding::Error));
    EXPECT_EQ(lines, reader.countFindings(KivNorvikFinding::Warning));
    EXPECT_EQ(lines, reader.countFindings(KivNorvikFinding::Error, "not-a-number"));
    EXPECT_EQ(lines - 1, reader.countFindings(KivNorvikFinding::Warning, "repeated-keyword"));
    EXPECT_EQ(0, reader.countFindings(KivNorvikFinding::Warning, "not-a-number"));
    EXPECT_EQ(0, reader.countFindings(KivNorvikFinding::Error, "too-many-findings"));

    reader.setMaxFindings(3);
    ASSERT_EQ(1, reader.readFile(record));
    EXPECT_EQ(5, reader.getFindings().getLength());
    EXPECT_EQ(2 * lines - 1, reader.countFindings(KivNorvikFinding::Error));
    reader.setMaxFindings(0);
    ASSERT_EQ(1, reader.readFile(record));
    EXPECT_EQ(3 * lines - 1, reader.getFindings().getLength());
}

// A byte-order mark is passed over: the first line reads as if it were not
// there; the file's own words are compared as a whole line.
TEST(Findings, ByteOrderMarkIsPassedOver)
{
    const std::string text = "\xEF\xBB\xBF\"NV_ATT\",\"Hall 2\"\nGEN\n  ACIER 355.000\nFIN\n";
    KivNorvikBL1Reader reader(text.data(), text.size());
    KivBL1Data record;
    ASSERT_EQ(1, reader.readFile(record));
    EXPECT_EQ("Hall 2", narrow(record.projectName));
    EXPECT_EQ(355.0, record.generalGroup.acier);
    EXPECT_EQ(std::vector<std::string>{"1 Warning byte-order-mark"}, listed(reader));
    EXPECT_EQ("\"NV_ATT\",\"Hall 2\"", narrow(reader.getLines()[0]));
}

// The codes a host may list: each once, with its summary, and every code of
// the findings under tests/data among them.
TEST(Findings, CodesAreListedOnce)
{
    int count = 0;
    const KivNorvikFinding::Code* codes = KivNorvikFinding::codes(count);
    ASSERT_GT(count, 20);
    std::vector<std::string> names;
    std::string table; // what a host shows of them, kept as a golden file
    for (int i = 0; i < count; ++i) {
        names.push_back(codes[i].code);
        table += std::string(codes[i].code) + (codes[i].severity == KivNorvikFinding::Error ? " E " : " W ") +
                 codes[i].summary + "\n";
    }
    expectGolden(table, "finding-codes.txt");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names.end(), std::adjacent_find(names.begin(), names.end()));
    const auto severity = [&](const std::string& code) {
        for (int i = 0; i < count; ++i)
            if (code == codes[i].code)
                return codes[i].severity;
        ADD_FAILURE() << code;
        return KivNorvikFinding::Warning;
    };
    EXPECT_EQ(KivNorvikFinding::Error, severity("repeated-keyword"));
    EXPECT_EQ(KivNorvikFinding::Warning, severity("utf8-text"));
    for (const std::string& name : filesIn(NORVIK_DATA_DIR))
        for (const std::string& line : expectedFor(std::string(NORVIK_DATA_DIR) + "/" + name))
            severity(line.substr(line.rfind(' ') + 1));
}

// A group that the record takes afresh when given again (a beam side) loses
// the lines of the earlier one that the later one does not repeat.
TEST(Findings, AGroupGivenAgainAfreshLosesWhatItDoesNotRepeat)
{
    const std::string side = "TRA D\n  I 300.000 150.000 7.100 10.700 15.000\n  DY 150.000\nFIN\n";
    const std::string shorter = "TRA D\n  I 300.000 150.000 7.100 10.700 15.000\nFIN\n";
    for (const auto& c : {std::make_pair(side + side, "6 Warning repeated-group"),
                          std::make_pair(side + shorter, "6 Error repeated-group")}) {
        const std::string text = "\"NV_ATT\",\"P\"\n" + c.first;
        KivNorvikBL1Reader reader(text.data(), text.size());
        KivBL1Data record;
        ASSERT_EQ(1, reader.readFile(record));
        EXPECT_EQ(std::vector<std::string>{c.second}, listed(reader));
    }
}
