#include "TestSupport.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring formatted(const char* fmt, double value)
{
    KivString s;
    return s.format(fmt, value).getStringW();
}

// One directive's text from KivString::format and from the C library.
struct Formatted
{
    std::string ours;
    std::string library;
};

template <class... Args>
Formatted bothFormat(const char* fmt, Args... args)
{
    KivString s;
    s.format(fmt, args...);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, fmt, args...);
    return {norvik_test::narrow(s), buffer};
}

} // namespace

TEST(KivString, FindsLeftsTrimsAndReplaces)
{
    const KivString s("  BOU 20   8 ");
    EXPECT_EQ(2, s.find(KivString("BOU"), 0));
    EXPECT_EQ(-1, s.find(KivString("BOU"), 3));
    EXPECT_EQ(-1, s.find(KivString("B"), 1000));
    EXPECT_EQ(std::wstring(L""), s.left(-1).getStringW());
    KivString t(s);
    t.TrimLeft().TrimRight().replace(0, 4, KivString(""));
    EXPECT_EQ(std::wstring(L"20   8"), t.getStringW());
    EXPECT_EQ(std::wstring(L"abc!"),
              KivString("bc").replace(-2, 0, KivString("a")).replace(9, -1, KivString("!")).getStringW());
    KivString quoted("\"\"name\"");
    quoted.TrimLeft(KivString("\"")).TrimRight(KivString("\""));
    EXPECT_EQ(std::wstring(L"name"), quoted.getStringW());
    KivString white("\r\v\t\f\n x y\n\f\t\v\r");
    EXPECT_EQ(std::wstring(L"x y"), white.TrimLeft().TrimRight().getStringW());
    EXPECT_EQ(std::wstring(L""), KivString("\v").TrimRight().getStringW());
    EXPECT_EQ(L'\0', quoted[99]);
    EXPECT_NE(0, KivString::compareNoCase(KivString("att.grp"), KivString("ATT.*"), 3));
    EXPECT_EQ(0, KivString::compareNoCase(KivString("AT"), KivString("ATT.*"), 3));
}

TEST(KivString, WindowsCodePageBytesRoundTrip)
{
    // Every byte decodes to one character and encodes back to the same byte.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const KivString text(all.c_str());
    EXPECT_EQ(L'\u20AC', text[0x80 - 1]);
    EXPECT_EQ(L'\u0081', text[0x81 - 1]);

    const std::string path = norvik_test::tempDir() + "/bytes";
    FILE* file = nullptr;
    ASSERT_EQ(1, kivfopen(&file, KivString(path.c_str()), KivString("w")));
    kivfprintf(file, L"%s", text.getStringW());
    kivfprintf(file, L"%s", L"B\u00FCro\u20AC\u4E2D");
    kivfclose(file);
    EXPECT_EQ(all + "B\xFCro\x80?", norvik_test::readBytes(path));
}

TEST(KivString, FormatsLikePrintf)
{
    KivString s;
    EXPECT_EQ(std::wstring(L"  CHA   5 1234"), s.format("  CHA %3d %3d", 5, 1234).getStringW());
    EXPECT_EQ(std::wstring(L"-123456.780"), formatted("%3.3f", -123456.78));
    EXPECT_EQ(std::wstring(L"0.000"), formatted("%3.3f", 0.0004));
    EXPECT_EQ(std::wstring(L"10.9"), formatted("%1.1f", 10.9));
    EXPECT_EQ(std::wstring(L"-0.000"), formatted("%3.3f", -0.0));
    EXPECT_EQ(std::wstring(L"nan"), formatted("%3.3f", std::nan("")));
    EXPECT_EQ(std::wstring(L"[  x][y  ][007][+5][ff][1.5e+00]"),
              s.format(L"[%3s][%-3s][%03d][%+d][%x][%.1e]", L"x", L"y", 7, 5, 255, 1.5).getStringW());
    EXPECT_EQ(std::wstring(L"a\u00FC b 100%"), s.format(L"%hs %s %d%%", "a\xFC", L"b", 100).getStringW());
}

