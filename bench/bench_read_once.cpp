// Reads one file once with the reader of its kind, for instruction counts
// under callgrind: bench_read_once <1..5> <file>. Built twice, with findings
// recorded and with -DNORVIK_BENCH_NO_FINDINGS=ON, the two counts give the
// cost of recording them.
#include <NorvikExport.h>

#include <cstdio>
#include <cstdlib>

namespace {

template <class Reader, class Record>
int readOnce(const char* path)
{
    Record record;
    Reader reader{KivString(path)};
    const int result = reader.readFile(record);
    std::printf("result %d, findings %d\n", result, reader.getFindings().getLength());
    return result == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_read_once <kind 1..5> <file>\n");
        return 2;
    }
    switch (std::atoi(argv[1])) {
    case 1: return readOnce<KivNorvikBL1Reader, KivBL1Data>(argv[2]);
    case 2: return readOnce<KivNorvikBL2Reader, KivBL2Data>(argv[2]);
    case 3: return readOnce<KivNorvikBL3Reader, KivBL3Data>(argv[2]);
    case 4: return readOnce<KivNorvikBL4Reader, KivBL4Data>(argv[2]);
    case 5: return readOnce<KivNorvikBL5Reader, KivBL5Data>(argv[2]);
    default: return 2;
    }
}
