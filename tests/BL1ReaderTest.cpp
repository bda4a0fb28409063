#include "RecordFields.h"
#include "TestSupport.h"

#include <algorithm>
#include <tuple>

using namespace norvik_test;

// What reading `text` changes in a fresh record: "path=value" in visiting order, paths without their group, "?" unset.
static std::string changes(const std::string& text, const std::string& dir)
{
    KivBL1Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>(text, d, dir));
    const FieldList fresh = flatten(KivBL1Data());
    const std::string undefinedText = "\"" + narrow(KivNorvikData::undefinedString()) + "\"";
    std::string out;
    for (const auto& [path, value] : flatten(d)) {
        const bool undefined = value == "-123456" || value == "-123456.78" || value == undefinedText;
        if (std::find(fresh.begin(), fresh.end(), std::make_pair(path, value)) == fresh.end())
            out +=
                (out.empty() ? "" : " ") + path.substr(path.find('.') + 1) + "=" + (undefined ? "?" : value);
    }
    return out;
}

// Records with every field set (single-word texts, reals of at most three decimals, a name of blanks, commas and
// quotes), written, read back and written again. What a file cannot carry is set as reading gives it: the unchosen
// section and stiffener forms, the column under an ACR group (only con "ACR" comes back), the ACR group under a column.
TEST(BL1Reader, RoundTripOfGeneratedRecords)
{
    std::mt19937 rng(20240611);
    const auto pick = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    const std::string dir = tempDir();
    for (int n = 0; n < 300; ++n) {
        KivBL1Data d;
        d.generalGroup.loadings.setLength(pick(1, 4));
        d.rightTraverse.efforts.setLength(pick(0, 3));
        d.leftTraverse.efforts.setLength(pick(0, 3));
        randomize(d, rng);
        std::string name;
        for (int i = pick(0, 10); i > 0; --i)
            name.push_back("ab Z,\"-1."[pick(0, 8)]);
        d.projectName = KivString(name.c_str());
        d.generalGroup.loadings[0].type =
            pick(0, 1) == 0 ? 2 : -1; // a snow loading: the snow line is written
        KivBL1Data::BL1PotGroup& p = d.potGroup;
        const KivBL1Data::BL1PotGroup unset;
        p.con = KivString("NON");
        p.raiAmeType = pick(0, 1);
        if (p.raiAmeType == 0)
            std::tie(p.raiAmePlaqValue, p.raiAmePlaqNumber) =
                std::tie(unset.raiAmePlaqValue, unset.raiAmePlaqNumber);
        else
            p.raiAmeObliq[0] = p.raiAmeObliq[1] = unset.raiAmeObliq[0];
        for (NorvikGlobalData::BL12Section* s :
             {&p.section, &d.rightTraverse.section, &d.leftTraverse.section}) {
            s->type = pick(0, 1);
            s->profile = s->type == 0 ? s->profile : decltype(s->profile)();
            s->dimension = s->type == 1 ? s->dimension : decltype(s->dimension)();
        }
        if (pick(0, 1) == 0)
            (p = unset).con = KivString("ACR");
        else
            d.acr = KivBL1Data::BL1ACR();
        for (KivBL1Data::BL1Traverse* t : {&d.rightTraverse, &d.leftTraverse}) {
            t->side = t == &d.rightTraverse ? 1 : 0;
            t->bouTra.type = t->raiPotTraSup.position = t->extBoltsSup.position = 0;
            t->bouRen.type = t->raiPotTraInf.position = t->extBoltsInf.position = 1;
        }

        const std::string first = writeToBytes(d, KivNorvikFileWriter::eFormatBL1, dir, "first");
        KivBL1Data back;
        ASSERT_EQ(1, readFromBytes<KivNorvikBL1Reader>(first, back, dir));
        ASSERT_EQ(name, narrow(back.projectName)) << "record " << n;
        ASSERT_EQ(flatten(d), flatten(back)) << "record " << n << "\n"
                                             << describeDifference(flatten(d), flatten(back));
        ASSERT_EQ(first, writeToBytes(back, KivNorvikFileWriter::eFormatBL1, dir, "second"))
            << "record " << n;
    }
}

// Which row a line takes and which of its tokens it reads: a value only when its token is present, a text up to its
// blank, further tokens ignored. The round trip covers every row with all its tokens.
TEST(BL1Reader, TokenRulesOfTheRows)
{
    const std::pair<const char*, const char*> cases[] = {
        {"GEN\n  XY 1.5 2.5", "xy[0]=1.5 xy[1]=2.5"},
        {"GEN\n  LIA a b\n  ACIER\n     \n  UNKNOWN 1", "lia=\"a\""}, // no value, no token, no row: nothing
        {"GEN\n  LIA a\tb \n\tLIA\tc", "lia=\"a\tb\""},               // only the blank separates tokens
        {"GEN\n\tACIER 2\t\n\v LIA a\t\v\r\r", "acier=2 lia=\"a\""},  // any white space around a line
        {"GEN\n  CHA", "loadings[0].number=? loadings[0].text1=? loadings[0].text2=? loadings[0].type=?"},
        {"GEN\n  CHA 3\n  CHA 4 x y",
         "loadings[0].number=3 loadings[0].text1=? loadings[0].text2=? loadings[0].type=? "
         "loadings[1].number=4 loadings[1].text1=\"x\" loadings[1].text2=\"y\" "
         "loadings[1].type=?"},
        {"GEN\n  FIN\n  ACIER 2", "acier=2"}, // an indented FIN ends nothing
        {"GEN\nPOT\n LIA 1 2\nTRA D\n ANG 5\nTRA G\n ANG 6",
         "lia1=1 lia2=2 side=1 ang=5 side=0 ang=6"}, // no FIN
        {"POT\n  PRO\n  I\n  RAI AME", ""},          // the column needs two tokens, its RAI rows three
        {"POT\n  I 1\n  LIA 1 2 3", "section.type=1 section.dimension.dim1=1 lia1=1 lia2=2"},
        {"POT\n  RAI XXX OBLIQ 10 45", "raiAmeType=0 raiAmeObliq[0]=10 raiAmeObliq[1]=45"},
        {"TRA D\n  I\n  BOU\n  RAI POT TRA", "side=1 section.type=1"},
        {"TRA D\n  EFF",
         "side=1 efforts[0].number=? efforts[0].value1=? efforts[0].value2=? efforts[0].value3=?"},
        {"TRA D\n  REN SEM X 4\n  RAI PLA INF", "side=1 extBoltsInf.position=1 renSemInf=4"},
        // A later group of a side replaces it whole; a header with a trailing blank is none.
        {"TRA G\n  ANG 1\n  EFF 1\nFIN\nTRA G\n  DY 2\nFIN\nTRA D \n  ANG 9", "side=0 dy=2"},
        // An ACR group stands for con "ACR": read back, the record writes its ACR group again.
        {"ACR\n  LIA 1 2 3\n  Y 2", "con=\"ACR\" y=2 lia1=1 lia2=2 lia3=3"},
    };
    const std::string dir = tempDir();
    for (const auto& [lines, expected] : cases)
        EXPECT_EQ(expected, changes(std::string(lines) + "\nFIN\n", dir)) << lines;
}
