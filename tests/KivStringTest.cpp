#include "TestSupport.h"

#include <KivFormat.h>
#include <KivNorvikToken.h>

#include <cfloat>
#include <charconv>
#include <cstring>
#include <cwctype>
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
    EXPECT_EQ(0,
              KivString::compareNoCase(KivString("xtt"), KivString("ATT"), 3)); // the first character counts
    EXPECT_EQ(std::wstring(L"abc"), KivString("abcdef").left(3).getStringW());
    EXPECT_EQ(std::wstring(L"abcdef"), KivString("abcdef").left(9).getStringW());
    EXPECT_EQ(std::wstring(L"50%"),
              KivString().format("50%").getStringW()); // a directive cut short stays text
    std::string integers;
    KivFormat::appendInteger(integers, 12345, 3); // a width smaller than the digits
    KivFormat::appendInteger(integers, -7, 4);
    EXPECT_EQ("12345  -7", integers);
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
    // In 8-bit text a character beyond a byte, or any "%lc", goes through the code page.
    EXPECT_EQ(std::wstring(L"\u20AC|?"), s.format("%c|%lc", 0x20AC, 0x80).getStringW());
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
        {bothFormat("[%1s][%-1s][%1s]", "", "", "ab"), "[ ][ ][ab]", true},
        {bothFormat("%.*f %.*f", 2, 3.14159, -1, 1.5), "3.14 1.500000", true},
        // Windows' C library prints nothing for "%#.0o" of 0, where C requires "0".
        {bothFormat("%o %#o %#o %#.0o %#5o", 8u, 8u, 0u, 0u, 9u), "10 010 0 0   011", posix},
        {bothFormat("[%05.0d][%05.0d][%05d][%-05d]", 0, 7, -7, 7), "[     ][    7][-0007][7    ]", true},
        {bothFormat("[%.3d][%.5x][%8.3d][%.0d][%.1u]", 7, 15u, -7, 0, 10u), "[007][0000f][    -007][][10]",
         true},
        {bothFormat("%hhd %hd %lu %llx %X %#X %#x", 300, 70000, 5ul, 255ull, 255u, 255u, 0u),
         "44 4464 5 ff FF 0XFF 0", true},
        // Lengths of 64-bit values: each takes its whole argument.
        {bothFormat("%jd %zu %td %tu %jx %zx %hhu %hu %Lg", -(intmax_t(1) << 40), size_t(1) << 40,
                    -(ptrdiff_t(1) << 35), ptrdiff_t(1) << 36, uintmax_t(1) << 44, size_t(1) << 33, 300u,
                    70000u, 1.5L),
         "-1099511627776 1099511627776 -34359738368 68719476736 100000000000 200000000 44 4464 1.5", posix},
        {bothFormat("%#.0a %a %.1a %.0e", 1.0, 0.5, 1.0, 12345.0), "0x1.p+0 0x1p-1 0x1.0p+0 1e+04", posix},
        {bothFormat("%.2E %G %.1A %F %e", 12345.0, 1e-5, 1.0, HUGE_VAL, -HUGE_VAL),
         "1.23E+04 1E-05 0X1.0P+0 INF -inf", posix},
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
    EXPECT_EQ(std::wstring(L"[  "),
              s.format("[%3hc]", 0).getStringW()); // a zero character ends the text, as in C
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
    // Texts too long for a short buffer: every digit and the exponent count.
    const std::string zeros(70, '0');
    EXPECT_DOUBLE_EQ(25.0, KivString(("2.5" + zeros + "e+1").c_str()).toDouble(false));
    EXPECT_DOUBLE_EQ(0.25, KivString(("2.5" + zeros + "E-1x").c_str()).toDouble(false));
    EXPECT_DOUBLE_EQ(25.0, KivString(("+" + zeros + "25e0").c_str()).toDouble(false));

    EXPECT_EQ(-7, KivString(" -7.9").toInteger());
    EXPECT_EQ(5, KivString("+5").toInteger());
    EXPECT_EQ(0, KivString("x1").toInteger());
    EXPECT_EQ(INT_MAX, KivString("99999999999999999999").toInteger());
    EXPECT_EQ(INT_MIN, KivString("-2147483648").toInteger());
    EXPECT_EQ(INT_MIN, KivString("-99999999999999999999").toInteger());
}

