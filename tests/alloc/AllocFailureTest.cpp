// Allocation failure at every step: operator new is replaced so that the Nth
// allocation after arming fails; for N = 1, 2, 3, ... until a run succeeds,
// a typical file of each kind is exported (and, for the kinds that have a
// reader, imported). Every run returns 0 or succeeds, leaks nothing, and a
// failed run leaves the host's record and the folder as they were.
#include "RecordFields.h"
#include "TestSupport.h"

#include <KivFileSystem.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>

#if !defined(_WIN32)
#  include <dirent.h>
#endif

namespace {

std::atomic<long> counted{0};
std::atomic<long> failAt{0}; // 0: never
std::atomic<long> live{0};
long importFailAt = 0;     // the N of the next import
bool importSecond = false; // the armed read is the reader's second one

bool failNow()
{
    const long n = failAt.load();
    return n > 0 && counted.fetch_add(1) + 1 == n;
}

void* allocate(std::size_t size)
{
    if (failNow())
        return nullptr;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p != nullptr)
        ++live;
    return p;
}

void release(void* p)
{
    if (p == nullptr)
        return;
    --live;
    std::free(p);
}

} // namespace

#include "ReplacedNew.h"

namespace {

using namespace norvik_test;
using Kind = KivNorvikFileWriter::eNorvikFormatFile;

// Fails the Nth allocation while it lives.
struct Armed
{
    explicit Armed(long n)
    {
        counted = 0;
        failAt = n;
    }
    ~Armed() { failAt = 0; }
};

#if !defined(_WIN32)
std::vector<std::string> listing(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}
#endif

template <class Reader, class Record>
Record readGolden(const char* name)
{
    Record record;
    Reader reader(KivString((std::string(NORVIK_GOLDEN_DIR) + "/" + name).c_str()));
    EXPECT_EQ(1, reader.readFile(record)) << name;
    return record;
}

template <class Record>
Record numbered()
{
    Record record;
    numberFields(record);
    return record;
}

// One kind: how to export its typical record and, when it has a reader,
// import its typical file into a host record.
struct Case
{
    const char* name;
    Kind kind;
    std::function<int(KivNorvikFileWriter&)> write;
    // Imports the typical file into a fresh host record and compares: "" when
    // the host record is still the copy taken before (result 0) or holds the
    // file (result 1); else the difference. Null for kinds without a reader.
    // `escaped`: readFile let std::bad_alloc out.
    std::function<std::string(const std::string& path, int& result, bool& escaped)> import;
};

// What a successful read leaves in the host record: the file's values, and
// what the file never carries kept from the host.
template <class Record>
Record afterRead(const Record& fromFile, const Record&)
{
    return fromFile;
}

KivBL4Data afterRead(const KivBL4Data& fromFile, const KivBL4Data& host)
{
    KivBL4Data result(fromFile);
    for (int i = 0; i < 2; ++i)
        result.diagonalElementGroups[i].extraData = host.diagonalElementGroups[i].extraData;
    return result;
}

template <class Reader, class Record>
std::function<std::string(const std::string&, int&, bool&)> importer(const Record& fromFile)
{
    return [fromFile](const std::string& path, int& result, bool& escaped) -> std::string {
        const Record before = numbered<Record>();
        Record host(before);
        const KivString name(path.c_str());
        {
            Reader reader(name);
            Record again; // a second read frees what the first one holds
            if (importSecond) {
                EXPECT_EQ(1, reader.readFile(again));
            }
            Armed armed(importFailAt);
            escaped = false;
            try {
                result = reader.readFile(host);
                if (importFailAt == 0)
                    reader.readFile(again);
            } catch (const std::bad_alloc&) {
                escaped = true;
                result = 0;
            }
        }
        const FieldList expected = flatten(result == 1 ? afterRead(fromFile, before) : before);
        return describeDifference(expected, flatten(host));
    };
}

template <class Record>
std::function<int(KivNorvikFileWriter&)> writer(const Record& record)
{
    return [record](KivNorvikFileWriter& w) { return w.write(record); };
}

[[maybe_unused]] std::vector<Case> cases()
{
    const auto bl1 = readGolden<KivNorvikBL1Reader, KivBL1Data>("bl1_example.bl1");
    const auto bl2 = readGolden<KivNorvikBL2Reader, KivBL2Data>("bl2_full.bl2");
    const auto bl3 = readGolden<KivNorvikBL3Reader, KivBL3Data>("bl3_full.bl3");
    const auto bl4 = readGolden<KivNorvikBL4Reader, KivBL4Data>("bl4_filled.bl4");
    const auto bl5 = readGolden<KivNorvikBL5Reader, KivBL5Data>("bl5_main.bl5");
    return {
        {"bl1_example.bl1", KivNorvikFileWriter::eFormatBL1, writer(bl1), importer<KivNorvikBL1Reader>(bl1)},
        {"bl2_full.bl2", KivNorvikFileWriter::eFormatBL2, writer(bl2), importer<KivNorvikBL2Reader>(bl2)},
        {"bl3_full.bl3", KivNorvikFileWriter::eFormatBL3, writer(bl3), importer<KivNorvikBL3Reader>(bl3)},
        {"bl4_filled.bl4", KivNorvikFileWriter::eFormatBL4, writer(bl4), importer<KivNorvikBL4Reader>(bl4)},
        {"bl5_main.bl5", KivNorvikFileWriter::eFormatBL5, writer(bl5), importer<KivNorvikBL5Reader>(bl5)},
    };
}

constexpr long kMaxSteps = 100000;

} // namespace

