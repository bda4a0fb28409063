#include "TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <new>
#include <string>

using norvik_test::AssertCounter;

namespace {

// Counts live elements to catch leaked or doubly destroyed ones.
struct Tracked
{
    static int& alive()
    {
        static int n = 0;
        return n;
    }
    Tracked() { ++alive(); }
    Tracked(const Tracked& o) : value(o.value) { ++alive(); }
    // Throws at the failAt()-th assignment from now, when that is set.
    static int& failAt()
    {
        static int n = 0;
        return n;
    }
    Tracked& operator=(const Tracked& o)
    {
        if (failAt() > 0 && --failAt() == 0)
            throw std::bad_alloc();
        value = o.value;
        return *this;
    }
    ~Tracked() { --alive(); }
    int value = -1;
};

// Hands out blocks until its budget is spent, and counts those alive.
struct Budget
{
    static int& left()
    {
        static int n = 0;
        return n;
    }
    static int& alive()
    {
        static int n = 0;
        return n;
    }
    static int* allocate(int count)
    {
        if (left()-- <= 0)
            return nullptr;
        ++alive();
        return static_cast<int*>(std::malloc(sizeof(int) * static_cast<size_t>(count)));
    }
    static void deallocate(int* block)
    {
        alive() -= block != nullptr ? 1 : 0;
        std::free(block);
    }
};

// Trivially copyable, so moved by its bytes when its array grows; its
// default constructor throws at the failAt()-th construction from now.
struct Relocated
{
    static int& failAt()
    {
        static int n = 0;
        return n;
    }
    Relocated()
    {
        if (failAt() > 0 && --failAt() == 0)
            throw std::bad_alloc();
    }
    int value = -1;
};
static_assert(KivRelocatable<Relocated>::value, "grows in place");

} // namespace

// A copy that runs out of blocks, at once or half-way, throws rather than
// coming out shorter, and keeps no block.
TEST(KivArray, CopyWithoutMemoryThrows)
{
    using Array = KivArray<int, KivArrayObjectCopyReallocator<int>, Budget>;
    AssertCounter counter;
    Budget::left() = 2;
    Array source;
    for (int i = 0; i < 10; ++i)
        source.append(i); // a block of 8, then one of 16
    ASSERT_EQ(1, Budget::alive());
    Budget::left() = 0;
    EXPECT_THROW(Array copy(source), std::bad_alloc);
    Array target;
    EXPECT_THROW(target = source, std::bad_alloc);
    EXPECT_EQ(1, Budget::alive());
    Budget::left() = 1; // a copy takes one block, whatever the length
    target = source;
    ASSERT_EQ(10, target.getLength());
    EXPECT_EQ(9, target[9]);
    target.clear();
    Array moved(std::move(source));
    EXPECT_EQ(10, moved.getLength());
    EXPECT_EQ(1, Budget::alive());
}

TEST(KivArray, GrowsInStepsAndFillsNewSlotsWithDefaults)
{
    KivArray<int> a;
    EXPECT_EQ(8, a.getGrowBy());
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(i, a.append(i * 10));
    EXPECT_EQ(9, a.getLength());
    EXPECT_EQ(16, a.getPhysicalLength());
    EXPECT_EQ(80, a[8]);

    KivArray<NorvikGlobalData::GenLoading> loadings;
    loadings.setAtGrow(5, NorvikGlobalData::GenLoading());
    EXPECT_EQ(6, loadings.getLength());
    EXPECT_EQ(8, loadings.getPhysicalLength());
    EXPECT_EQ(-123456, loadings[2].number);
    EXPECT_TRUE(loadings[2].text1 == KivNorvikData::undefinedString());

    // Relocatable elements keep their values, texts included, through every growth.
    for (int i = 6; i < 5000; ++i) {
        NorvikGlobalData::GenLoading loading;
        loading.number = i;
        loading.text1.format("L%d", i);
        loadings.append(loading);
    }
    for (int i = 6; i < 5000; i += 997) {
        EXPECT_EQ(i, loadings[i].number);
        EXPECT_TRUE(KivString().format("L%d", i) == loadings[i].text1) << i;
    }
    EXPECT_TRUE(loadings[4999].text1 == KivString("L4999"));
    EXPECT_TRUE(loadings[5].text2 == KivNorvikData::undefinedString());

    // A default constructor that throws while the block grows leaves the array as it was.
    KivArray<Relocated> r;
    for (int i = 0; i < 8; ++i) {
        Relocated element;
        element.value = i;
        r.append(element);
    }
    Relocated::failAt() = 3;
    EXPECT_THROW(r.setLength(9), std::bad_alloc);
    Relocated::failAt() = 0;
    EXPECT_EQ(8, r.getLength());
    EXPECT_EQ(8, r.getPhysicalLength());
    EXPECT_EQ(7, r[7].value);
    r.setLength(20);
    EXPECT_EQ(7, r[7].value);
    EXPECT_EQ(-1, r[19].value);
}

TEST(KivArray, ShrinksOnlyBeyondAQuarterAndAssignsIntoItsBlock)
{
    KivArray<int> a;
    for (int i = 0; i < 8; ++i)
        a.append(i);
    a.setPhysicalLength(7);
    EXPECT_EQ(8, a.getPhysicalLength());
    a.setPhysicalLength(6);
    EXPECT_EQ(6, a.getPhysicalLength());
    EXPECT_EQ(6, a.getLength());
    EXPECT_EQ(5, a[5]);

    const KivArray<int> empty;
    a = empty;
    EXPECT_EQ(0, a.getLength());
    EXPECT_EQ(6, a.getPhysicalLength());
    a.setPhysicalLength(0);
    EXPECT_EQ(0, a.getPhysicalLength());
    a.setPhysicalLength(5); // room reserved in an array without a block
    EXPECT_EQ(5, a.getPhysicalLength());
    EXPECT_EQ(0, a.getLength());

    // An element of the array itself may be appended.
    KivArray<KivString> s;
    s.append(KivString("first"));
    for (int i = 1; i < 40; ++i)
        s.setAtGrow(s.getLength(), s[0]);
    s.setAtGrow(39, KivString("last")); // within the length: replaced
    EXPECT_TRUE(s[39] == KivString("last"));
    s.setAtGrow(39, s[0]);
    KivArray<KivString> copy(s);
    const KivArray<KivString>& same = copy;
    copy = same;
    EXPECT_EQ(40, copy.getLength());
    EXPECT_TRUE(copy[39] == KivString("first"));
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
        const int before = Tracked::alive();
        Tracked::failAt() = 50; // a copy that fails half-way keeps nothing
        EXPECT_THROW(KivArray<Tracked> c(a), std::bad_alloc);
        Tracked::failAt() = 50;
        KivArray<Tracked> d;
        EXPECT_THROW(d = a, std::bad_alloc);
        d.clear();
        Tracked::failAt() = 0;
        EXPECT_EQ(before, Tracked::alive());
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
    a[5] = 42; // the spare element, not the array
    EXPECT_EQ(std::wstring(L"isValid( index )"), counter.last());
    EXPECT_EQ(0, a[-1]);
    a.setLength(-1);
    EXPECT_EQ(std::wstring(L"len>=0"), counter.last());
    a.setPhysicalLength(-1);
    EXPECT_EQ(std::wstring(L"newPhysicalLen >= 0"), counter.last());
    a.setPhysicalLength(8);
    a[1] = 7; // one past the end, inside the block
    EXPECT_EQ(5, counter.reports());
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
    EXPECT_EQ(999999, a[999999]);
    EXPECT_LT(seconds, 5.0) << "growth is not geometric";
}
