#include "RecordFields.h"
#include "TestSupport.h"

using namespace norvik_test;

namespace {

constexpr auto kBL3 = KivNorvikFileWriter::eFormatBL3;

KivBL3Data read(const std::string& bytes, const std::string& dir = tempDir())
{
    KivBL3Data record;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>(bytes, record, dir));
    return record;
}

// What `lines` in the group `header` change in a fresh record: "path=value" in field order, paths without their group.
std::string effectOf(const std::string& header, const std::string& lines)
{
    const FieldList fresh = flatten(KivBL3Data());
    const FieldList changed = flatten(read(header + "\n" + lines + "\nFIN\n"));
    std::string effect;
    for (size_t i = 0; i < changed.size() && i < fresh.size(); ++i)
        if (changed[i] != fresh[i])
            effect += (effect.empty() ? "" : " ") + changed[i].first.substr(changed[i].first.find('.') + 1) +
                      "=" + changed[i].second;
    return effect;
}

// What comes back of a written record: all of it but the format's own limits (and a single node number, below).
KivBL3Data carried(KivBL3Data d)
{
    auto& g = d.generalGroup;
    g.typeAtt = g.typeAtt == 0 ? 0 : 1; // any code but 0, unset included, is beam to column
    auto& ref = d.secondaryElementGroup.connecPosZRef;
    ref = std::trunc(ref) + 0.0; // the reference height: its whole-number part
    bool snow = false;           // snow: only written with a loading of type 2 or -1
    for (int i = 0; i < g.loadings.getLength(); ++i)
        snow = snow || g.loadings[i].type == 2 || g.loadings[i].type == -1;
    g.neige = snow ? g.neige : KivNorvikData::kUndefinedReal;
    return d;
}

} // namespace

// Records with every line set, codes from their tables and kinds matching their members.
TEST(BL3Reader, WrittenRecordsComeBackFieldForField)
{
    const std::string dir = tempDir();
    std::mt19937 rng(20240503u);
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    for (int round = 0; round < 200; ++round) {
        KivBL3Data written;
        auto& g = written.generalGroup;
        auto& s = written.secondaryElementGroup;
        g.loadings.setLength(pick(0, 4));
        randomize(written, rng);
        written.projectName = KivString("2nd, hall");
        g.typeAtt = pick(0, 1) ? pick(0, 1) : KivNorvikData::kUndefinedInteger;
        for (int i = 0; i < g.loadings.getLength(); ++i)
            g.loadings[i].type = pick(-1, 2);
        const int shapes[] = {1, 3, 4, 7, 8};
        for (NorvikGlobalData::Section* section :
             {&written.mainElementGroup.section, &s.section, &s.connecSection}) {
            section->type = pick(0, 1); // only the variant of the type is written
            section->dimension.shape = shapes[pick(0, 4)];
            section->profile = section->type == 0 ? section->profile : decltype(section->profile)();
            section->dimension = section->type == 1 ? section->dimension : decltype(section->dimension)();
        }
        s.connecType = pick(0, 4);
        s.connecPos = pick(0, 2);
        s.boltPrim.kind = 0;
        s.boltSec.kind = 1;
        for (KivBL3Data::Bolt* b : {&s.boltPrim, &s.boltSec})
            b->value5 = std::round(b->value5 * 10) / 10 + 0.0; // written with one decimal
        int kind = 0;
        for (auto* n :
             {&s.notchSup, &s.notchInf, &s.notchLat, &s.notchSupIni, &s.notchInfIni, &s.notchLatIni})
            n->kind = kind++;

        const std::string bytes = writeToBytes(written, kBL3, dir);
        const KivBL3Data back = read(bytes, dir);
        const FieldList expected = flatten(carried(written));
        ASSERT_EQ("2nd, hall", narrow(back.projectName));
        ASSERT_EQ(expected, flatten(back)) << describeDifference(expected, flatten(back)) << bytes;
        ASSERT_EQ(bytes, writeToBytes(back, kBL3, dir));

        std::string some; // the file less some of its record lines reads back the same after a write
        for (const std::string& line : splitLines(bytes))
            some += rng() % 5 || line[0] != ' ' ? line + "\n" : "";
        const KivBL3Data part = read(some, dir);
        const FieldList kept = flatten(carried(part)),
                        again = flatten(read(writeToBytes(part, kBL3, dir), dir));
        ASSERT_EQ(kept, again) << describeDifference(kept, again) << some;
    }

    KivBL3Data single; // a single node number is written alone and comes back with a second of 0
    single.generalGroup.att.noeNum[0] = 12;
    EXPECT_EQ(0, read(writeToBytes(single, kBL3, dir), dir).generalGroup.att.noeNum[1]);
}

