#include "TestSupport.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {
void quiet(const wchar_t*, const wchar_t*, unsigned int) {}
} // namespace

TEST(KivAssert, HandlerReceivesConditionFileAndLineAndCanBeRestored)
{
    norvik_test::AssertCounter counter;
    KivAssert::kivAssert(L"len>=0", L"file.cpp", 12);
    EXPECT_EQ(1, counter.reports());
    EXPECT_EQ(std::wstring(L"len>=0"), counter.last());

    const KivAssert::Handler mine = KivAssert::setHandler(&quiet);
    EXPECT_NE(nullptr, mine);
    EXPECT_EQ(&quiet, KivAssert::setHandler(mine));
}

TEST(KivAssert, SetHandlerIsSafeFromManyThreads)
{
    const KivAssert::Handler original = KivAssert::setHandler(&quiet);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i) {
                KivAssert::setHandler(&quiet);
                KivAssert::kivAssert(L"x", L"y", 1);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    KivAssert::setHandler(original);
}