// The directives a host may use, against the C library where C defines the
// result (the leading hexadecimal digit of %a, the exponent digits of %e and
// the text of %p are the library's own: compared on POSIX only); in wide text "%hc" and "%hs" take
// 8-bit text, and a null text is "(null)".
TEST(KivString, FormatsEachDirectiveLikeTheCLibrary)
{
    int object = 0;
#if defined(_WIN32)
    const bool posix = false;
#else
    const bool posix = true;
#endif
    const struct
    {
        Formatted got;
        const char* expected;
        bool defined;
    } cases[] = {
        {bothFormat("[%-5d][%-d]", 42, -7), "[42   ][-7]", true},
        {bothFormat("%.*f %.*f", 2, 3.14159, -1, 1.5), "3.14 1.500000", true},
        {bothFormat("%o %#o %#o %#.0o %#5o", 8u, 8u, 0u, 0u, 9u), "10 010 0 0   011", true},
        {bothFormat("[%05.0d][%05.0d][%05d][%-05d]", 0, 7, -7, 7), "[     ][    7][-0007][7    ]", true},
        {bothFormat("[%.3d][%.5x][%8.3d][%.0d]", 7, 15u, -7, 0), "[007][0000f][    -007][]", true},
        {bothFormat("%hhd %hd %lu %llx %X %#X %#x", 300, 70000, 5ul, 255ull, 255u, 255u, 0u), "44 4464 5 ff FF 0XFF 0",
         true},
        {bothFormat("%#.0a %a %.1a %.0e", 1.0, 0.5, 1.0, 12345.0), "0x1.p+0 0x1p-1 0x1.0p+0 1e+04", posix},
        {bothFormat("%p", static_cast<const void*>(&object)), nullptr, posix},
    };
    for (const auto& c : cases) {
        if (c.expected != nullptr) {
            EXPECT_EQ(c.expected, c.got.ours);
        }
        if (c.defined) {
            EXPECT_EQ(c.got.library, c.got.ours);
        }
    }
    KivString s;
    EXPECT_EQ(size_t(2 + 4096), std::wcslen(s.format("%.4097f", 1.0).getStringW())); // precision is capped
    EXPECT_EQ(std::wstring(L"\u20AC \u0080"), s.format(L"%hc %c", 0x80, 0x80).getStringW());
    EXPECT_EQ(std::wstring(L"[(null)][(null)]"),
              s.format(L"[%hs][%s]", static_cast<const char*>(nullptr), static_cast<const wchar_t*>(nullptr))
                  .getStringW());
    EXPECT_EQ(std::wstring(L"[(null)]"), s.format("[%s]", static_cast<const char*>(nullptr)).getStringW());
}

TEST(KivString, ConvertsNumbersAtTheStartOfTheText)
{
    EXPECT_DOUBLE_EQ(-3.0, KivString("  -3xyz").toDouble(false));
    EXPECT_DOUBLE_EQ(1500.0, KivString("1.5e3").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("abc").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("-").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("-.e5").toDouble(false));
    EXPECT_DOUBLE_EQ(12.0, KivString("12,5").toDouble(false));
    EXPECT_DOUBLE_EQ(DBL_MAX, KivString("1e999").toDouble(false));
    EXPECT_DOUBLE_EQ(DBL_MAX, KivString("1e400").toDouble(false));
    EXPECT_DOUBLE_EQ(-DBL_MAX, KivString("-1e999").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("1e-999").toDouble(false));
    EXPECT_TRUE(std::isnan(KivString("nan").toDouble(false)));
    EXPECT_EQ(HUGE_VAL, KivString(" inf").toDouble(false));
    EXPECT_EQ(-HUGE_VAL, KivString("-Infinity!").toDouble(false));

    EXPECT_EQ(-7, KivString(" -7.9").toInteger());
    EXPECT_EQ(5, KivString("+5").toInteger());
    EXPECT_EQ(0, KivString("x1").toInteger());
    EXPECT_EQ(INT_MAX, KivString("99999999999999999999").toInteger());
    EXPECT_EQ(INT_MIN, KivString("-2147483648").toInteger());
    EXPECT_EQ(INT_MIN, KivString("-99999999999999999999").toInteger());
}