namespace {

// The conversion as first written: the real prefix copied as ASCII text, then
// parsed. The fast path must give the same bits on every text.
double referenceToDouble(const std::wstring& text)
{
    auto white = [](wchar_t c) {
        return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
    };
    auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    size_t i = 0;
    while (i < text.size() && white(text[i]))
        ++i;
    std::string out;
    auto accept = [&] { out.push_back(static_cast<char>(text[i++])); };
    if (i < text.size() && text[i] == L'-')
        accept();
    else if (i < text.size() && text[i] == L'+')
        ++i;
    auto matchWord = [&](const wchar_t* word) {
        size_t k = 0;
        while (word[k] && i + k < text.size() &&
               std::towlower(static_cast<wint_t>(text[i + k])) == static_cast<wint_t>(word[k]))
            ++k;
        return word[k] == 0;
    };
    if (matchWord(L"infinity") || matchWord(L"inf")) {
        out += "inf";
    } else if (matchWord(L"nan")) {
        out += "nan";
    } else {
        while (i < text.size() && digit(text[i]))
            accept();
        if (i < text.size() && text[i] == L'.') {
            accept();
            while (i < text.size() && digit(text[i]))
                accept();
        }
        if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
            size_t j = i + 1;
            if (j < text.size() && (text[j] == L'+' || text[j] == L'-'))
                ++j;
            if (j < text.size() && digit(text[j])) {
                while (i < j)
                    accept();
                while (i < text.size() && digit(text[i]))
                    accept();
            }
        }
    }
    if (out.empty() || out == "-")
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(out.data(), out.data() + out.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Above the range when the first nonzero digit's decimal exponent is positive.
        const size_t e = out.find_first_of("eE");
        long long exponent = 0;
        if (e != std::string::npos) {
            size_t k = e + 1;
            const bool negative = out[k] == '-';
            k += out[k] == '+' || out[k] == '-';
            for (; k < out.size(); ++k)
                exponent = exponent < 100000000 ? exponent * 10 + (out[k] - '0') : exponent;
            exponent = negative ? -exponent : exponent;
        }
        const std::string mantissa = out.substr(0, e);
        const size_t first = mantissa.find_first_of("123456789");
        const size_t point = mantissa.find('.');
        long long magnitude = 0;
        if (first != std::string::npos) {
            if (point == std::string::npos)
                magnitude = static_cast<long long>(mantissa.size() - first) - 1;
            else if (first < point)
                magnitude = static_cast<long long>(point - first) - 1;
            else
                magnitude = -static_cast<long long>(first - point);
        }
        const bool above = first != std::string::npos && magnitude + exponent > 0;
        return out[0] == '-' ? (above ? -DBL_MAX : -0.0) : (above ? DBL_MAX : 0.0);
    }
    return result.ec == std::errc() ? value : 0.0;
}

} // namespace

