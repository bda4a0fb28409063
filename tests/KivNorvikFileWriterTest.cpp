#include "TestSupport.h"

#include <KivFileSystem.h>
#include <KivFormat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#if !defined(_WIN32)
#  include <dirent.h>
#  include <sys/resource.h>
#  include <sys/stat.h>
#  include <sys/wait.h>
#  include <unistd.h>
#endif

using norvik_test::openDescriptors;
using norvik_test::readBytes;
using norvik_test::tempDir;
using norvik_test::writeBytes;

namespace {

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// The names in a folder, sorted.
std::vector<std::string> listing(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void removeFile(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove(path, error);
}

#if !defined(_WIN32)
struct stat statusOf(const std::string& path)
{
    struct stat s
    {
    };
    lstat(path.c_str(), &s);
    return s;
}
#endif

// The results of one export, and the reason of its first 0.
struct Outcome
{
    int start = 0;
    int write = 0;
    int end = 0;
    int code = 0;
    bool ok() const { return start == 1 && write == 1 && end == 1; }
};

template <class Record>
Outcome exportTo(const std::string& base, const Record& record, KivNorvikFileWriter::eNorvikFormatFile kind)
{
    Outcome o;
    KivNorvikFileWriter writer;
    o.start = writer.startWrite(KivString(base.c_str()), kind);
    if (o.start == 0) {
        o.code = writer.errorCode();
        EXPECT_FALSE(writer.errorText().isEmpty());
        return o;
    }
    o.write = writer.write(record);
    if (o.write == 0)
        o.code = writer.errorCode();
    o.end = writer.endWrite();
    if (o.end == 0 && o.code == 0)
        o.code = writer.errorCode();
    return o;
}

#if !defined(_WIN32)
KivBL1Data manyLoadings(int count)
{
    KivBL1Data d;
    d.setProjectName(KivString("Hall"));
    d.generalGroup.loadings.setLength(count);
    for (int i = 0; i < count; ++i)
        d.generalGroup.loadings[i].number = i;
    return d;
}
#endif

constexpr auto kBL4 = KivNorvikFileWriter::eFormatBL4;

} // namespace

TEST(KivNorvikFileWriter, NamesTheFileAfterPathAndKind)
{
    const std::string dir = tempDir();
    const char* extensions[] = {"bl1", "bl2", "bl3", "bl4", "bl5"};
    for (int kind = 0; kind < 5; ++kind) {
        KivNorvikFileWriter writer;
        const std::string base = dir + "/joint";
        ASSERT_EQ(1, writer.startWrite(KivString(base.c_str()),
                                       static_cast<KivNorvikFileWriter::eNorvikFormatFile>(kind)));
        EXPECT_EQ(1, writer.endWrite());
        EXPECT_TRUE(exists(base + "." + extensions[kind])) << extensions[kind];
    }
    // A name without a folder is in the working folder, and so is its temporary file.
    const std::filesystem::path working = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    {
        KivNorvikFileWriter writer;
        EXPECT_EQ(1, writer.startWrite(KivString("bare"), KivNorvikFileWriter::eFormatBL2));
        EXPECT_EQ(1, writer.endWrite());
    }
    std::filesystem::current_path(working);
    EXPECT_TRUE(exists(dir + "/bare.bl2"));

    // A kind outside the enumeration is reported and opens the name with a bare ".".
    norvik_test::AssertCounter reports;
    KivNorvikFileWriter writer;
    EXPECT_EQ(1, writer.startWrite(KivString((dir + "/odd").c_str()),
                                   static_cast<KivNorvikFileWriter::eNorvikFormatFile>(7)));
    EXPECT_EQ(1, reports.reports());
    EXPECT_EQ(std::wstring(L"false"), reports.last());
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_TRUE(exists(dir + "/odd."));
}

TEST(KivNorvikFileWriter, OpenAndCloseResults)
{
    const std::string dir = tempDir();
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.endWrite());
    EXPECT_EQ(EBADF, writer.errorCode());

    // Writing while closed writes nothing and fails.
    KivBL4Data bracing;
    EXPECT_EQ(0, writer.write(bracing));
    EXPECT_EQ(EBADF, writer.errorCode());

    // A second startWrite while open fails and leaves the open file untouched.
    const std::string first = dir + "/first";
    ASSERT_EQ(1, writer.startWrite(KivString(first.c_str()), kBL4));
    EXPECT_EQ(0, writer.startWrite(KivString((dir + "/second").c_str()), kBL4));
    EXPECT_EQ(EBUSY, writer.errorCode());
    EXPECT_FALSE(exists(dir + "/second.bl4"));
    EXPECT_EQ(1, writer.write(bracing));
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ(0, writer.endWrite());
    const std::string once = readBytes(first + ".bl4");
    EXPECT_EQ(0u, once.find("\"NV_ATT_04\",\"\"\n\nGEN\n"));

