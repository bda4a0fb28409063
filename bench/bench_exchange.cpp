// Speed and memory of reading and writing exchange files, each beside its
// baselines in the same run:
// - bare import: getline into one buffer, split in place, strtol/strtod;
// - bare export: fprintf of each line with the writer's formats;
// - raw limit: the whole file read into memory, or written with one fwrite;
// - per file: open + read + close, open + write + close of the same bytes.
// The files live on /dev/shm. The peak heap is counted by the allocation
// functions below, which replace malloc and operator new, during one read
// outside the timed iterations.
#include <NorvikExport.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
}

namespace {

std::atomic<long long> heapNow{0};
std::atomic<long long> heapPeak{0};
// On only while a benchmark measures the heap, outside its timed iterations:
// the counting's own atomic operations would otherwise be timed with the code.
std::atomic<bool> counting{false};

void counted(void* p)
{
    if (p == nullptr || !counting.load(std::memory_order_relaxed))
        return;
    const long long now = heapNow += static_cast<long long>(malloc_usable_size(p));
    long long peak = heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now))
        ;
}

void uncounted(void* p)
{
    if (p != nullptr && counting.load(std::memory_order_relaxed))
        heapNow -= static_cast<long long>(malloc_usable_size(p));
}

} // namespace

extern "C" {
void* malloc(size_t size)
{
    void* p = __libc_malloc(size);
    counted(p);
    return p;
}
void* calloc(size_t count, size_t size)
{
    void* p = __libc_calloc(count, size);
    counted(p);
    return p;
}
void* realloc(void* old, size_t size)
{
    uncounted(old);
    void* p = __libc_realloc(old, size);
    counted(p != nullptr ? p : (size != 0 ? old : nullptr));
    return p;
}
void free(void* p)
{
    uncounted(p);
    __libc_free(p);
}
}