TEST(AllocationFailure, ExportAtEveryStep)
{
#if defined(_WIN32)
    GTEST_SKIP() << "a replaced operator new does not reach the libraries' DLLs";
#else
    const std::string dir = tempDir();
    const std::string old = "old file\n";
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const std::string base = dir + "/joint";
        const std::string target = base + "." + KivNorvikFileWriter::extension(c.kind);
        const KivString path(base.c_str());
        // The expected bytes; this first run also creates the library's lazy constants.
        writeBytes(target, old);
        std::string expected;
        KivFileSystem::resetFaults();
        {
            KivNorvikFileWriter w;
            ASSERT_EQ(1, w.startWrite(path, c.kind));
            ASSERT_EQ(1, c.write(w));
            ASSERT_EQ(1, w.endWrite());
            expected = readBytes(target);
        }
        // The last open of an export over an old file makes its temporary file.
        const int temporaryOpen = KivFileSystem::calls(KivFileSystem::eOpen);
        // Then again with the first temporary name taken by another file.
        for (const bool taken : {false, true}) {
            bool succeeded = false;
            long n = 1;
            for (; n < kMaxSteps && !succeeded; ++n) {
                writeBytes(target, old);
                const long liveBefore = live.load();
                int start = 0, written = 0, ended = 0, code = 0;
                bool escaped = false;
                KivFileSystem::resetFaults();
                if (taken)
                    KivFileSystem::failCall(KivFileSystem::eOpen, temporaryOpen, EEXIST);
                try {
                    KivNorvikFileWriter w;
                    Armed armed(n);
                    start = w.startWrite(path, c.kind);
                    if (start == 1) {
                        written = c.write(w);
                        code = written == 0 ? w.errorCode() : 0;
                        ended = w.endWrite();
                    }
                    if (code == 0)
                        code = w.errorCode();
                } catch (const std::bad_alloc&) {
                    escaped = true;
                }
                const long liveAfter = live.load();
                EXPECT_EQ(liveBefore, liveAfter) << "leak at allocation " << n;
                EXPECT_FALSE(escaped) << "bad_alloc escaped at allocation " << n;
                succeeded = start == 1 && written == 1 && ended == 1;
                if (succeeded) {
                    EXPECT_EQ(expected, readBytes(target));
                } else {
                    EXPECT_EQ(ENOMEM, code) << "at allocation " << n;
                    EXPECT_EQ(old, readBytes(target)) << "at allocation " << n;
                    EXPECT_EQ(1u, listing(dir).size()) << "at allocation " << n;
                }
                // Only a temporary file it made is removed: the taken name is another file's.
                const int made =
                    KivFileSystem::calls(KivFileSystem::eOpen) - (temporaryOpen - 1) - (taken ? 1 : 0);
                EXPECT_GE(made > 0 ? 1 : 0, KivFileSystem::calls(KivFileSystem::eUnlink))
                    << "at allocation " << n;
            }
            KivFileSystem::resetFaults();
            EXPECT_TRUE(succeeded);
            EXPECT_GT(n, 3) << "the export allocates";
            std::printf("[ alloc    ] export %s%s: %ld steps\n", c.name, taken ? ", name taken" : "", n - 1);
        }
        unlink(target.c_str());
    }
#endif
}