    // The same writer writes a second complete file.
    ASSERT_EQ(1, writer.startWrite(KivString(first.c_str()), kBL4));
    EXPECT_EQ(1, writer.write(bracing));
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ(once, readBytes(first + ".bl4"));
}

TEST(KivNorvikFileWriter, VersionsAndTextsOfTheGeneralGroup)
{
    const std::string dir = tempDir();
    KivBL1Data data;
    data.setProjectName(KivString("Hall\r\n\"GEN\""));
    data.generalGroup.repPage = KivString(L"page\nFIN\nPOT");
    // Loading lines: texts cleaned, beyond ASCII in the code page, numbers in their widths.
    NorvikGlobalData::GenLoading loading;
    loading.number = -5;
    loading.text1 = KivString(L"a\rb");
    loading.text2 = KivString(L"c");
    loading.type = 7;
    data.generalGroup.loadings.append(loading);
    loading.number = 1234;
    loading.text1 = KivString(L"\u00e9t\u00e9");
    loading.text2 = KivString(L"\u20ac\n");
    loading.type = -1;
    data.generalGroup.loadings.append(loading);
    KivNorvikFileWriter writer;
    writer.setMajorVersion(12);
    writer.setMinorVersion(0);
    writer.setNorvikExporter(KivNorvikFileWriter::eOlmarin);
    const std::string base = dir + "/v";
    ASSERT_EQ(1, writer.startWrite(KivString(base.c_str()), KivNorvikFileWriter::eFormatBL1));
    EXPECT_EQ(1, writer.write(data));
    EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ("\"NV_ATT\",\"Hall  \"GEN\"\"\n\nGEN\n  REP_PAGE page FIN POT\n  CHA  -5 a b c 7\n"
              "  CHA 1234 \xE9t\xE9 \x80  -1\n  ORIGINE Olmarin 12.0\nFIN\n",
              readBytes(base + ".bl1"));
}

// Numbers reach the file as the general formatter writes them, also those it
// formats the long way (ties, huge values, infinities), and a record larger
// than a block of output and a text beyond the first buffer arrive whole.
TEST(KivNorvikFileWriter, NumbersAndLongRecordsAsFormatted)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Row
    {
        int number;
        double values[3];
    };
    const Row rows[] = {
        {1, {12.5, -3.0, 40.125}},
        {0, {0.0, -0.0, 1e-9}},
        {-1, {0.0005, 1.0005, -2.0015}},             // ties: the exact conversion rounds
        {INT_MAX, {1099511627.776, 1e15, -1.7e308}}, // beyond integer arithmetic
        {INT_MIN, {inf, -inf, std::nan("")}},
        {-123456, {123.4564999, 0.9995, 999.9995}},
    };
    KivBL1Data data;
    data.setProjectName(KivString(std::string(20000, 'p').c_str()));
    KivBL1Data::BL1Traverse& side = data.rightTraverse;
    side.side = 1;
    const int count = 6000; // over 100 KiB of effort lines
    side.efforts.setLength(count);
    std::string expected;
    for (int i = 0; i < count; ++i) {
        KivBL1Data::BL1Effort& e = side.efforts[i];
        const Row& row = rows[i % (sizeof rows / sizeof rows[0])];
        const bool listed = i < 60;
        e.number = listed ? row.number : i;
        e.value1 = listed ? row.values[0] : i * 0.001 - 2.5;
        e.value2 = listed ? row.values[1] : i * 1.0625;
        e.value3 = listed ? row.values[2] : -i / 7.0;
        KivFormat::appendFormat(expected, "  EFF %d %3.3f %3.3f %3.3f\n", e.number, e.value1, e.value2,
                                e.value3);
    }
    const std::string bytes = norvik_test::writeToBytes(data, KivNorvikFileWriter::eFormatBL1, tempDir());
    EXPECT_EQ(0u, bytes.find("\"NV_ATT\",\"" + std::string(20000, 'p') + "\"\n\nGEN\n"));
    const size_t first = bytes.find("  EFF ");
    ASSERT_NE(std::string::npos, first);
    EXPECT_EQ(expected + "FIN\n", bytes.substr(first));
}

