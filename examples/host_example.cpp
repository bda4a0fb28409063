// A host's use of the library: fill a record of each kind, write its exchange
// file, and read the readable kinds (BL1, BL2, BL3) back.
#include <NorvikExport.h>

#include <cstdio>
#include <string>

namespace {

template <class Record>
bool writeFile(const Record& record, const std::string& base, KivNorvikFileWriter::eNorvikFormatFile kind)
{
    KivNorvikFileWriter writer;
    if (!writer.startWrite(KivString(base.c_str()), kind)) {
        std::fprintf(stderr, "cannot create %s.%s\n", base.c_str(), KivNorvikFileWriter::extension(kind));
        return false;
    }
    const int written = writer.write(record);
    const int closed = writer.endWrite();
    std::printf("wrote %s.%s\n", base.c_str(), KivNorvikFileWriter::extension(kind));
    return written && closed;
}

KivBL1Data momentConnection()
{
    KivBL1Data d;
    d.setProjectName(KivString("Hall 2"));
    d.generalGroup.acier = 235.0;
    NorvikGlobalData::GenLoading permanent;
    permanent.number = 1;
    permanent.text1 = KivString("G");
    permanent.text2 = KivString("perm");
    permanent.type = 0;
    d.generalGroup.loadings.append(permanent);

    d.potGroup.con = KivString("NON");
    d.potGroup.section.type = 0;
    d.potGroup.section.profile.text1 = KivString("HEA");
    d.potGroup.section.profile.text2 = KivString("300");
    d.potGroup.lia1 = 1;
    d.potGroup.lia2 = 2;

    KivBL1Data::BL1Traverse& beam = d.rightTraverse;
    beam.side = 1;
    beam.section.type = 0;
    beam.section.profile.text1 = KivString("IPE");
    beam.section.profile.text2 = KivString("360");
    beam.ang = 0.0;
    KivBL1Data::BL1Effort effort;
    effort.number = 1;
    effort.value1 = 12.5;
    effort.value2 = -3.0;
    effort.value3 = 40.0;
    beam.efforts.append(effort);
    beam.bouTra.type = 0;
    beam.bouTra.value1 = 90.0;
    beam.bouTra.value2 = 120.0;
    beam.bouTra.number = 4;
    return d;
}

KivBL2Data columnBase()
{
    KivBL2Data d;
    d.setProjectName(KivString("Hall 2"));
    d.columnGroup.mat = KivString("S355");
    d.columnGroup.section.type = 0;
    d.columnGroup.section.profile.text1 = KivString("HEB");
    d.columnGroup.section.profile.text2 = KivString("240");
    d.supportGroup.becheProfile.text1 = KivString("HEA");
    d.supportGroup.becheProfile.text2 = KivString("100");
    d.supportGroup.becheProfile.text3 = KivString("S235");
    d.supportGroup.endPlate.value1 = 400.0;
    d.supportGroup.endPlate.value2 = 400.0;
    d.supportGroup.endPlate.value3 = 30.0;
    d.supportGroup.stem.number = 4;
    d.supportGroup.stem.value1 = 24.0;
    d.supportGroup.columnBase.baseType = 1;
    d.supportGroup.columnBase.radiusL.value1 = 150.0;
    d.supportGroup.columnBase.radiusL.value2 = 15.0;
    d.supportGroup.columnBase.rowType = 0;
    d.supportGroup.columnBase.extTige.number = 2;
    d.supportGroup.columnBase.extTige.value1 = 60.0;
    d.supportGroup.columnBase.extTige.value2 = 280.0;
    d.supportGroup.columnBase.extTige.value3 = 60.0;
    return d;
}

KivBL3Data beamAttachment()
{
    KivBL3Data d;
    d.setProjectName(KivString("Hall 2"));
    d.generalGroup.typeAtt = 0;
    d.mainElementGroup.mat = KivString("S235");
    d.secondaryElementGroup.mat = KivString("S235");
    d.secondaryElementGroup.connecType = 3;
    d.secondaryElementGroup.connecPos = 0;
    KivBL3Data::Bolt& bolt = d.secondaryElementGroup.boltSec;
    bolt.kind = 1;
    bolt.value1 = 16.0;
    bolt.number = 2;
    bolt.value2 = 30.0;
    bolt.value3 = 60.0;
    bolt.value4 = 40.0;
    bolt.value5 = 8.8;
    return d;
}

KivBL4Data bracing()
{
    KivBL4Data d;
    d.setProjectName(KivString("Hall 2"));
    d.generalGroup.nbrDiag = 2;
    d.generalGroup.goussetText = KivString("P10");
    d.generalGroup.lia = KivString("hall2");
    d.mainElementGroup.mat = KivString("S235");
    for (int i = 0; i < 2; ++i) {
        d.diagonalElementGroups[i].number = i + 1;
        d.diagonalElementGroups[i].mat = KivString("S235");
    }
    return d;
}

KivBL5Data gussetBracing()
{
    KivBL5Data d;
    d.setProjectName(KivString("Hall 2"));
    d.generalGroup.nbrDiag = 2;
    d.generalGroup.typeAtt = 2;
    d.generalGroup.bouCls = 8.8;
    d.generalGroup.lia = KivString("hall2");
    d.generalGroup.qSoud = KivString("B");
    d.columnGroup.mat = KivString("S355");
    d.diagonalElementGroups[0].mat = d.diagonalElementGroups[1].mat = KivString("S235");
    for (int i = 0; i < 2; ++i)
        d.diagonalElementGroups[i].number = i + 1;
    return d;
}

// Reads a file back and lists what the reader passed over or read
// doubtfully; a file this program wrote has no finding.
template <class Reader, class Record>
bool readBack(const std::string& path, Record& record)
{
    Reader reader{KivString(path.c_str())};
    const int read = reader.readFile(record);
    const KivArray<KivNorvikFinding>& findings = reader.getFindings();
    for (int i = 0; i < findings.getLength(); ++i) {
        const KivNorvikFinding& f = findings[i];
        std::fprintf(stderr, "%s:%d: %s: %ls [%s]\n", path.c_str(), f.line,
                     KivNorvikFinding::severityName(f.severity), f.message.getStringW(), f.code);
    }
    if (!read)
        return false;
    std::printf("read %s: project \"%ls\"\n", path.c_str(), record.getProjectName().getStringW());
    return findings.getLength() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : ".";
    const std::string base = dir + "/hall2";
    bool ok = writeFile(momentConnection(), base, KivNorvikFileWriter::eFormatBL1) &&
              writeFile(columnBase(), base, KivNorvikFileWriter::eFormatBL2) &&
              writeFile(beamAttachment(), base, KivNorvikFileWriter::eFormatBL3) &&
              writeFile(bracing(), base, KivNorvikFileWriter::eFormatBL4) &&
              writeFile(gussetBracing(), base, KivNorvikFileWriter::eFormatBL5);

    KivBL1Data moment;
    KivBL2Data foot;
    KivBL3Data attachment;
    KivBL4Data braced;
    KivBL5Data gusset;
    ok = ok && readBack<KivNorvikBL1Reader>(base + ".bl1", moment) &&
         readBack<KivNorvikBL2Reader>(base + ".bl2", foot) &&
         readBack<KivNorvikBL3Reader>(base + ".bl3", attachment) &&
         readBack<KivNorvikBL4Reader>(base + ".bl4", braced) &&
         readBack<KivNorvikBL5Reader>(base + ".bl5", gusset);
    if (ok) {
        std::printf("BL1 right beam %ls %ls with %d effort(s)\n",
                    moment.rightTraverse.section.profile.text1.getStringW(),
                    moment.rightTraverse.section.profile.text2.getStringW(),
                    moment.rightTraverse.efforts.getLength());
        std::printf("BL2 column %ls, %d anchor rods of %.1f\n", foot.columnGroup.mat.getStringW(),
                    foot.supportGroup.stem.number, foot.supportGroup.stem.value1);
        std::printf("BL3 secondary bolts %d x %.1f\n", attachment.secondaryElementGroup.boltSec.number,
                    attachment.secondaryElementGroup.boltSec.value1);
    }
    return ok ? 0 : 1;
}