TEST(AllocationFailure, ImportAtEveryStep)
{
#if defined(_WIN32)
    GTEST_SKIP() << "a replaced operator new does not reach the libraries' DLLs";
#else
    for (const Case& c : cases()) {
        if (!c.import)
            continue;
        SCOPED_TRACE(c.name);
        const std::string path = std::string(NORVIK_GOLDEN_DIR) + "/" + c.name;
        int result = 0;
        bool escaped = false;
        ASSERT_EQ("", c.import(path, result, escaped)); // lazy constants created
        const long settled = live.load();
        ASSERT_EQ("", c.import(path, result, escaped));
        EXPECT_EQ(settled, live.load()) << "a reader that reads twice leaks";
        // The reader's first read fails, then a read after a good one.
        for (const bool second : {false, true}) {
            importSecond = second;
            long n = 1;
            for (result = 0; n < kMaxSteps && result != 1; ++n) {
                const long liveBefore = live.load();
                importFailAt = n;
                bool escaped = false;
                const std::string difference = c.import(path, result, escaped);
                importFailAt = 0;
                const long liveAfter = live.load() - static_cast<long>(difference.empty() ? 0 : 1);
                EXPECT_EQ(liveBefore, liveAfter) << "leak at allocation " << n;
                EXPECT_FALSE(escaped) << "bad_alloc escaped at allocation " << n;
                EXPECT_EQ("", difference) << (result == 1 ? "a read that succeeds hands over the whole file"
                                                          : "host record changed")
                                          << " at allocation " << n << (second ? " of a second read" : "");
            }
            importSecond = false;
            EXPECT_EQ(1, result);
            std::printf("[ alloc    ] import %s%s: %ld steps\n", c.name, second ? " again" : "", n - 1);
        }
    }
#endif
}

// The format reference and the record check of each kind: 0 with an empty
// list, or the whole list; nothing leaks, nothing escapes.
TEST(AllocationFailure, DiagnosticsAtEveryStep)
{
#if defined(_WIN32)
    GTEST_SKIP() << "a replaced operator new does not reach the libraries' DLLs";
#else
    std::unique_ptr<KivNorvikData> records[] = {
        std::make_unique<KivBL1Data>(), std::make_unique<KivBL2Data>(), std::make_unique<KivBL3Data>(),
        std::make_unique<KivBL4Data>(), std::make_unique<KivBL5Data>()};
    // Numbered fields give issues of several kinds.
    numberFields(static_cast<KivBL1Data&>(*records[0]));
    numberFields(static_cast<KivBL2Data&>(*records[1]));
    numberFields(static_cast<KivBL3Data&>(*records[2]));
    numberFields(static_cast<KivBL4Data&>(*records[3]));
    numberFields(static_cast<KivBL5Data&>(*records[4]));
    // Each entry point, called with the Nth allocation failing (0: none); the
    // list it leaves, as text.
    using Entry = std::function<int(int kind, long n, std::vector<std::string>& out)>;
    const std::pair<const char*, Entry> entries[] = {
        {"lines",
         [](int kind, long n, std::vector<std::string>& out) {
             KivArray<KivNorvikLineFormat> rows;
             rows.setLength(n != 0 ? 2 : 0); // a list that the call replaces; none for the reference
             int result = 0;
             {
                 Armed armed(n);
                 result = KivNorvikFileFormat::lines(static_cast<KivNorvikData::eNorvikDataType>(kind), rows);
             }
             for (int i = 0; i < rows.getLength(); ++i)
                 out.push_back(narrow(rows[i].keyword) + " " + narrow(rows[i].fields));
             return result;
         }},
        {"check",
         [&records](int kind, long n, std::vector<std::string>& out) {
             KivArray<KivNorvikRecordIssue> issues;
             issues.setLength(n != 0 ? 2 : 0);
             int result = 0;
             {
                 Armed armed(n);
                 result = KivNorvikRecordCheck::check(*records[kind], issues);
             }
             for (int i = 0; i < issues.getLength(); ++i)
                 out.push_back(narrow(issues[i].path) + " " + narrow(issues[i].code));
             return result;
         }},
    };
    for (const auto& entry : entries) {
        for (int kind = 0; kind < 5; ++kind) {
            SCOPED_TRACE(std::string(entry.first) + " of BL" + std::to_string(kind + 1));
            std::vector<std::string> expected;
            ASSERT_EQ(1, entry.second(kind, 0, expected));
            ASSERT_FALSE(expected.empty());
            // Every step at first, then ever larger strides: these lists take
            // thousands of allocations, each failure point costs a whole run.
            int result = 0;
            long n = 1;
            for (; n < kMaxSteps && result != 1; n += 1 + n / 32) {
                const long liveBefore = live.load();
                {
                    std::vector<std::string> got;
                    bool escaped = false;
                    try {
                        result = entry.second(kind, n, got);
                    } catch (const std::bad_alloc&) {
                        escaped = true;
                    }
                    EXPECT_FALSE(escaped) << "at allocation " << n;
                    EXPECT_EQ(result == 1 ? expected : std::vector<std::string>{}, got)
                        << "at allocation " << n;
                }
                EXPECT_EQ(liveBefore, live.load()) << "leak at allocation " << n;
            }
            EXPECT_EQ(1, result);
            EXPECT_GT(n, 3);
        }
    }
#endif
}
