#include <NorvikExport.h>

#include <cstdio>

// Writes a column base and reads it back through the installed or embedded library.
int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    KivBL2Data base;
    base.setProjectName(KivString("Consumer"));
    base.columnGroup.mat = KivString("S235");
    KivNorvikFileWriter writer;
    const KivString path(argv[1]);
    if (!writer.startWrite(path, KivNorvikFileWriter::eFormatBL2) || !writer.write(base) ||
        !writer.endWrite())
        return 1;
    KivBL2Data read;
    KivNorvikBL2Reader reader(path + KivString(".bl2"));
    if (!reader.readFile(read))
        return 1;
    std::printf("%ls\n", read.columnGroup.mat.getStringW());
    return read.columnGroup.mat == KivString("S235") ? 0 : 1;
}