namespace {

// The integer conversion as first written, on wide text.
int referenceToInteger(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = value > 3000000000LL ? value : value * 10 + (text[i] - L'0');
    value = negative ? -value : value;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// Whether the whole text is a number as the reader's findings judge it: no
// white space first, a sign, then an integer, or a real with digits before or
// after its point and an optional exponent, or inf, infinity, nan.
bool referenceIsWhole(const std::wstring& text, bool real)
{
    size_t i = 0;
    auto digit = [&](size_t k) { return k < text.size() && text[k] >= L'0' && text[k] <= L'9'; };
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        ++i;
    if (real && !digit(i) && (i >= text.size() || text[i] != L'.')) {
        std::wstring rest = text.substr(i);
        for (wchar_t& c : rest)
            c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        return rest == L"inf" || rest == L"infinity" || rest == L"nan";
    }
    int digits = 0;
    for (; digit(i); ++i)
        ++digits;
    if (real && i < text.size() && text[i] == L'.')
        for (++i; digit(i); ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (real && i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-'))
            ++j;
        if (digit(j))
            for (i = j; digit(i); ++i) {
            }
    }
    return i == text.size();
}

} // namespace

TEST(KivString, FastConversionsMatchTheReferenceOnGeneratedTexts)
{
    const wchar_t alphabet[] = L"0123456789012345678900000.....--++eeEE  \tinfINFatyAN,x\x130\xE9";
    const size_t letters = sizeof alphabet / sizeof alphabet[0] - 1;
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
    for (int n = 0; n < 200000; ++n) {
        const size_t length = n % 97 == 0 ? 40 + next() % 400 : next() % 24;
        std::wstring text;
        for (size_t k = 0; k < length; ++k)
            text.push_back(n % 3 == 0 && k > 0 ? L"0123456789"[next() % 10] : alphabet[next() % letters]);
        const double expected = referenceToDouble(text);
        const double actual = KivString(text.c_str()).toDouble(false);
        if (std::isnan(expected)) {
            ASSERT_TRUE(std::isnan(actual)) << n;
        } else {
            ASSERT_EQ(0, std::memcmp(&expected, &actual, sizeof expected))
                << n << " " << expected << " " << actual;
        }
        ASSERT_EQ(referenceToInteger(text), KivString(text.c_str()).toInteger()) << n;
        // A token of a line's bytes reads the same, and says whether it took the whole text.
        if (text.find(L'\x130') != std::wstring::npos)
            continue;
        std::string bytes;
        for (wchar_t c : text)
            bytes.push_back(static_cast<char>(c));
        const KivNorvikToken token(bytes.data(), bytes.size());
        const double fromBytes = token.toDouble(false);
        ASSERT_EQ(std::isnan(expected), std::isnan(fromBytes)) << n;
        if (!std::isnan(expected)) {
            ASSERT_EQ(0, std::memcmp(&expected, &fromBytes, sizeof expected)) << n;
        }
        ASSERT_EQ(referenceIsWhole(text, true), token.lastWhole()) << n;
        ASSERT_EQ(referenceToInteger(text), token.toInteger()) << n;
        ASSERT_EQ(referenceIsWhole(text, false), token.lastWhole()) << n;
        ASSERT_EQ(KivString(text.c_str()), KivString(token)) << n;
    }
    // Plain decimals around the edges of the exact path: 15 to 20 digits, up to 24 decimals.
    for (int n = 0; n < 100000; ++n) {
        const size_t digits = 1 + next() % 20;
        std::wstring text = n % 2 == 0 ? L"" : L"-";
        const size_t point = next() % (digits + 1);
        for (size_t k = 0; k < digits; ++k) {
            if (k == point)
                text.push_back(L'.');
            text.push_back(L"0123456789"[k == 0 && n % 4 == 1 ? 9 : next() % 10]);
        }
        if (n % 5 == 0)
            text.insert(text.size() - digits + point, L"000000");
        const double expected = referenceToDouble(text);
        std::string bytes(text.begin(), text.end());
        const double actual = KivNorvikToken(bytes.data(), bytes.size()).toDouble(false);
        ASSERT_EQ(0, std::memcmp(&expected, &actual, sizeof expected)) << n;
    }
    // Refilling a string from bytes reads them as the constructor does, up to a zero byte.
    KivString reused;
    for (int n = 0; n < 20000; ++n) {
        char bytes[40];
        const size_t length = next() % sizeof bytes;
        for (size_t k = 0; k < length; ++k)
            bytes[k] = static_cast<char>(n % 5 == 0 ? next() % 256 : 32 + next() % 200);
        const std::string copy(bytes, length);
        reused.assign(bytes, length);
        ASSERT_TRUE(reused == KivString(copy.c_str())) << n;
    }
}

TEST(KivString, FixedFormatsMatchTheExactConversion)
{
    unsigned long long seed = 99;
    auto next = [&seed] { return seed = seed * 6364136223846793005ull + 1442695040888963407ull, seed >> 11; };
    for (int n = 0; n < 300000; ++n) {
        const int precision = static_cast<int>(next() % 10);
        double value;
        switch (n % 4) {
        case 0: value = static_cast<double>(next() % 2000000) / 1000.0 - 1000.0; break; // written reals
        case 1:
            value =
                (static_cast<double>(next() % 20000) + 0.5) / std::pow(10.0, static_cast<double>(next() % 6));
            break; // ties
        case 2: value = std::ldexp(static_cast<double>(next()), -static_cast<int>(next() % 80)); break;
        default:
            value = std::ldexp(static_cast<double>(next() % 100000), static_cast<int>(next() % 40));
            break;
        }
        char expected[512];
        const double magnitude = std::fabs(value);
        auto result = std::to_chars(expected, expected + sizeof expected, magnitude, std::chars_format::fixed,
                                    precision);
        std::string text = (std::signbit(value) ? "-" : "") + std::string(expected, result.ptr);
        KivString actual;
        actual.format("%.*f", precision, value);
        ASSERT_EQ(KivString(text.c_str()), actual) << n << " " << text;
    }
}

TEST(KivString, CopiesStayIndependentWhateverChangesOne)
{
    struct Change
    {
        const char* name;
        void (*apply)(KivString&);
        const wchar_t* expected;
    };
    const Change changes[] = {
        {"assign", [](KivString& s) { s.assign("xy", 2); }, L"xy"},
        {"8-bit =", [](KivString& s) { s = "G"; }, L"G"},
        {"+=", [](KivString& s) { s += KivString(" !"); }, L" ab c  ! !"},
        {"+= itself", [](KivString& s) { s += s; }, L" ab c  ! ab c  !"},
        {"TrimLeft", [](KivString& s) { s.TrimLeft(); }, L"ab c  !"},
        {"TrimRight set", [](KivString& s) { s.TrimRight(KivString("! ")); }, L" ab c"},
        {"TrimLeft set", [](KivString& s) { s.TrimLeft(KivString(" a")); }, L"b c  !"},
        {"replace", [](KivString& s) { s.replace(1, 2, KivString("Z")); }, L" Z c  !"},
        {"format", [](KivString& s) { s.format("%d", 7); }, L"7"},
        {"empty", [](KivString& s) { s.assign("", 0); }, L""},
    };
    // An ordinary text, a permanent one (kept, as meant, by a static) and a shared one behave alike.
    static const KivString permanent = KivString::permanent(L" ab c  !");
    const KivString originals[] = {KivString(L" ab c  !"), permanent, KivString::shared(" ab c  !", 8)};
    for (const Change& change : changes)
        for (const KivString& original : originals) {
            KivString copy(original);
            KivString copyOfCopy;
            copyOfCopy = copy;
            change.apply(copy);
            EXPECT_EQ(std::wstring(change.expected), copy.getStringW()) << change.name;
            EXPECT_EQ(std::wstring(L" ab c  !"), original.getStringW()) << change.name;
            EXPECT_EQ(original, copyOfCopy) << change.name;
            KivString alone(L" ab c  !"); // the same change on a string that shares nothing
            change.apply(alone);
            EXPECT_EQ(copy, alone) << change.name;
        }
    // Shared texts read as assign() does, whether the pool holds them or not
    // (other tests of the process may have filled it): which block a text
    // gets is not part of what it promises.
    const KivString g = KivString::shared("G", 1), again = KivString::shared("G\0x", 3);
    EXPECT_EQ(g, again);
    EXPECT_EQ(std::wstring(L"G"), again.getStringW());
    EXPECT_EQ(std::wstring(L"\u20ac1"), KivString::shared("\x80"
                                                          "1",
                                                          2)
                                            .getStringW());
    EXPECT_EQ(std::wstring(L"0123456789abcdef"), KivString::shared("0123456789abcdef", 16).getStringW());
    EXPECT_EQ(1, KivString::shared("", 0).isEmpty());
    EXPECT_EQ(1, KivString::permanent(L"").isEmpty());
    KivString grown;
    for (int i = 0; i < 10000; ++i)
        grown += KivString(i % 2 == 0 ? "ab" : "c");
    EXPECT_EQ(15000, static_cast<int>(std::wcslen(grown.getStringW())));
    EXPECT_EQ(L'c', grown[14999]);
    EXPECT_EQ(1, KivString().isEmpty());
    EXPECT_EQ(std::wstring(L""), KivString(static_cast<const char*>(nullptr)).getStringW());
}