// Copies share one open file: the first endWrite completes it, the last copy
// destroyed completes it when nobody did.
TEST(KivNorvikFileWriter, CopiesShareTheOpenFile)
{
    const std::string dir = tempDir();
    const std::string base = dir + "/shared";
    KivBL4Data bracing;
    const std::string expected = norvik_test::writeToBytes(bracing, kBL4, dir, "expected");

    KivNorvikFileWriter first;
    ASSERT_EQ(1, first.startWrite(KivString(base.c_str()), kBL4));
    {
        KivNorvikFileWriter second(first);
        KivNorvikFileWriter third;
        third = second;
        EXPECT_EQ(1, second.write(bracing));
        EXPECT_EQ(1, third.endWrite());
        EXPECT_EQ(0, second.write(bracing));
        EXPECT_EQ(EBADF, second.errorCode());
        EXPECT_EQ(0, second.endWrite());
    }
    EXPECT_EQ(0, first.write(bracing));
    EXPECT_EQ(0, first.endWrite());
    EXPECT_EQ(expected, readBytes(base + ".bl4"));

    // Completed by the last copy destroyed; a copy may then start a new file.
    {
        KivNorvikFileWriter owner;
        ASSERT_EQ(1, owner.startWrite(KivString((dir + "/left").c_str()), kBL4));
        KivNorvikFileWriter copy(owner);
        EXPECT_EQ(1, owner.write(bracing));
        EXPECT_EQ(0, copy.startWrite(KivString((dir + "/other").c_str()), kBL4));
    }
    EXPECT_EQ(expected, readBytes(dir + "/left.bl4"));
}

