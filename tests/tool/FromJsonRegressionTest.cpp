#include "FromJsonCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The inputs kept from fuzzing `norvik from-json` (tests/regression/from_json)
// keep its promise; a folder missing or without a case fails.
TEST(FromJsonRegression, FuzzInputsKeepThePromise)
{
    const std::string dir = std::string(NORVIK_REGRESSION_DIR) + "/from_json";
    int cases = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        if (entry.path().filename().string()[0] == '.')
            continue;
        ++cases;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        std::string detail;
        EXPECT_TRUE(norvik_check::fromJsonKeepsItsPromise(bytes.str(), detail))
            << entry.path().filename().string() << ": " << detail;
    }
    EXPECT_GT(cases, 0) << "no case in " << dir;
}
