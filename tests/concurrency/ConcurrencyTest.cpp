// Several threads, each with its own readers and writers, import and export
// every golden file of every kind at once, and all export the same shared
// records, while another thread keeps
// replacing the KivAssert handler that the workers report through. Every
// file written must be byte-identical to the single-threaded result. Built
// with ThreadSanitizer in CI, where any data race fails the run.
#include "TestSupport.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

namespace {

using namespace norvik_test;
using Kind = KivNorvikFileWriter::eNorvikFormatFile;

// Reads `bytes` (from the buffer, or from `path` when it is not empty) and
// writes the record to base.<ext>; 1 when every step succeeded.
using RoundTrip =
    std::function<int(const std::string& bytes, const std::string& path, const std::string& base)>;

template <class Reader, class Record>
RoundTrip roundTrip(Kind kind)
{
    return [kind](const std::string& bytes, const std::string& path, const std::string& base) {
        Record record;
        int read = 0;
        if (path.empty()) {
            Reader reader(bytes.data(), bytes.size());
            read = reader.readFile(record);
        } else {
            Reader reader(KivString(path.c_str()));
            read = reader.readFile(record);
        }
        KivNorvikFileWriter writer;
        return read == 1 && writer.startWrite(KivString(base.c_str()), kind) == 1 &&
                       writer.write(record) == 1 && writer.endWrite() == 1
                   ? 1
                   : 0;
    };
}

struct Sample
{
    std::string name;
    std::string path;
    std::string bytes;    // the golden file
    std::string expected; // what a single thread writes from it
    RoundTrip run;
    const char* extension;
    // Writes the one record read from the file, shared by every thread, to base.<ext>.
    std::function<int(const std::string& base)> writeShared;
};

template <class Reader, class Record>
void prepare(Sample& s, Kind kind)
{
    s.run = roundTrip<Reader, Record>(kind);
    auto record = std::make_shared<Record>();
    Reader reader(s.bytes.data(), s.bytes.size());
    EXPECT_EQ(1, reader.readFile(*record)) << s.name;
    std::shared_ptr<const Record> shared = record;
    s.writeShared = [shared, kind](const std::string& base) {
        KivNorvikFileWriter writer;
        return writer.startWrite(KivString(base.c_str()), kind) == 1 && writer.write(*shared) == 1 &&
                       writer.endWrite() == 1
                   ? 1
                   : 0;
    };
}

std::vector<Sample> samples(const std::string& dir)
{
    const struct
    {
        const char* extension;
        void (*prepare)(Sample&, Kind);
        Kind kind;
    } kinds[] = {
        {"bl1", &prepare<KivNorvikBL1Reader, KivBL1Data>, KivNorvikFileWriter::eFormatBL1},
        {"bl2", &prepare<KivNorvikBL2Reader, KivBL2Data>, KivNorvikFileWriter::eFormatBL2},
        {"bl3", &prepare<KivNorvikBL3Reader, KivBL3Data>, KivNorvikFileWriter::eFormatBL3},
        {"bl4", &prepare<KivNorvikBL4Reader, KivBL4Data>, KivNorvikFileWriter::eFormatBL4},
        {"bl5", &prepare<KivNorvikBL5Reader, KivBL5Data>, KivNorvikFileWriter::eFormatBL5},
    };
    std::vector<Sample> result;
    for (const auto& entry : std::filesystem::directory_iterator(NORVIK_GOLDEN_DIR)) {
        const std::string extension = entry.path().extension().string();
        for (const auto& kind : kinds) {
            if (extension != std::string(".") + kind.extension)
                continue;
            Sample s{entry.path().stem().string(),
                     entry.path().string(),
                     readRawBytes(entry.path().string()),
                     "",
                     nullptr,
                     kind.extension,
                     nullptr};
            kind.prepare(s, kind.kind);
            const std::string base = dir + "/reference_" + s.name;
            EXPECT_EQ(1, s.run(s.bytes, "", base)) << s.name;
            s.expected = readRawBytes(base + "." + s.extension);
            result.push_back(s);
        }
    }
    return result;
}

std::atomic<long> reports{0};
void countingHandler(const wchar_t*, const wchar_t*, unsigned int) { ++reports; }
void otherCountingHandler(const wchar_t*, const wchar_t*, unsigned int) { reports += 2; }

int envOr(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

} // namespace

TEST(Concurrency, ThreadsImportAndExportEveryKindAtOnce)
{
    const std::string dir = tempDir();
    const std::vector<Sample> all = samples(dir);
    ASSERT_GE(all.size(), 5u);
    const int threads = envOr("NORVIK_CONCURRENCY_THREADS", 4);
    const int rounds = envOr("NORVIK_CONCURRENCY_ROUNDS", 6);

    const KivAssert::Handler saved = KivAssert::setHandler(&countingHandler);
    std::atomic<bool> done{false};
    std::atomic<long> swaps{0};
    std::thread swapper([&] {
        while (!done.load()) {
            KivAssert::setHandler(swaps.fetch_add(1) % 2 == 0 ? &otherCountingHandler : &countingHandler);
            std::this_thread::yield();
        }
    });

    // Each worker keeps its own failures; the main thread reports them.
    std::vector<std::vector<std::string>> failures(static_cast<size_t>(threads));
    std::vector<int> files(static_cast<size_t>(threads), 0);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            std::vector<std::string>& failed = failures[static_cast<size_t>(t)];
            for (int r = 0; r < rounds; ++r) {
                for (const Sample& s : all) {
                    const std::string base = dir + "/t" + std::to_string(t) + "_" + s.name;
                    // Alternately from the file and from a buffer.
                    if (s.run(s.bytes, (r + t) % 2 == 0 ? s.path : "", base) != 1)
                        failed.push_back(s.name + ": round trip failed in round " + std::to_string(r));
                    else if (readRawBytes(base + "." + s.extension) != s.expected)
                        failed.push_back(s.name + ": other bytes in round " + std::to_string(r));
                    // A record read by several threads at once, none changing it.
                    if (s.writeShared(base + "_shared") != 1)
                        failed.push_back(s.name + ": shared record not written in round " +
                                         std::to_string(r));
                    else if (readRawBytes(base + "_shared." + s.extension) != s.expected)
                        failed.push_back(s.name + ": shared record, other bytes in round " +
                                         std::to_string(r));
                    files[static_cast<size_t>(t)] += 2;
                }
                // A contract report goes through the handler being replaced.
                KivArray<int> empty;
                (void)empty[r];
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    done = true;
    swapper.join();
    KivAssert::setHandler(saved);

    int total = 0;
    for (int t = 0; t < threads; ++t) {
        total += files[static_cast<size_t>(t)];
        for (const std::string& failure : failures[static_cast<size_t>(t)])
            ADD_FAILURE() << "thread " << t << ": " << failure;
    }
    EXPECT_GE(reports.load(), threads * rounds);
    std::printf("[ threads  ] %d threads wrote %d files, %ld handler swaps\n", threads, total, swaps.load());
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}