// Each file operation of an export made to fail in turn, onto an existing
// target and onto a new one: a 0 with the injected reason, no temporary file,
// the old file untouched. Some reasons change the course instead.
TEST(KivNorvikFileWriter, OutputFailureAtEveryStep)
{
    using FS = KivFileSystem;
    KivBL4Data bracing;
    const std::string fresh = norvik_test::writeToBytes(bracing, kBL4, tempDir());
    const std::string dir = tempDir();
    const std::string base = dir + "/joint";
    const std::string target = base + ".bl4";
    const std::string old = "old contents\n";
#if !defined(_WIN32)
    // The group's write bit is one that the umask takes from a new file, so
    // the replacing file's mode must be set.
    const mode_t umaskBefore = umask(022);
#endif

    for (bool existing : {true, false}) {
        FS::resetFaults();
        if (existing) {
            writeBytes(target, old);
#if !defined(_WIN32)
            chmod(target.c_str(), 0660);
#endif
        } else {
            removeFile(target);
        }
        ASSERT_TRUE(exportTo(base, bracing, kBL4).ok());
        ASSERT_EQ(fresh, readBytes(target));
        EXPECT_EQ(std::vector<std::string>{"joint.bl4"}, listing(dir));
#if !defined(_WIN32)
        if (existing) {
            EXPECT_EQ(0660u, statusOf(target).st_mode & 07777u) << "permission bits kept";
        }
#endif
        int steps[FS::eOperationCount];
        for (int op = 0; op < FS::eOperationCount; ++op)
            steps[op] = FS::calls(static_cast<FS::eOperation>(op));
        EXPECT_EQ(0, steps[FS::eUnlink]);
        EXPECT_EQ(existing ? 1 : 0, steps[FS::eChmod]);
        EXPECT_EQ(1, steps[FS::eWrite]) << "a small record reaches the file in one block";

        for (int op = 0; op < FS::eOperationCount; ++op) {
            for (int nth = 1; nth <= steps[op]; ++nth) {
                SCOPED_TRACE("operation " + std::to_string(op) + " call " + std::to_string(nth) +
                             (existing ? " over an old file" : " as a new file"));
                FS::resetFaults();
                if (existing)
                    writeBytes(target, old);
                else
                    removeFile(target);
                FS::failCall(static_cast<FS::eOperation>(op), nth, EIO);
                const int descriptors = openDescriptors();
                const Outcome o = exportTo(base, bracing, kBL4);
                EXPECT_EQ(descriptors, openDescriptors()) << "a descriptor left open";
                EXPECT_FALSE(o.ok());
                EXPECT_EQ(EIO, o.code);
                // The temporary file removed once if it was made: a name removed
                // later, or one never made, could be another file's. The access
                // check of an old file (Windows opens it) comes before it is made.
                const bool made = op != FS::eOpen && op != FS::eAccess;
                EXPECT_EQ(made ? 1 : 0, FS::calls(FS::eUnlink));
                EXPECT_EQ(existing ? std::vector<std::string>{"joint.bl4"} : std::vector<std::string>{},
                          listing(dir));
                if (existing) {
                    EXPECT_EQ(old, readBytes(target));
                }
            }
        }
    }

    // The last open of an export over an old file makes its temporary file.
    FS::resetFaults();
    writeBytes(target, old);
    ASSERT_TRUE(exportTo(base, bracing, kBL4).ok());
    const int temporaryOpen = FS::calls(FS::eOpen);
    enum Result { Fails, InPlace, Replaced };
    struct Case
    {
        const char* what;
        FS::eOperation op;
        int nth;
        int error;
        FS::eOperation secondOp;
        Result result;
        bool temporaryLeft;
    };
    const Case cases[] = {
        {"existing file the caller may not write", FS::eAccess, 1, EACCES, FS::eOperationCount, Fails, false},
        {"folder that refuses a new file", FS::eOpen, temporaryOpen, EACCES, FS::eOperationCount, InPlace,
         false},
        {"read-only file system", FS::eOpen, temporaryOpen, EROFS, FS::eOperationCount, InPlace, false},
        {"temporary name taken: another is drawn", FS::eOpen, temporaryOpen, EEXIST, FS::eOperationCount,
         Replaced, false},
        {"no space while writing", FS::eWrite, 1, ENOSPC, FS::eOperationCount, Fails, false},
        {"removing the temporary file fails too", FS::eWrite, 1, ENOSPC, FS::eUnlink, Fails, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FS::resetFaults();
        for (const std::string& name : listing(dir))
            removeFile(dir + "/" + name);
        writeBytes(target, old);
#if !defined(_WIN32)
        const ino_t inode = statusOf(target).st_ino;
        // Without the owner's write bit the system is asked whether the
        // caller may write (as root it may, unless the injected layer says no).
        if (c.op == FS::eAccess)
            chmod(target.c_str(), 0444);
#endif
        FS::failCall(c.op, c.nth, c.error);
        if (c.secondOp != FS::eOperationCount)
            FS::failCall(c.secondOp, 1, EPERM);
        const Outcome o = exportTo(base, bracing, kBL4);
        if (c.result != Fails) {
            EXPECT_TRUE(o.ok());
            EXPECT_EQ(fresh, readBytes(target));
#if !defined(_WIN32)
            EXPECT_EQ(c.result == InPlace, inode == statusOf(target).st_ino);
#endif
        } else {
            EXPECT_FALSE(o.ok());
            EXPECT_EQ(c.error, o.code);
            EXPECT_EQ(old, readBytes(target));
        }
        const std::vector<std::string> names = listing(dir);
        ASSERT_EQ(c.temporaryLeft ? 2u : 1u, names.size());
        if (c.temporaryLeft) {
            EXPECT_EQ(0u, names[0].find(".joint.bl4."));
            EXPECT_EQ(".tmp", names[0].substr(names[0].size() - 4));
        }
    }
    // The end of the table is no operation: refused, and it counts nothing.
    FS::resetFaults();
    FS::failCall(FS::eOperationCount, 1, EIO);
    EXPECT_EQ(0, FS::calls(FS::eOperationCount));
    EXPECT_TRUE(exportTo(base, bracing, kBL4).ok());
    FS::resetFaults();
#if !defined(_WIN32)
    umask(umaskBefore);
#endif
}

// Real failures and targets that are not plain files.
TEST(KivNorvikFileWriter, WhatIsReplacedAndWhatFails)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs /dev/full, symbolic and hard links made by POSIX calls";
#else
    KivBL4Data bracing;
    const std::string fresh = norvik_test::writeToBytes(bracing, kBL4, tempDir());
    const std::string dir = tempDir();
    const std::string old = "old\n";

    // Failures: the reason is the system's.
    ASSERT_EQ(0, symlink("/dev/full", (dir + "/full.bl1").c_str()));
    ASSERT_EQ(0, mkdir((dir + "/folder.bl1").c_str(), 0755));
    struct Failure
    {
        const char* base;
        int code;
    };
    for (const Failure& f :
         {Failure{"full", ENOSPC}, Failure{"missing/joint", ENOENT}, Failure{"folder", EISDIR}}) {
        const Outcome o = exportTo(dir + "/" + f.base, manyLoadings(400), KivNorvikFileWriter::eFormatBL1);
        EXPECT_FALSE(o.ok()) << f.base;
        EXPECT_EQ(0, o.write) << f.base; // the full device fails within write, which says so
        EXPECT_EQ(f.code, o.code) << f.base;
    }

    // A link stays a link and its target is replaced; a file with a second
    // hard link is written in place, so both names see the new data.
    writeBytes(dir + "/real.bl4", old);
    chmod((dir + "/real.bl4").c_str(), 0604);
    ASSERT_EQ(0, symlink("real.bl4", (dir + "/link.bl4").c_str()));
    ASSERT_TRUE(exportTo(dir + "/link", bracing, kBL4).ok());
    EXPECT_TRUE(S_ISLNK(statusOf(dir + "/link.bl4").st_mode));
    EXPECT_EQ(fresh, readBytes(dir + "/real.bl4"));
    EXPECT_EQ(0604u, statusOf(dir + "/real.bl4").st_mode & 07777u);

    writeBytes(dir + "/twice.bl4", old);
    ASSERT_EQ(0, link((dir + "/twice.bl4").c_str(), (dir + "/alias").c_str()));
    ASSERT_TRUE(exportTo(dir + "/twice", bracing, kBL4).ok());
    EXPECT_EQ(fresh, readBytes(dir + "/alias"));

    // A replaced file keeps its owner and group, where the system lets the
    // writer give them (as root).
    if (geteuid() == 0) {
        writeBytes(dir + "/owned.bl4", old);
        ASSERT_EQ(0, chown((dir + "/owned.bl4").c_str(), 4321, 4322));
        ASSERT_TRUE(exportTo(dir + "/owned", bracing, kBL4).ok());
        EXPECT_EQ(4321u, statusOf(dir + "/owned.bl4").st_uid);
        EXPECT_EQ(4322u, statusOf(dir + "/owned.bl4").st_gid);
        EXPECT_EQ(fresh, readBytes(dir + "/owned.bl4"));
        ASSERT_EQ(0, unlink((dir + "/owned.bl4").c_str()));
    }

    // A dangling link creates its target, as before.
    ASSERT_EQ(0, symlink("made.bl4", (dir + "/dangling.bl4").c_str()));
    ASSERT_TRUE(exportTo(dir + "/dangling", bracing, kBL4).ok());
    EXPECT_EQ(fresh, readBytes(dir + "/made.bl4"));

    // While the file is open, its data goes to a hidden temporary file of a
    // name of its own: six letters or digits drawn for each writer.
    KivNorvikFileWriter writers[40];
    for (KivNorvikFileWriter& writer : writers)
        ASSERT_EQ(1, writer.startWrite(KivString((dir + "/open").c_str()), kBL4));
    int hidden = 0;
    for (const std::string& name : listing(dir)) {
        if (name.find(".open.bl4.") != 0)
            continue;
        ++hidden;
        EXPECT_EQ(20u, name.size()) << name;
        EXPECT_EQ(".tmp", name.substr(16)) << name;
        EXPECT_EQ(std::string::npos,
                  name.substr(10, 6).find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789"));
    }
    EXPECT_EQ(40, hidden);
    EXPECT_FALSE(exists(dir + "/open.bl4"));
    for (KivNorvikFileWriter& writer : writers)
        EXPECT_EQ(1, writer.endWrite());
    EXPECT_EQ(std::vector<std::string>({"alias", "dangling.bl4", "folder.bl1", "full.bl1", "link.bl4",
                                        "made.bl4", "open.bl4", "real.bl4", "twice.bl4"}),
              listing(dir));
#endif
}

// In a child process: a file size limit fails the export and keeps the old
// file; a writer still open when the process exits is completed.
TEST(KivNorvikFileWriter, FileSizeLimitAndExitInAChildProcess)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs fork and setrlimit";
#else
    const KivBL1Data big = manyLoadings(2000);
    const std::string complete = norvik_test::writeToBytes(big, KivNorvikFileWriter::eFormatBL1, tempDir());
    const std::string dir = tempDir();
    const std::string old = "old\n";
    writeBytes(dir + "/limited.bl1", old);

    const pid_t limited = fork();
    ASSERT_GE(limited, 0);
    if (limited == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const Outcome o = exportTo(dir + "/limited", big, KivNorvikFileWriter::eFormatBL1);
        _exit(!o.ok() && o.code == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(limited, waitpid(limited, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "EFBIG expected";
    EXPECT_EQ(old, readBytes(dir + "/limited.bl1"));

    const pid_t exiting = fork();
    ASSERT_GE(exiting, 0);
    if (exiting == 0) {
        auto* writer = new KivNorvikFileWriter;
        writer->startWrite(KivString((dir + "/atexit").c_str()), KivNorvikFileWriter::eFormatBL1);
        writer->write(big);
        std::exit(0);
    }
    ASSERT_EQ(exiting, waitpid(exiting, &status, 0));
    EXPECT_EQ(complete, readBytes(dir + "/atexit.bl1"));
    EXPECT_EQ(std::vector<std::string>({"atexit.bl1", "limited.bl1"}), listing(dir));
#endif
}