void* operator new(size_t size)
{
    if (void* p = malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size != 0 ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size != 0 ? size : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

namespace {

const std::string kDir = "/dev/shm/norvik_bench";

std::string makeBl1(int lines)
{
    std::string text = "\"NV_ATT\",\"Bench\"\nTRA D\n";
    char line[80];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(line, sizeof line, "  EFF %d 12.500 -3.000 40.125\n", i);
        text += line;
    }
    return text + "FIN\n";
}

std::string makeBl2(int lines)
{
    std::string text = "\"NV_ATT\",\"Bench\"\nGEN\n";
    char line[80];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(line, sizeof line, "  CHA  %d G PERM 0\n", i);
        text += line;
    }
    return text + "FIN\n";
}

// A general group of lines that each give findings: repeated keywords with
// other values, words that are no numbers, unknown keywords.
std::string makeFaulty(int lines)
{
    std::string text = "\"NV_ATT\",\"Bench\"\nGEN\n";
    char line[80];
    for (int i = 0; i < lines; ++i) {
        if (i % 3 == 0)
            std::snprintf(line, sizeof line, "  ACIER %d.500\n", i);
        else if (i % 3 == 1)
            std::snprintf(line, sizeof line, "  NEIGE x%d\n", i);
        else
            std::snprintf(line, sizeof line, "  ACEIR %d\n", i);
        text += line;
    }
    return text + "FIN\n";
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void spit(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string bigFile(int kind, int lines)
{
    return kDir + "/bl" + std::to_string(kind) + "_" + std::to_string(lines) + ".bl" + std::to_string(kind);
}

const char* const kGolden[] = {"bl1_every_field_plaq.bl1", "bl2_full.bl2", "bl3_full.bl3", "bl4_filled.bl4",
                               "bl5_main.bl5"};

std::string goldenFile(int kind) { return kDir + "/" + kGolden[kind - 1]; }

std::string faultyFile(int lines) { return kDir + "/faulty_" + std::to_string(lines) + ".bl1"; }

// 50 MB of one line given again and again, and a clean file of as many bytes.
const std::string kRepeatedFile = kDir + "/repeated_50mb.bl1";
const std::string kCleanFile = kDir + "/clean_50mb.bl1";
constexpr size_t kCheckBytes = 50u << 20;

void makeFiles()
{
    std::system(("mkdir -p " + kDir).c_str());
    for (int lines : {10000, 100000, 1000000}) {
        spit(bigFile(1, lines), makeBl1(lines));
        spit(bigFile(2, lines), makeBl2(lines));
        spit(faultyFile(lines), makeFaulty(lines));
    }
    for (int kind = 1; kind <= 5; ++kind)
        spit(goldenFile(kind), slurp(std::string(NORVIK_GOLDEN_DIR) + "/" + kGolden[kind - 1]));
    std::string repeated = "\"NV_ATT\",\"Bench\"\nGEN\n";
    while (repeated.size() < kCheckBytes)
        repeated += "  ACIER 355.000\n";
    spit(kRepeatedFile, repeated + "FIN\n");
    std::string clean = makeBl1(0);
    clean.resize(clean.size() - 4); // "FIN\n"
    char line[80];
    for (int i = 0; clean.size() < kCheckBytes; ++i) {
        std::snprintf(line, sizeof line, "  EFF %d 12.500 -3.000 40.125\n", i);
        clean += line;
    }
    spit(kCleanFile, clean + "FIN\n");
}

// The reader and record of each kind.
template <int Kind>
struct KindOf;
template <>
struct KindOf<1>
{
    using Reader = KivNorvikBL1Reader;
    using Record = KivBL1Data;
    static constexpr auto format = KivNorvikFileWriter::eFormatBL1;
};
template <>
struct KindOf<2>
{
    using Reader = KivNorvikBL2Reader;
    using Record = KivBL2Data;
    static constexpr auto format = KivNorvikFileWriter::eFormatBL2;
};
template <>
struct KindOf<3>
{
    using Reader = KivNorvikBL3Reader;
    using Record = KivBL3Data;
    static constexpr auto format = KivNorvikFileWriter::eFormatBL3;
};
template <>
struct KindOf<4>
{
    using Reader = KivNorvikBL4Reader;
    using Record = KivBL4Data;
    static constexpr auto format = KivNorvikFileWriter::eFormatBL4;
};
template <>
struct KindOf<5>
{
    using Reader = KivNorvikBL5Reader;
    using Record = KivBL5Data;
    static constexpr auto format = KivNorvikFileWriter::eFormatBL5;
};

template <int Kind>
void readInto(const std::string& path, typename KindOf<Kind>::Record& record)
{
    typename KindOf<Kind>::Reader reader{KivString(path.c_str())};
    if (reader.readFile(record) != 1)
        std::abort();
}

// --- import of the long files ---------------------------------------------

template <int Kind>
void BM_Import(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const std::string path = bigFile(Kind, lines);
    const double bytes = static_cast<double>(slurp(path).size());
    double extraPeak = 0, recordBytes = 0;
    {
        typename KindOf<Kind>::Record warm; // what a first read makes once
        readInto<Kind>(path, warm);
    }
    counting = true; // one read with the heap counted, then the timed ones without
    {
        const long long before = heapNow;
        typename KindOf<Kind>::Record record;
        heapPeak = heapNow.load();
        readInto<Kind>(path, record);
        const long long held = heapNow - before; // the record's, the reader gone
        extraPeak = static_cast<double>(heapPeak - before - held);
        recordBytes = static_cast<double>(held);
    }
    counting = false;
    for (auto _ : state) {
        typename KindOf<Kind>::Record record;
        readInto<Kind>(path, record);
        benchmark::DoNotOptimize(&record);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["peak_per_byte"] = extraPeak / bytes;
    state.counters["record_per_line"] = recordBytes / lines;
}

// A read whose every line gives a finding, as a checker reads it: the
// findings asked for and counted.
void BM_ImportFaulty(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const std::string path = faultyFile(lines);
    const double bytes = static_cast<double>(slurp(path).size());
    const auto check = [&](KivBL1Data& record) {
        KivNorvikBL1Reader reader{KivString(path.c_str())};
        if (reader.readFile(record) != 1)
            std::abort();
        benchmark::DoNotOptimize(reader.getFindings().getLength());
        return reader.countFindings(KivNorvikFinding::Error);
    };
    double extraPeak = 0, recordBytes = 0;
    int errors = 0;
    {
        KivBL1Data warm;
        check(warm);
    }
    counting = true;
    {
        const long long before = heapNow;
        KivBL1Data record;
        heapPeak = heapNow.load();
        errors = check(record);
        const long long held = heapNow - before;
        extraPeak = static_cast<double>(heapPeak - before - held);
        recordBytes = static_cast<double>(held);
    }
    counting = false;
    for (auto _ : state) {
        KivBL1Data record;
        benchmark::DoNotOptimize(check(record));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["peak_per_byte"] = extraPeak / bytes;
    state.counters["record_per_line"] = recordBytes / lines;
    state.counters["errors"] = errors;
}

// A check of 50 MB: the repeated line (arg 0), each repeat a finding, beside
// the clean file (arg 1).
void BM_Check(benchmark::State& state)
{
    const std::string& path = state.range(0) == 0 ? kRepeatedFile : kCleanFile;
    for (auto _ : state) {
        KivBL1Data record;
        KivNorvikBL1Reader reader{KivString(path.c_str())};
        if (reader.readFile(record) != 1)
            std::abort();
        benchmark::DoNotOptimize(reader.getFindings().getLength());
        benchmark::DoNotOptimize(reader.countFindings(KivNorvikFinding::Warning));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kCheckBytes));
}

long long bareToken(char* token)
{
    if ((*token >= '0' && *token <= '9') || *token == '-') {
        if (std::strchr(token, '.') != nullptr)
            return static_cast<long long>(std::strtod(token, nullptr) * 1000);
        return std::strtol(token, nullptr, 10);
    }
    return static_cast<long long>(std::strlen(token));
}

void BM_ImportBare(benchmark::State& state)
{
    const std::string path = bigFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const double bytes = static_cast<double>(slurp(path).size());
    char* buffer = nullptr;
    size_t capacity = 0;
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "r");
        long long sum = 0;
        ssize_t length;
        while ((length = getline(&buffer, &capacity, file)) > 0) {
            char* p = buffer;
            char* end = buffer + length;
            while (p < end) {
                while (p < end && (*p == ' ' || *p == '\n'))
                    ++p;
                char* token = p;
                while (p < end && *p != ' ' && *p != '\n')
                    ++p;
                if (token == p)
                    break;
                *p++ = 0;
                sum += bareToken(token);
            }
        }
        std::fclose(file);
        benchmark::DoNotOptimize(sum);
    }
    std::free(buffer);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void readAll(const std::string& path, std::string& into);

// The bare loop over the whole file held in memory, as the library holds it:
// read at once, then split and converted in place.
void BM_ImportBareWhole(benchmark::State& state)
{
    const std::string path = bigFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::string content;
    for (auto _ : state) {
        std::string whole;
        readAll(path, whole);
        long long sum = 0;
        char* p = &whole[0];
        char* end = p + whole.size();
        while (p < end) {
            while (p < end && (*p == ' ' || *p == '\n'))
                ++p;
            char* token = p;
            while (p < end && *p != ' ' && *p != '\n')
                ++p;
            if (token == p)
                break;
            if (p < end)
                *p++ = 0;
            sum += bareToken(token);
        }
        benchmark::DoNotOptimize(sum);
        content.swap(whole);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * content.size()));
}

void readAll(const std::string& path, std::string& into)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    into.resize(static_cast<size_t>(::lseek(fd, 0, SEEK_END)));
    ::lseek(fd, 0, SEEK_SET);
    size_t done = 0;
    ssize_t n;
    while (done < into.size() && (n = ::read(fd, &into[done], into.size() - done)) > 0)
        done += static_cast<size_t>(n);
    ::close(fd);
}

void BM_ImportRaw(benchmark::State& state)
{
    const std::string path = bigFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::string content;
    for (auto _ : state) {
        std::string fresh;
        readAll(path, fresh);
        benchmark::DoNotOptimize(fresh.data());
        content.swap(fresh);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * content.size()));
}

