// Reads one file with the reader of its kind, for instruction counts under
// callgrind: bench_read_once <1..5> <file> [<out>]; with <out>, then writes
// the record to <out> plus the kind's extension. The file is read once
// before, so that measuredRead() counts a read as a host's thousandth read
// of a file does: the row indexes the first read of a process makes are
// not in it. Built twice, with findings recorded and with
// -DNORVIK_BENCH_NO_FINDINGS=ON, the two counts give the cost of recording them.
#include <NorvikExport.h>

#include <cstdio>
#include <cstdlib>

namespace {

template <class Reader, class Record>
[[gnu::noinline]] int measuredRead(Reader& reader, Record& record)
{
    return reader.readFile(record);
}

template <class Reader, class Record>
int readOnce(const char* path, const char* out, KivNorvikFileWriter::eNorvikFormatFile format)
{
    {
        Record warm;
        Reader(KivString(path)).readFile(warm);
    }
    Record record;
    int result;
    {
        Reader reader{KivString(path)};
        result = measuredRead(reader, record);
        std::printf("result %d, findings %d\n", result, reader.getFindings().getLength());
    }
    if (out != nullptr && result == 1) {
        KivNorvikFileWriter writer;
        writer.startWrite(KivString(out), format);
        writer.write(record);
        result = writer.endWrite();
        std::printf("written %d\n", result);
    }
    return result == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: bench_read_once <kind 1..5> <file> [<out>]\n");
        return 2;
    }
    const char* out = argc == 4 ? argv[3] : nullptr;
    using W = KivNorvikFileWriter;
    switch (std::atoi(argv[1])) {
    case 1: return readOnce<KivNorvikBL1Reader, KivBL1Data>(argv[2], out, W::eFormatBL1);
    case 2: return readOnce<KivNorvikBL2Reader, KivBL2Data>(argv[2], out, W::eFormatBL2);
    case 3: return readOnce<KivNorvikBL3Reader, KivBL3Data>(argv[2], out, W::eFormatBL3);
    case 4: return readOnce<KivNorvikBL4Reader, KivBL4Data>(argv[2], out, W::eFormatBL4);
    case 5: return readOnce<KivNorvikBL5Reader, KivBL5Data>(argv[2], out, W::eFormatBL5);
    default: return 2;
    }
}