// Lines once dropped or scrambled: LIA, ATT.NOE_NOM and EFF are read; tokens 5 and 6 of a bolt line are value5 and
// value4, tokens 3 to 7 of a dimension section dim2, dim4, dim1, dim3, dim5. Words compare exactly, case included; a
// word without a code changes nothing; "CHA" alone adds a loading. Attachment-node lines need their exact token count
// and their keyword in capitals, other lines their least count; MAT and EFF belong to other groups.
TEST(BL3Reader, LinesAndTheirEffects)
{
    EXPECT_EQ("typeAtt=1 lia=\"a\" att.noeNom=\"N\"",
              effectOf("GEN", "LIA a\nTYPE_ATT pou/pou\nATT.NOE_NOM N"));
    EXPECT_EQ("lia=\"b.lia\"", effectOf("GEN", "PROJECT_FILE b.lia"));
    EXPECT_EQ("section.type=1 section.dimension.shape=1 section.dimension.dim1=1 section.dimension.dim2=2 "
              "section.dimension.dim3=3 section.dimension.dim4=4 section.dimension.dim5=5",
              effectOf("PRIM", "SECTION  DIM  1 2.000 4.000 1.000 3.000 5.000"));
    EXPECT_EQ(
        "connecType=2 connecSection.type=1 boltSec.kind=1 boltSec.value1=16 boltSec.number=2 boltSec.value2=30 "
        "boltSec.value3=60 boltSec.value4=40 boltSec.value5=8.5 effort.number=5 effort.value1=12.5",
        effectOf("SEC_1",
                 "EFF 5 12.5\nBOU_SEC 16 2 30 60 8.5 40\nCONNEC_SEC  DIM  2 2 4 1 3 5\n" // 2 is no shape
                 "CONNEC_TYPE PLAT_PLIE\nCONNEC_TYPE raid\nCONNEC_POS X"));
    EXPECT_EQ(1, read("GEN\nCHA\nFIN\n").generalGroup.loadings.getLength());

    EXPECT_EQ("att.noeNum[0]=4 att.noeNum[1]=5 att.bar[0]=1 att.bar[1]=2 att.bar[2]=3",
              effectOf("GEN", "ATT.NOE_NUM 4 5 6\nATT.BAR3 1 2 3"));
    EXPECT_EQ("", effectOf("GEN", "ATT.GRP 7 8\natt.grp 7\nATTX 7\nATT.BAR_NB\nATT.BAR_NB 1 2\nATT.NUM 1\n"
                                  "ATT.NUM 1 2 3\nATT.NOE_NUM\nATT.NOE_NOM\nATT.NOE_NOM a b\nTYPE_ATT\nLIA\n"
                                  "ATT.NOE_TITRE a b\nATT.NOE_XYZ 1 2\nATT.NOE_XYZ 1 2 3 4\nATT.BAR1 1 2\n"
                                  "ATT.BAR4 1 2 3 4\nNEIGE\nOPT_CALCUL 1\nMAT S235\nEFF 1 2 3 4"));
    EXPECT_EQ("", effectOf("SEC_1", "BOU_SEC 16 2 30 60 40\nBOU_PRIM 16 2 30 60 40\nGRUG_INF 1 50 100 0\n"
                                    "GRUG_LAT_INI 1 50 100 0\nCONNEC_POSZ 2\nSECTION PRF HEA\n"
                                    "SECTION DIM 1 1 2 3 4\nEFF\nTYPE_ATT POU/POU\nCONNEC_POS"));
}

TEST(BL3Reader, TagLinesAndEmptyFiles)
{
    auto name = [](const std::string& tags) { return narrow(read(tags + "\nGEN\nFIN\n").projectName); };
    EXPECT_EQ("Hall 2", name("\"2006.15c2:Hall 2\",\"NV_ATT\""));
    EXPECT_EQ("2006.15c2Hall", name("\"NV_ATT\",\"2006.15c2Hall\""));
    EXPECT_EQ("Second", name("\"NV_ATT\",\"2006.15c2:First\"\n\n\"NV_ATT\",\"2006.15c2:Second\""));

    // An empty file leaves the host's record alone; any line at all gives the fresh record.
    KivBL3Data host;
    host.generalGroup.neige = 1.5;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>("", host, tempDir()));
    EXPECT_EQ(1.5, host.generalGroup.neige);
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>("GEN\nFIN\n", host, tempDir()));
    EXPECT_EQ(flatten(KivBL3Data()), flatten(host));
    EXPECT_EQ("Project", narrow(host.projectName));
}