// --- export of the long files ---------------------------------------------

template <int Kind>
void BM_Export(benchmark::State& state)
{
    typename KindOf<Kind>::Record record;
    readInto<Kind>(bigFile(Kind, static_cast<int>(state.range(0))), record);
    const std::string base = kDir + "/out_export";
    for (auto _ : state) {
        KivNorvikFileWriter writer;
        writer.startWrite(KivString(base.c_str()), KindOf<Kind>::format);
        writer.write(record);
        if (writer.endWrite() != 1)
            std::abort();
    }
    const std::string out = slurp(base + ".bl" + std::to_string(Kind));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

// fprintf of the same lines with the writer's formats.
void BM_ExportBare(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const int lines = static_cast<int>(state.range(1));
    const std::string path = kDir + "/out_bare";
    long long bytes = 0;
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "w");
        std::fprintf(file, "\"NV_ATT\",\"%s\"\n%s\n", "Bench", kind == 1 ? "TRA D" : "GEN");
        for (int i = 0; i < lines; ++i) {
            if (kind == 1)
                std::fprintf(file, "  EFF %d %.3f %.3f %.3f\n", i, 12.5, -3.0, 40.125);
            else
                std::fprintf(file, "  CHA %3d %s %s %d\n", i, "G", "PERM", 0);
        }
        std::fprintf(file, "FIN\n");
        bytes = std::ftell(file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_ExportRaw(benchmark::State& state)
{
    const std::string text =
        slurp(bigFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    const std::string path = kDir + "/out_raw";
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "w");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// --- per file: the fully filled golden files ------------------------------

template <int Kind>
void BM_FileImport(benchmark::State& state)
{
    const std::string path = goldenFile(Kind);
    for (auto _ : state) {
        typename KindOf<Kind>::Record record;
        readInto<Kind>(path, record);
        benchmark::DoNotOptimize(&record);
    }
}

void BM_FileRead(benchmark::State& state)
{
    const std::string path = goldenFile(static_cast<int>(state.range(0)));
    char buffer[65536];
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        benchmark::DoNotOptimize(n);
    }
}

template <int Kind>
void BM_FileExport(benchmark::State& state)
{
    typename KindOf<Kind>::Record record;
    readInto<Kind>(goldenFile(Kind), record);
    const std::string base = kDir + "/out_file";
    for (auto _ : state) {
        KivNorvikFileWriter writer;
        writer.startWrite(KivString(base.c_str()), KindOf<Kind>::format);
        writer.write(record);
        if (writer.endWrite() != 1)
            std::abort();
    }
}

void BM_FileWrite(benchmark::State& state)
{
    const std::string text = slurp(goldenFile(static_cast<int>(state.range(0))));
    const std::string path = kDir + "/out_file_raw";
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const ssize_t n = ::write(fd, text.data(), text.size());
        ::close(fd);
        benchmark::DoNotOptimize(n);
    }
}

// The least a replace that keeps the old file until the new one is complete
// costs: the same bytes through a temporary file renamed over the target,
// with one look at the target first, in plain system calls.
void BM_FileReplace(benchmark::State& state)
{
    const std::string text = slurp(goldenFile(static_cast<int>(state.range(0))));
    const std::string path = kDir + "/out_file_replace";
    const std::string temporary = kDir + "/.out_file_replace.abcdef.tmp";
    spit(path, text);
    for (auto _ : state) {
        struct stat status;
        ::lstat(path.c_str(), &status);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        const ssize_t n = ::write(fd, text.data(), text.size());
        ::close(fd);
        ::rename(temporary.c_str(), path.c_str());
        benchmark::DoNotOptimize(n);
    }
}

// Headers without "FIN": each group ends at the next header, so the time grows linearly.
void BM_ReadGenWithoutFin(benchmark::State& state)
{
    std::string text = "GEN\n";
    for (int i = 0; i < state.range(0); ++i)
        text += "GEN\n";
    const std::string path = kDir + "/gen_without_fin.bl1";
    spit(path, text);
    for (auto _ : state) {
        KivBL1Data data;
        readInto<1>(path, data);
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

#define NORVIK_SIZES ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
#define NORVIK_KIND_SIZES                                                                                    \
  ->Args({1, 10000})                                                                                         \
      ->Args({1, 100000})                                                                                    \
      ->Args({1, 1000000})                                                                                   \
      ->Args({2, 10000})                                                                                     \
      ->Args({2, 100000})                                                                                    \
      ->Args({2, 1000000})                                                                                   \
      ->Unit(benchmark::kMillisecond)

BENCHMARK_TEMPLATE(BM_Import, 1) NORVIK_SIZES;
BENCHMARK_TEMPLATE(BM_Import, 2) NORVIK_SIZES;
BENCHMARK(BM_ImportBare) NORVIK_KIND_SIZES;
BENCHMARK(BM_ImportBareWhole) NORVIK_KIND_SIZES;
BENCHMARK(BM_ImportFaulty) NORVIK_SIZES;
BENCHMARK(BM_Check)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportRaw) NORVIK_KIND_SIZES;
BENCHMARK_TEMPLATE(BM_Export, 1) NORVIK_SIZES;
BENCHMARK_TEMPLATE(BM_Export, 2) NORVIK_SIZES;
BENCHMARK(BM_ExportBare) NORVIK_KIND_SIZES;
BENCHMARK(BM_ExportRaw) NORVIK_KIND_SIZES;
BENCHMARK_TEMPLATE(BM_FileImport, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileImport, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileImport, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileImport, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileImport, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FileRead)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileExport, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileExport, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileExport, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileExport, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FileExport, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FileWrite)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FileReplace)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadGenWithoutFin)
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 18)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

// `norvik_bench --make-files` writes the files and ends; otherwise they are
// written first, then the benchmarks run.
int main(int argc, char** argv)
{
    makeFiles();
    if (argc == 2 && std::strcmp(argv[1], "--make-files") == 0) {
        std::printf("%s\n", kDir.c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
