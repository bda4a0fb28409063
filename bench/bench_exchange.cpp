// Speed and memory of reading and writing exchange files, each beside a
// baseline in the same run: reading the same file into std::string lines, and
// writing the same bytes with fwrite.
#include <NorvikExport.h>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string benchDir()
{
    return "/tmp";
}

// A BL1 file with `beams` beam-side groups of `efforts` effort lines each.
std::string makeBl1(int beams, int efforts)
{
    std::string text = "\"NV_ATT\",\"Bench\"\n\nGEN\n  ACIER 235.000\n";
    for (int i = 0; i < 20; ++i)
        text += "  CHA   " + std::to_string(i) + " G perm 0\n";
    text += "  ORIGINE Olmarin 6.1\nFIN\n";
    for (int b = 0; b < beams; ++b) {
        text += b % 2 ? "TRA G\n" : "TRA D\n";
        text += "  PRO IPE 360\n  ANG 0.000\n  RAI POT TRA SUP  12.000 2 8.000\n";
        for (int e = 0; e < efforts; ++e)
            text += "  EFF " + std::to_string(e) + " 12.500 -3.000 40.000\n";
        text += "FIN\n";
    }
    return text;
}

std::string writeInput(const std::string& name, const std::string& text)
{
    const std::string path = benchDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void BM_ReadBl1(benchmark::State& state)
{
    const std::string text = makeBl1(2, static_cast<int>(state.range(0)));
    const std::string path = writeInput("norvik_bench.bl1", text);
    double retained = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        KivBL1Data data;
        KivNorvikBL1Reader reader{KivString(path.c_str())};
        benchmark::DoNotOptimize(reader.readFile(data));
        retained = static_cast<double>(heapInUse() - before);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["heap_per_file_byte"] = retained / static_cast<double>(text.size());
}

void BM_ReadLinesBaseline(benchmark::State& state)
{
    const std::string text = makeBl1(2, static_cast<int>(state.range(0)));
    const std::string path = writeInput("norvik_bench.txt", text);
    double retained = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        std::ifstream in(path);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        benchmark::DoNotOptimize(lines.data());
        retained = static_cast<double>(heapInUse() - before);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["heap_per_file_byte"] = retained / static_cast<double>(text.size());
}

KivBL1Data recordWithEfforts(int efforts)
{
    const std::string path = writeInput("norvik_bench_src.bl1", makeBl1(2, efforts));
    KivBL1Data data;
    KivNorvikBL1Reader reader{KivString(path.c_str())};
    reader.readFile(data);
    return data;
}

void BM_WriteBl1(benchmark::State& state)
{
    const KivBL1Data data = recordWithEfforts(static_cast<int>(state.range(0)));
    const std::string base = benchDir() + "/norvik_bench_out";
    for (auto _ : state) {
        KivNorvikFileWriter writer;
        writer.startWrite(KivString(base.c_str()), KivNorvikFileWriter::eFormatBL1);
        writer.write(data);
        writer.endWrite();
    }
    std::ifstream in(base + ".bl1", std::ios::binary | std::ios::ate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.tellg()));
}

void BM_WriteBytesBaseline(benchmark::State& state)
{
    const std::string text = makeBl1(2, static_cast<int>(state.range(0)));
    const std::string path = benchDir() + "/norvik_bench_raw.txt";
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "w");
        size_t start = 0;
        while (start < text.size()) { // line by line, as the writer does
            const size_t end = text.find('\n', start);
            std::fwrite(text.data() + start, 1, end + 1 - start, file);
            start = end + 1;
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ReadGenWithoutFin(benchmark::State& state)
{
    std::string text = "GEN\n";
    for (int i = 0; i < state.range(0); ++i)
        text += "GEN\n";
    const std::string path = writeInput("norvik_bench_gen.bl1", text);
    for (auto _ : state) {
        KivBL1Data data;
        KivNorvikBL1Reader reader{KivString(path.c_str())};
        benchmark::DoNotOptimize(reader.readFile(data));
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_ReadBl1)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLinesBaseline)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBl1)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBytesBaseline)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadGenWithoutFin)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
