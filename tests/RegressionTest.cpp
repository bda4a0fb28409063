#include "RoundTripCheck.h"
#include "TestSupport.h"

#include <dirent.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name[0] != '.')
                names.push_back(name);
        }
        closedir(d);
    }
    return names;
}

// The readable kind of a file: its extension ".blN", or a name starting "blN-"; 0 for none.
int kindOf(const std::string& name)
{
    for (int kind = 1; kind <= 3; ++kind) {
        const std::string tag = "bl" + std::to_string(kind);
        const bool extension = name.size() > 4 && name.compare(name.size() - 4, 4, "." + tag) == 0;
        if (extension || name.compare(0, 4, tag + "-") == 0)
            return kind;
    }
    return 0;
}

void expectStable(const std::string& dir, const std::string& name)
{
    const int kind = kindOf(name);
    if (kind == 0)
        return;
    std::string detail;
    EXPECT_TRUE(norvik_check::writeAfterReadIsStable(kind, dir + "/" + name,
                                                     norvik_test::tempDir() + "/" + name, detail))
        << name << ": " << detail;
}

} // namespace

// Inputs that once broke a reader (named after the fault), and every golden
// file: each reads, writes and reads back to the same bytes.
TEST(Regression, SavedInputsReadAndWriteBackStably)
{
    norvik_test::AssertCounter reports;
    for (const std::string& name : filesIn(NORVIK_REGRESSION_DIR))
        expectStable(NORVIK_REGRESSION_DIR, name);
    EXPECT_EQ(0, reports.reports());
}

TEST(Regression, GoldenFilesReadAndWriteBackStably)
{
    norvik_test::AssertCounter reports;
    for (const std::string& name : filesIn(NORVIK_GOLDEN_DIR))
        expectStable(NORVIK_GOLDEN_DIR, name);
    EXPECT_EQ(0, reports.reports());
}
