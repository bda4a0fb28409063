#include "RecordFields.h"
#include "TestSupport.h"

using namespace norvik_test;

namespace {

constexpr auto kBL1 = KivNorvikFileWriter::eFormatBL1;

// Every field numbered, codes as a host sets them: every line of both sides, one snow line for two snow loadings.
KivBL1Data everyField(const char* con, int raiAmeType)
{
    KivBL1Data d;
    d.generalGroup.loadings.setLength(2);
    d.rightTraverse.efforts.setLength(2);
    d.leftTraverse.efforts.setLength(1);
    numberFields(d);
    d.projectName = KivString("Hall 2, north");
    d.generalGroup.loadings[0].type = -1;
    d.generalGroup.loadings[1].type = 2;
    d.potGroup.con = KivString(con);
    d.potGroup.raiAmeType = raiAmeType;
    d.potGroup.section.type = d.leftTraverse.section.type = d.leftTraverse.side = 0;
    d.rightTraverse.section.type = d.rightTraverse.side = 1;
    for (KivBL1Data::BL1Traverse* t : {&d.rightTraverse, &d.leftTraverse}) {
        t->bouTra.type = t->raiPotTraSup.position = t->extBoltsSup.position = 0;
        t->bouRen.type = t->raiPotTraInf.position = t->extBoltsInf.position = 1;
    }
    return d;
}

} // namespace

TEST(BL1Writer, GoldenFiles)
{
    // The reference example (a column and one right beam side) from loosely formatted lines.
    const std::string dir = tempDir();
    KivBL1Data example;
    ASSERT_EQ(1,
              readFromBytes<KivNorvikBL1Reader>("\"NV_ATT\",\"Hall 2\"\nGEN\n ACIER 235\n CHA 1 A B 0\nFIN\n"
                                                "POT\n PRO HEA 300\n CON NON\n LIA 1 2\nFIN\nTRA D\n"
                                                " I 300 150 7.1 10.7 15\n ANG 0\n EFF 1 12.5 -3 40\nFIN\n",
                                                example, dir));
    expectGolden(writeToBytes(example, kBL1, dir), "bl1_example.bl1");
    expectGolden(writeToBytes(KivBL1Data(), kBL1, dir), "bl1_default.bl1");
    expectGolden(writeToBytes(everyField("NON", 0), kBL1, dir), "bl1_every_field_obliq.bl1");
    expectGolden(writeToBytes(everyField("ACR", 1), kBL1, dir), "bl1_every_field_acr.bl1");

    // The plaque form, codes off their usual values: no snow line; right side "TRA G", bolts, stiffeners, extensions
    // worded by their codes (any but 0: "REN", "INF"), no "BOU EXT" if unset; left side: empty header, unset effort.
    KivBL1Data plaq = everyField("NON", 1);
    plaq.generalGroup.loadings[0].type = 0;
    plaq.generalGroup.loadings[1].type = 1;
    plaq.rightTraverse.side = 0;
    plaq.rightTraverse.bouTra.type = 7;
    plaq.rightTraverse.raiPotTraSup.position = plaq.rightTraverse.extBoltsSup.position = 5;
    plaq.rightTraverse.extBoltsInf.position = KivNorvikData::kUndefinedInteger;
    plaq.leftTraverse.side = 2;
    plaq.leftTraverse.efforts[0] = KivBL1Data::BL1Effort();
    expectGolden(writeToBytes(plaq, kBL1, dir), "bl1_every_field_plaq.bl1");

    // Only "NON" and "ACR", exactly, write a column or ACR group; nothing is written without an open file.
    const std::string lower = writeToBytes(everyField("non", 0), kBL1, dir);
    EXPECT_EQ(0, countLinesStartingWith(lower, "POT") + countLinesStartingWith(lower, "ACR"));
    EXPECT_EQ(0, KivNorvikFileWriter().write(example));
}

// A line is written only when all its values are set: clearing any one field of an every-field record drops at most
// its line (always, for the unprinted codes of a side) and writes no undefined value but in the untested CHA and EFF.
TEST(BL1Writer, LinesNeedAllTheirValues)
{
    const std::string dir = tempDir();
    for (const KivBL1Data& full : {everyField("NON", 0), everyField("NON", 1), everyField("ACR", 1)}) {
        const size_t fullLines = splitLines(writeToBytes(full, kBL1, dir)).size();
        for (int which = 0;; ++which) {
            KivBL1Data d(full);
            const std::string cleared = clearField(d, which);
            if (cleared.empty())
                break;
            const std::string bytes = writeToBytes(d, kBL1, dir);
            const size_t dropped = fullLines - splitLines(bytes).size();
            const auto has = [&](const char* part) { return cleared.find(part) != std::string::npos; };
            const bool writesUndefined = bytes.find("-123456") != bytes.npos ||
                                         bytes.find(narrow(KivNorvikData::undefinedString())) != bytes.npos;
            EXPECT_TRUE(has("loadings[") || has("efforts[") || !writesUndefined) << cleared;
            // con and side decide whole groups; a code of a side always drops its line.
            const bool code = has("Traverse.") && (has(".type") || has(".position"));
            EXPECT_TRUE(has("potGroup.con") || has(".side") || dropped == 1 || (!code && dropped == 0))
                << cleared;
        }
    }
}
