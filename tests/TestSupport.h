#pragma once

#include <NorvikExport.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#  include <process.h>
#else
#  include <unistd.h>
#endif

namespace norvik_test {

// A fresh directory for the files of one test.
inline std::string tempDir()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string suffix = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : suffix)
        if (c == '/')
            c = '_';
            // The process id keeps concurrent runs of the same test apart.
#if defined(_WIN32)
    const int pid = _getpid();
#else
    const int pid = static_cast<int>(getpid());
#endif
    const std::string dir =
        std::string(::testing::TempDir()) + "norvik_" + std::to_string(pid) + "_" + suffix;
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    if (!std::filesystem::create_directories(dir, error))
        ADD_FAILURE() << "cannot create " << dir << ": " << error.message();
    return dir;
}

// The descriptors the process holds open (-1 where the system does not list them).
inline int openDescriptors()
{
#if defined(__linux__)
    std::error_code error;
    int count = 0;
    for (auto i = std::filesystem::directory_iterator("/proc/self/fd", error);
         !error && i != std::filesystem::directory_iterator(); i.increment(error))
        ++count;
    return count;
#else
    return -1;
#endif
}

// What text mode makes of "\n" on this platform.
#if defined(_WIN32)
inline const std::string kLineEnd = "\r\n";
#else
inline const std::string kLineEnd = "\n";
#endif

// A file's bytes exactly as they are on disk.
inline std::string readRawBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A file's bytes with the platform's line end read as "\n", so texts written
// in text mode compare alike on every platform.
inline std::string readBytes(const std::string& path)
{
    std::string bytes = readRawBytes(path);
    if (kLineEnd == "\n")
        return bytes;
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.compare(i, kLineEnd.size(), kLineEnd) == 0)
            i += kLineEnd.size() - 1;
        text.push_back(bytes[i]);
    }
    return text;
}

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The lines of a file's bytes, without their "\n".
inline std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// How many lines start with `prefix` (a whole line when it is one).
inline int countLinesStartingWith(const std::string& bytes, const std::string& prefix)
{
    int n = 0;
    for (const std::string& line : splitLines(bytes))
        n += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

inline std::string narrow(const KivString& text)
{
    std::string out;
    for (const wchar_t* p = text.getStringW(); *p; ++p)
        out.push_back(static_cast<char>(*p));
    return out;
}

// Compares the lines of a text (as readBytes gives it) with those of a golden
// file under tests/golden, whose lines end in "\n" on every platform; the last
// line must be ended alike. With NORVIK_UPDATE_GOLDEN=1 in the environment the
// golden file is rewritten.
inline void expectGolden(const std::string& text, const std::string& goldenName)
{
    const std::string path = std::string(NORVIK_GOLDEN_DIR) + "/" + goldenName;
    const char* update = std::getenv("NORVIK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        writeBytes(path, text);
        return;
    }
    std::ifstream probe(path, std::ios::binary);
    ASSERT_TRUE(probe.good()) << "missing golden file " << path;
    const std::string golden = readRawBytes(path);
    EXPECT_EQ(splitLines(golden), splitLines(text)) << "differs from " << path;
    EXPECT_EQ(golden.empty() || golden.back() == '\n', text.empty() || text.back() == '\n')
        << "last line ended differently from " << path;
}

// Writes a record with a default writer to dir/name.<ext> and returns the bytes.
template <class Record>
std::string writeToBytes(const Record& record, KivNorvikFileWriter::eNorvikFormatFile kind,
                         const std::string& dir, const std::string& name = "out")
{
    KivNorvikFileWriter writer;
    const std::string base = dir + "/" + name;
    EXPECT_EQ(1, writer.startWrite(KivString(base.c_str()), kind));
    EXPECT_EQ(1, writer.write(record));
    EXPECT_EQ(1, writer.endWrite());
    return readBytes(base + "." + KivNorvikFileWriter::extension(kind));
}

// Reads bytes as a file of the reader's kind into `record`; the readFile result.
template <class Reader, class Record>
int readFromBytes(const std::string& bytes, Record& record, const std::string& dir,
                  const std::string& name = "in.txt")
{
    const std::string path = dir + "/" + name;
    writeBytes(path, bytes);
    Reader reader(KivString(path.c_str()));
    return reader.readFile(record);
}

// Counts the contract violations reported while it lives.
class AssertCounter
{
public:
    AssertCounter()
    {
        count() = 0;
        lastCondition() = L"";
        previous_ = KivAssert::setHandler(&record);
    }
    ~AssertCounter() { KivAssert::setHandler(previous_); }
    int reports() const { return count(); }
    std::wstring last() const { return lastCondition(); }

private:
    static int& count()
    {
        static int n = 0;
        return n;
    }
    static std::wstring& lastCondition()
    {
        static std::wstring c;
        return c;
    }
    static void record(const wchar_t* condition, const wchar_t*, unsigned int)
    {
        ++count();
        lastCondition() = condition ? condition : L"";
    }
    KivAssert::Handler previous_;
};

} // namespace norvik_test
