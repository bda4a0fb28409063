#include "RecordFields.h"
#include "TestSupport.h"

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>

using namespace norvik_test;

namespace {

using Rng = std::mt19937;

int pick(Rng& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

bool endsWith(const std::string& path, const std::string& suffix)
{
    return path.size() >= suffix.size()
        && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The code fields of a kind: a path suffix and the values to draw from, the
// last ones outside their table.
struct Code
{
    const char* suffix;
    std::vector<int> values;
};

// Spoils a filled record here and there: unset values, blanks, empty texts,
// line ends, characters without a Windows-1252 form, extra decimals, NaN,
// infinity, values next to the undefined real; codes from their tables and
// outside them.
struct Spoiler
{
    Rng& rng;
    const std::vector<Code>& codes;
    int rate; // one field in `rate` is spoiled

    bool spoil() { return pick(rng, 1, rate) == 1; }

    void operator()(const std::string& path, int& value)
    {
        for (const Code& c : codes) {
            if (endsWith(path, c.suffix)) {
                value = c.values[pick(rng, 0, static_cast<int>(c.values.size()) - 1)];
                return;
            }
        }
        if (spoil())
            value = KivNorvikData::kUndefinedInteger;
    }
    void operator()(const std::string&, double& value)
    {
        if (!spoil())
            return;
        switch (pick(rng, 0, 5)) {
        case 0: value = KivNorvikData::kUndefinedReal; break;
        case 1: value = std::numeric_limits<double>::quiet_NaN(); break;
        case 2: value += 0.0004; break;
        case 3: value = -std::numeric_limits<double>::infinity(); break;
        case 4: value = KivNorvikData::kUndefinedReal + 4e-7; break;
        default: value = std::trunc(value); break;
        }
    }
    void operator()(const std::string&, KivString& value)
    {
        if (!spoil())
            return;
        switch (pick(rng, 0, 5)) {
        case 0: value = KivNorvikData::undefinedString(); break;
        case 1: value = KivString(L"two words"); break;
        case 2: value = KivString(L""); break;
        case 3: value = KivString(L"line\nend"); break;
        case 4: value = KivString(L"\x4E2D\x6587"); break;
        default: value = KivString(L"Caf\xE9"); break;
        }
    }
};

// Every field with its value as text, the project name first.
template <class Record>
std::map<std::string, std::string> valuesOf(const Record& record)
{
    FieldList fields = flatten(record);
    fields.emplace_back("projectName", narrow(record.projectName));
    std::map<std::string, std::string> values(fields.begin(), fields.end());
    for (auto& f : fields)
        if (f.second == "nan")
            values[f.first] = "nan-never-equal";
    return values;
}

template <class Record>
std::set<std::string> changedPaths(const Record& written, const Record& read)
{
    auto before = valuesOf(written);
    auto after = valuesOf(read);
    std::set<std::string> changed;
    for (const auto& b : before) {
        auto a = after.find(b.first);
        if (a == after.end() || a->second != b.second || b.second == "nan-never-equal")
            changed.insert(b.first);
    }
    for (const auto& a : after)
        if (before.find(a.first) == before.end())
            changed.insert(a.first);
    return changed;
}

std::set<std::string> reportedPaths(const KivNorvikData& record, std::string& listing)
{
    KivArray<KivNorvikRecordIssue> issues;
    EXPECT_EQ(1, KivNorvikRecordCheck::check(record, issues));
    std::set<std::string> paths;
    for (int i = 0; i < issues.getLength(); ++i) {
        listing += narrow(issues[i].path) + " " + narrow(issues[i].code) + "\n";
        if (narrow(issues[i].code) != "undefined-written") // read back unchanged
            paths.insert(narrow(issues[i].path));
    }
    return paths;
}

std::string joined(const std::set<std::string>& paths)
{
    std::string out;
    for (const auto& p : paths)
        out += "  " + p + "\n";
    return out;
}

// One kind of the property: how to fill a record, write it and read it back.
struct KindCase
{
    const char* name;
    // Seeds a record, writes it, reads it back; the paths that changed and
    // those that the check lists.
    std::function<void(Rng&, const std::string& dir, std::set<std::string>& changed,
                       std::set<std::string>& reported, std::string& listing)>
        run;
};

template <class Record, class Reader>
KindCase kindCase(const char* name, KivNorvikFileWriter::eNorvikFormatFile format,
                  std::vector<Code> codes, std::function<void(Record&, Rng&)> shape)
{
    return {name, [=](Rng& rng, const std::string& dir, std::set<std::string>& changed,
                      std::set<std::string>& reported, std::string& listing) {
                Record written;
                shape(written, rng);
                randomize(written, rng);
                Spoiler spoiler{rng, codes, pick(rng, 0, 3) == 0 ? 1000 : 25};
                visitFields(written, spoiler);
                static const wchar_t* const names[] = {L"Hall 2", L" padded ", L"\"quoted\"", L"a,b"};
                written.projectName = KivString(names[pick(rng, 0, 3)]);
                writeToBytes(written, format, dir);
                Record read;
                const std::string path = dir + "/out." + KivNorvikFileWriter::extension(format);
                Reader reader(KivString(path.c_str()));
                EXPECT_EQ(1, reader.readFile(read));
                changed = changedPaths(written, read);
                reported = reportedPaths(written, listing);
            }};
}

const std::vector<int> kLoadingTypes = {0, 1, 2, -1, -1, 2};
const int kUnset = KivNorvikData::kUndefinedInteger;

// Rows for BL4 and BL5 join once their readers exist:
//   kindCase<KivBL4Data, KivNorvikBL4Reader>("BL4", KivNorvikFileWriter::eFormatBL4, {...}, ...)
std::vector<KindCase> kinds()
{
    return {
        kindCase<KivBL1Data, KivNorvikBL1Reader>(
            "BL1", KivNorvikFileWriter::eFormatBL1,
            {{"loadings[0].type", kLoadingTypes}, {"loadings[1].type", kLoadingTypes},
             {"loadings[2].type", kLoadingTypes}, {".side", {1, 0, 1, 0, 0, 2, kUnset}},
             {".raiAmeType", {0, 1, 0, 1, 3}}, {"section.type", {0, 1, 0, 1, 5, kUnset}},
             {"bouTra.type", {0, 0, 0, 1, 4}}, {"bouRen.type", {1, 1, 1, 0, 4}},
             {"raiPotTraSup.position", {0, 0, 0, 1, 3}}, {"raiPotTraInf.position", {1, 1, 1, 0, 3}},
             {"extBoltsSup.position", {0, 0, 0, 1, 2, kUnset}},
             {"extBoltsInf.position", {1, 1, 1, 0, 2, kUnset}}},
            [](KivBL1Data& d, Rng& rng) {
                d.generalGroup.loadings.setLength(pick(rng, 0, 3));
                d.rightTraverse.efforts.setLength(pick(rng, 0, 2));
                d.leftTraverse.efforts.setLength(pick(rng, 0, 2));
            }),
        kindCase<KivBL2Data, KivNorvikBL2Reader>(
            "BL2", KivNorvikFileWriter::eFormatBL2,
            {{"loadings[0].type", kLoadingTypes}, {"loadings[1].type", kLoadingTypes},
             {"loadings[2].type", kLoadingTypes}, {"section.type", {0, 1, 0, 1, 4}},
             {"baseType", {0, 1, 0, 1, 3}}, {"rowType", {0, 1, 0, 1, 2}}},
            [](KivBL2Data& d, Rng& rng) { d.generalGroup.loadings.setLength(pick(rng, 0, 3)); }),
        kindCase<KivBL3Data, KivNorvikBL3Reader>(
            "BL3", KivNorvikFileWriter::eFormatBL3,
            {{"loadings[0].type", kLoadingTypes}, {"loadings[1].type", kLoadingTypes},
             {"loadings[2].type", kLoadingTypes}, {"typeAtt", {0, 1, 0, 1, 3, kUnset}},
             {"section.type", {0, 1, 0, 1, 7}}, {"dimension.shape", {1, 3, 4, 7, 8, 2}},
             {"connecType", {0, 1, 2, 3, 4, 9}}, {"connecPos", {0, 1, 2, 5}},
             {"boltPrim.kind", {0, 0, 0, 1, 2}}, {"boltSec.kind", {1, 1, 1, 0, 2}},
             {"notchSup.kind", {0, 0, 4, 7}}, {"notchInf.kind", {1, 1, 1, 6}},
             {"notchLat.kind", {2, 2, 0}}, {"notchSupIni.kind", {3, 3, 3, -1}},
             {"notchInfIni.kind", {4, 4, 4, 5}}, {"notchLatIni.kind", {5, 5, 5, 1}},
             {"att.noeNum[1]", {7, 8, 9, kUnset}}},
            [](KivBL3Data& d, Rng& rng) {
                d.generalGroup.loadings.setLength(pick(rng, 0, 3));
                (void)rng;
            }),
    };
}

} // namespace

// Every value that changes on the way through the file and back is listed by
// the record check, and nothing else is.
TEST(RecordCheck, ListsExactlyTheValuesThatDoNotComeBack)
{
    const std::string dir = tempDir();
    for (const KindCase& kind : kinds()) {
        Rng rng(20261207u);
        int listed = 0;
        for (int round = 0; round < 400; ++round) {
            std::set<std::string> changed, reported;
            std::string listing;
            kind.run(rng, dir, changed, reported, listing);
            listed += static_cast<int>(reported.size());
            std::set<std::string> missing, extra;
            for (const auto& p : changed)
                if (!reported.count(p))
                    missing.insert(p);
            for (const auto& p : reported)
                if (!changed.count(p))
                    extra.insert(p);
            ASSERT_TRUE(missing.empty() && extra.empty())
                << kind.name << " round " << round << "\nchanged, not listed:\n" << joined(missing)
                << "listed, unchanged:\n" << joined(extra) << "check:\n" << listing;
        }
        EXPECT_GT(listed, 400) << kind.name << ": the rounds spoil too little";
    }
}
