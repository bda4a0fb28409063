#include "TestSupport.h"

#include <chrono>
#include <string>

using norvik_test::AssertCounter;

namespace {

// Counts constructions and destructions to catch leaked or doubly destroyed elements.
struct Tracked
{
    static int& alive() { static int n = 0; return n; }
    Tracked() { ++alive(); }
    Tracked(const Tracked& o) : value(o.value) { ++alive(); }
    Tracked& operator=(const Tracked& o) { value = o.value; return *this; }
    ~Tracked() { --alive(); }
    int value = -1;
};

} // namespace

TEST(KivArray, GrowsByTheStepAndKeepsValues)
{
    KivArray<int> a;
    EXPECT_EQ(0, a.getLength());
    EXPECT_EQ(0, a.getPhysicalLength());
    EXPECT_EQ(8, a.getGrowBy());
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(i, a.append(i * 10));
    EXPECT_EQ(9, a.getLength());
    EXPECT_EQ(16, a.getPhysicalLength());
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(i * 10, a[i]);

    KivArray<KivString> b;
    b.setAtGrow(5, KivString("x"));
    EXPECT_EQ(6, b.getLength());
    EXPECT_EQ(8, b.getPhysicalLength());
    EXPECT_NE(0, b[0].isEmpty());
    EXPECT_TRUE(b[5] == KivString("x"));
}

TEST(KivArray, NewSlotsHoldTheElementDefaults)
{
    KivArray<NorvikGlobalData::GenLoading> loadings;
    loadings.setLength(3);
    EXPECT_EQ(-123456, loadings[2].number);
    EXPECT_TRUE(loadings[2].text1 == KivNorvikData::undefinedString());
}

TEST(KivArray, PhysicalLengthShrinksOnlyBeyondAQuarter)
{
    KivArray<int> a;
    for (int i = 0; i < 8; ++i)
        a.append(i);
    a.setPhysicalLength(7);
    EXPECT_EQ(8, a.getPhysicalLength());
    EXPECT_EQ(8, a.getLength());
    a.setPhysicalLength(6);
    EXPECT_EQ(6, a.getPhysicalLength());
    EXPECT_EQ(6, a.getLength());
    EXPECT_EQ(5, a[5]);
    a.setPhysicalLength(0);
    EXPECT_EQ(0, a.getPhysicalLength());
    EXPECT_EQ(0, a.getLength());
}

TEST(KivArray, AssignmentCopiesElementsAndKeepsTheTargetBlock)
{
    KivArray<int> source;
    source.append(1);
    source.append(2);
    KivArray<int> target;
    for (int i = 0; i < 5; ++i)
        target.append(9);
    target = source;
    EXPECT_EQ(2, target.getLength());
    EXPECT_EQ(2, target[1]);

    KivArray<int> empty;
    target = empty;
    EXPECT_EQ(0, target.getLength());
    EXPECT_EQ(8, target.getPhysicalLength());

    KivArray<int> copy(source);
    EXPECT_EQ(2, copy.getLength());
    const KivArray<int>& same = copy;
    copy = same;
    EXPECT_EQ(2, copy.getLength());
}

TEST(KivArray, SetAtGrowAcceptsAnElementOfTheSameArray)
{
    KivArray<KivString> a;
    a.append(KivString("first"));
    for (int i = 1; i < 40; ++i)
        a.setAtGrow(a.getLength(), a[0]);
    EXPECT_EQ(40, a.getLength());
    EXPECT_TRUE(a[39] == KivString("first"));
}

TEST(KivArray, ElementsAreDestroyedExactlyOnce)
{
    {
        KivArray<Tracked> a;
        Tracked t;
        t.value = 3;
        for (int i = 0; i < 100; ++i)
            a.append(t);
        KivArray<Tracked> b(a);
        EXPECT_EQ(3, b[99].value);
        a.setPhysicalLength(10);
        EXPECT_EQ(10, a.getLength());
    }
    EXPECT_EQ(0, Tracked::alive());
}

TEST(KivArray, ContractViolationsAreReportedAndHarmless)
{
    AssertCounter counter;
    KivArray<int> a;
    a.append(1);
    int& spare = a[5];
    EXPECT_EQ(1, counter.reports());
    EXPECT_EQ(std::wstring(L"isValid( index )"), counter.last());
    spare = 42; // writing to the spare element must not touch the array
    EXPECT_EQ(1, a.getLength());
    EXPECT_EQ(0, a[-1]);

    a.setLength(-1);
    EXPECT_EQ(std::wstring(L"len>=0"), counter.last());
    a.setPhysicalLength(-1);
    EXPECT_EQ(std::wstring(L"newPhysicalLen >= 0"), counter.last());
    EXPECT_EQ(1, a.getLength());
    EXPECT_EQ(1, a[0]);
}

TEST(KivArray, AppendingAMillionElementsIsLinear)
{
    const auto start = std::chrono::steady_clock::now();
    KivArray<int> a;
    for (int i = 0; i < 1000000; ++i)
        a.append(i);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(1000000, a.getLength());
    EXPECT_EQ(999999, a[999999]);
    EXPECT_LT(seconds, 5.0) << "growth is not geometric";
}
