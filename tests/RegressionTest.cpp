#include "RoundTripCheck.h"
#include "TestSupport.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name[0] != '.')
            names.push_back(name);
    }
    return names;
}

// The kind of a golden file by its extension ".blN"; 0 for none.
int kindOf(const std::string& name)
{
    for (int kind = 1; kind <= 5; ++kind) {
        const std::string extension = ".bl" + std::to_string(kind);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, extension) == 0)
            return kind;
    }
    return 0;
}

using Check = std::function<bool(const std::string& bytes, const std::string& workBase, std::string& detail)>;

Check readerCheck(int kind)
{
    return [kind](const std::string& bytes, const std::string& base, std::string& detail) {
        return norvik_check::readerKeepsItsPromises(kind, bytes, base, detail);
    };
}

} // namespace

// The inputs kept from fuzzing, one folder per target under tests/regression
// (what a fuzzer found, and inputs it reached that cover much), replayed with
// the target's own check. A folder missing or without a case fails.
TEST(Regression, FuzzInputsKeepTheirPromises)
{
    norvik_test::AssertCounter reports;
    const Check writer = [](const std::string& bytes, const std::string& base, std::string& detail) {
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        return bytes.empty() || norvik_check::writerKeepsItsPromises(1 + data[0] % 5, data + 1,
                                                                     bytes.size() - 1, base, detail);
    };
    const std::pair<const char*, Check> targets[] = {{"bl1", readerCheck(1)}, {"bl2", readerCheck(2)},
                                                     {"bl3", readerCheck(3)}, {"bl4", readerCheck(4)},
                                                     {"bl5", readerCheck(5)}, {"writer", writer}};
    const std::string work = norvik_test::tempDir();
    for (const auto& [target, check] : targets) {
        const std::string dir = std::string(NORVIK_REGRESSION_DIR) + "/" + target;
        const std::vector<std::string> cases = filesIn(dir);
        EXPECT_FALSE(cases.empty()) << "no case in " << dir;
        for (const std::string& name : cases) {
            std::string detail;
            EXPECT_TRUE(
                check(norvik_test::readRawBytes(dir + "/" + name), work + "/" + target + "_" + name, detail))
                << target << "/" << name << ": " << detail;
        }
    }
    EXPECT_EQ(0, reports.reports());
}

// Every golden file reads, writes and reads back to the same bytes.
TEST(Regression, GoldenFilesReadAndWriteBackStably)
{
    norvik_test::AssertCounter reports;
    const std::string dir = NORVIK_GOLDEN_DIR;
    for (const std::string& name : filesIn(dir)) {
        const int kind = kindOf(name);
        std::string detail;
        EXPECT_TRUE(kind == 0 || norvik_check::writeAfterReadIsStable(
                                     kind, dir + "/" + name, norvik_test::tempDir() + "/" + name, detail))
            << name << ": " << detail;
    }
    EXPECT_EQ(0, reports.reports());
}
