#include "RecordFields.h"
#include "TestSupport.h"

using namespace norvik_test;

namespace {

std::string write(const KivBL1Data& record, const std::string& dir)
{
    return writeToBytes(record, KivNorvikFileWriter::eFormatBL1, dir);
}

// Every field numbered, the codes set as a host sets them: every line of both
// sides is written, and the snow line once for two snow loadings.
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

// The plaque form, with the codes that choose lines and words off their usual
// values: no snow loading (no snow line), the right side as "TRA G", the left
// with an empty header line and an effort of undefined values; in the right
// side each bolt, stiffener and extension worded by its own code (any code but
// 0 gives "REN" or "INF"), an undefined position without its "BOU EXT" line.
KivBL1Data otherCodes()
{
    KivBL1Data d = everyField("NON", 1);
    d.generalGroup.loadings[0].type = 0;
    d.generalGroup.loadings[1].type = 1;
    d.rightTraverse.side = 0;
    d.rightTraverse.bouTra.type = 7;
    d.rightTraverse.raiPotTraSup.position = 5;
    d.rightTraverse.extBoltsSup.position = 5;
    d.rightTraverse.extBoltsInf.position = KivNorvikData::kUndefinedInteger;
    d.leftTraverse.side = 2;
    d.leftTraverse.efforts[0] = KivBL1Data::BL1Effort();
    return d;
}

int undefinedLike(int) { return KivNorvikData::kUndefinedInteger; }
double undefinedLike(double) { return KivNorvikData::kUndefinedReal; }
KivString undefinedLike(const KivString&) { return KivNorvikData::undefinedString(); }

} // namespace

TEST(BL1Writer, GoldenFiles)
{
    // The reference example, a column and one right beam side, given as loosely
    // formatted lines: the writer's bytes must match the golden file.
    const std::string dir = tempDir();
    KivBL1Data example;
    ASSERT_EQ(1, readFromBytes<KivNorvikBL1Reader>("\"NV_ATT\",\"Hall 2\"\nGEN\n ACIER 235\n CHA 1 A B 0\nFIN\n"
                                                   "POT\n PRO HEA 300\n CON NON\n LIA 1 2\nFIN\nTRA D\n"
                                                   " I 300 150 7.1 10.7 15\n ANG 0\n EFF 1 12.5 -3 40\nFIN\n",
                                                   example, dir));
    expectGolden(write(example, dir), "bl1_example.bl1");
    expectGolden(write(KivBL1Data(), dir), "bl1_default.bl1");
    expectGolden(write(everyField("NON", 0), dir), "bl1_every_field_obliq.bl1");
    expectGolden(write(otherCodes(), dir), "bl1_every_field_plaq.bl1");
    expectGolden(write(everyField("ACR", 1), dir), "bl1_every_field_acr.bl1");

    // Only "NON" and "ACR", exactly, write a column or ACR group; nothing is written without an open file.
    const std::string lower = write(everyField("non", 0), dir);
    EXPECT_EQ(0, countLinesStartingWith(lower, "POT") + countLinesStartingWith(lower, "ACR"));
    EXPECT_EQ(0, KivNorvikFileWriter().write(example));
}

// A line is written only when all its values are set: clearing any one field of
// an every-field record drops at most that field's line (always, for the codes
// of a side, which are not printed) and never writes an undefined value, except
// in the CHA and EFF lines, which are written without a test.
TEST(BL1Writer, LinesNeedAllTheirValues)
{
    const std::string dir = tempDir();
    for (const KivBL1Data& full : {everyField("NON", 0), everyField("NON", 1), everyField("ACR", 1)}) {
        const size_t fullLines = splitLines(write(full, dir)).size();
        for (int which = 0;; ++which) {
            KivBL1Data d(full);
            std::string cleared;
            int index = 0;
            auto clear = [&](const std::string& path, auto& value) {
                if (index++ == which) {
                    value = undefinedLike(value);
                    cleared = path;
                }
            };
            visitFields(d, clear);
            if (cleared.empty())
                break;
            const std::string bytes = write(d, dir);
            const size_t lines = splitLines(bytes).size();
            const auto has = [&](const char* part) { return cleared.find(part) != std::string::npos; };
            const bool writesUndefined = bytes.find("-123456") != bytes.npos
                                         || bytes.find(narrow(KivNorvikData::undefinedString())) != bytes.npos;
            EXPECT_TRUE(has("loadings[") || has("efforts[") || !writesUndefined) << cleared;
            // con and side decide whole groups; a code of a side always drops its line.
            const bool code = has("Traverse.") && (has(".type") || has(".position"));
            EXPECT_TRUE(has("potGroup.con") || has(".side") || lines + 1 == fullLines
                        || (!code && lines == fullLines))
                << cleared;
        }
    }
}
