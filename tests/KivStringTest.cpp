#include "TestSupport.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::wstring formatted(const char* fmt, double value)
{
    KivString s;
    return s.format(fmt, value).getStringW();
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
    KivString quoted("\"\"name\"");
    quoted.TrimLeft(KivString("\"")).TrimRight(KivString("\""));
    EXPECT_EQ(std::wstring(L"name"), quoted.getStringW());
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

TEST(KivString, ConvertsNumbersAtTheStartOfTheText)
{
    EXPECT_DOUBLE_EQ(-3.0, KivString("  -3xyz").toDouble(false));
    EXPECT_DOUBLE_EQ(1500.0, KivString("1.5e3").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("abc").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("-").toDouble(false));
    EXPECT_DOUBLE_EQ(12.0, KivString("12,5").toDouble(false));
    EXPECT_DOUBLE_EQ(DBL_MAX, KivString("1e999").toDouble(false));
    EXPECT_DOUBLE_EQ(-DBL_MAX, KivString("-1e999").toDouble(false));
    EXPECT_DOUBLE_EQ(0.0, KivString("1e-999").toDouble(false));
    EXPECT_TRUE(std::isnan(KivString("nan").toDouble(false)));

    EXPECT_EQ(-7, KivString(" -7.9").toInteger());
    EXPECT_EQ(5, KivString("+5").toInteger());
    EXPECT_EQ(0, KivString("x1").toInteger());
    EXPECT_EQ(INT_MAX, KivString("99999999999999999999").toInteger());
    EXPECT_EQ(INT_MIN, KivString("-2147483648").toInteger());
    EXPECT_EQ(INT_MIN, KivString("-99999999999999999999").toInteger());
}
