#include "RoundTripCheck.h"
#include "TestSupport.h"

#include <filesystem>
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

// The kind of a file: extension ".blN" or a name starting "blN-"; 0 for none.
int kindOf(const std::string& name)
{
    for (int kind = 1; kind <= 5; ++kind) {
        const std::string tag = "bl" + std::to_string(kind);
        const bool extension = name.size() > 4 && name.compare(name.size() - 4, 4, "." + tag) == 0;
        if (extension || name.compare(0, 4, tag + "-") == 0)
            return kind;
    }
    return 0;
}

} // namespace

// Inputs that once broke a reader (named after the fault, "blN-<fault>.txt")
// and every golden file read, write and read back to the same bytes.
TEST(Regression, SavedInputsAndGoldenFilesReadAndWriteBackStably)
{
    norvik_test::AssertCounter reports;
    for (const std::string dir : {NORVIK_REGRESSION_DIR, NORVIK_GOLDEN_DIR}) {
        for (const std::string& name : filesIn(dir)) {
            const int kind = kindOf(name);
            std::string detail;
            EXPECT_TRUE(kind == 0
                        || norvik_check::writeAfterReadIsStable(kind, dir + "/" + name,
                                                                norvik_test::tempDir() + "/" + name, detail))
                << name << ": " << detail;
        }
    }
    EXPECT_EQ(0, reports.reports());
}
