#pragma once

#include <NorvikExport.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
    const std::string dir = std::string(::testing::TempDir()) + "norvik_" + std::to_string(getpid()) + "_" + suffix;
    const std::string command = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
    if (std::system(command.c_str()) != 0)
        ADD_FAILURE() << "cannot create " << dir;
    return dir;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
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

// Compares bytes with a golden file under tests/golden. With
// NORVIK_UPDATE_GOLDEN=1 in the environment the golden file is rewritten.
inline void expectGolden(const std::string& bytes, const std::string& goldenName)
{
    const std::string path = std::string(NORVIK_GOLDEN_DIR) + "/" + goldenName;
    const char* update = std::getenv("NORVIK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        writeBytes(path, bytes);
        return;
    }
    std::ifstream probe(path, std::ios::binary);
    ASSERT_TRUE(probe.good()) << "missing golden file " << path;
    EXPECT_EQ(readBytes(path), bytes) << "differs from " << path;
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
    AssertCounter() { count() = 0; lastCondition() = L""; previous_ = KivAssert::setHandler(&record); }
    ~AssertCounter() { KivAssert::setHandler(previous_); }
    int reports() const { return count(); }
    std::wstring last() const { return lastCondition(); }

private:
    static int& count() { static int n = 0; return n; }
    static std::wstring& lastCondition() { static std::wstring c; return c; }
    static void record(const wchar_t* condition, const wchar_t*, unsigned int)
    {
        ++count();
        lastCondition() = condition ? condition : L"";
    }
    KivAssert::Handler previous_;
};

} // namespace norvik_test
