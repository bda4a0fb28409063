// The base library's own floating-point conversions, used where the C++
// library lacks them (Emscripten), held against the standard ones here. They
// serve toolchains on the C libraries of Linux and the web; Windows
// toolchains have the standard forms, so the Windows build skips this.
#include "KivCharConv.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#if !defined(_WIN32)

namespace {

double fromBits(uint64_t bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint64_t bitsOf(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Finite doubles of every exponent, subnormals and the edges of the range.
std::vector<double> sampleDoubles()
{
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  1.0,
                                  0.1,
                                  2.5,
                                  0.125,
                                  1e22,
                                  1e23,
                                  9007199254740993.0,
                                  123456.78,
                                  355.0005,
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min(),
                                  fromBits(0x000FFFFFFFFFFFFFull), // largest subnormal
                                  DBL_MIN,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  fromBits(0x3FFFFFFFFFFFFFFFull)}; // just below 2: rounds into the lead
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 3000; ++i) {
        double value = fromBits(random());
        if (!std::isfinite(value)) {
            continue;
        }
        values.push_back(value);
    }
    for (int i = 0; i < 1000; ++i) { // subnormals, and values of the size files hold
        values.push_back(fromBits(random() & 0x800FFFFFFFFFFFFFull));
        values.push_back(static_cast<double>(static_cast<int64_t>(random() % 2000000001) - 1000000000) /
                         1000.0);
    }
    return values;
}

std::string standardText(double value, std::chars_format format, int precision)
{
    char buffer[1600];
    const auto result = precision < 0
                            ? std::to_chars(buffer, buffer + sizeof buffer, value, format)
                            : std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "(error)";
}

std::string fallbackText(double value, std::chars_format format, int precision)
{
    char buffer[1600];
    const auto result =
        precision < 0 && format == std::chars_format::hex
            ? KivCharConv::fallback::toHex(buffer, buffer + sizeof buffer, value)
            : KivCharConv::fallback::toChars(buffer, buffer + sizeof buffer, value, format, precision);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "(error)";
}

struct Parsed
{
    uint64_t bits = 0;
    std::ptrdiff_t used = 0;
    std::errc ec{};
};

Parsed standardParse(const std::string& text)
{
    double value = -1.25; // left as it is when out of range
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return {bitsOf(value), result.ptr - text.data(), result.ec};
}

Parsed fallbackParse(const std::string& text)
{
    double value = -1.25;
    const auto result = KivCharConv::fallback::fromChars(text.data(), text.data() + text.size(), value);
    return {bitsOf(value), result.ptr - text.data(), result.ec};
}

void expectSameParse(const std::string& text)
{
    const Parsed expected = standardParse(text);
    const Parsed got = fallbackParse(text);
    if (std::isnan(fromBits(expected.bits))) {
        EXPECT_TRUE(std::isnan(fromBits(got.bits))) << text;
        EXPECT_EQ(std::signbit(fromBits(expected.bits)), std::signbit(fromBits(got.bits))) << text;
    } else {
        EXPECT_EQ(expected.bits, got.bits) << text;
    }
    EXPECT_EQ(expected.used, got.used) << text;
    EXPECT_EQ(static_cast<int>(expected.ec), static_cast<int>(got.ec)) << text;
}

} // namespace

TEST(CharConvFallback, WritesWhatTheStandardWritesInEveryFormat)
{
    const struct
    {
        std::chars_format format;
        std::vector<int> precisions;
    } cases[] = {{std::chars_format::fixed, {0, 1, 3, 6, 17, 40}},
                 {std::chars_format::scientific, {0, 1, 3, 16, 25}},
                 {std::chars_format::general, {0, 1, 6, 17}},
                 {std::chars_format::hex, {-1, 0, 1, 3, 12, 13, 15}}};
    int mismatches = 0;
    for (double value : sampleDoubles()) {
        for (const auto& c : cases) {
            for (int precision : c.precisions) {
                const std::string expected = standardText(value, c.format, precision);
                const std::string got = fallbackText(value, c.format, precision);
                if (expected != got && ++mismatches <= 10) {
                    ADD_FAILURE() << "format " << static_cast<int>(c.format) << " precision " << precision
                                  << " of bits " << std::hex << bitsOf(value) << ": " << got
                                  << " != " << expected;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(CharConvFallback, NonFiniteValuesAndShortBuffers)
{
    for (double value :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(standardText(value, std::chars_format::fixed, 3),
                  fallbackText(value, std::chars_format::fixed, 3));
        EXPECT_EQ(standardText(value, std::chars_format::hex, -1),
                  fallbackText(value, std::chars_format::hex, -1));
    }
    char small[4];
    const auto result =
        KivCharConv::fallback::toChars(small, small + sizeof small, 355.0, std::chars_format::fixed, 3);
    EXPECT_EQ(result.ec, std::errc::value_too_large);
    EXPECT_EQ(result.ptr, small + sizeof small);
}

TEST(CharConvFallback, ReadsWhatTheStandardReads)
{
    for (double value : sampleDoubles()) {
        expectSameParse(standardText(value, std::chars_format::general, 17));
        expectSameParse(standardText(value, std::chars_format::scientific, 25));
        expectSameParse(standardText(value, std::chars_format::fixed, 3));
        char shortest[64];
        expectSameParse(
            std::string(shortest, std::to_chars(shortest, shortest + sizeof shortest, value).ptr));
    }
    // Range edges, halfway cases, words and partial or missing numbers.
    const std::string edges[] = {"1e400",
                                 "-1e400",
                                 "1e-400",
                                 "-1e-400",
                                 "0e99999",
                                 "4.9e-324",
                                 "2.4703282292062327e-324",
                                 "2.4703282292062328e-324",
                                 "2.2250738585072011e-308",
                                 "1.7976931348623157e308",
                                 "1.7976931348623158e308",
                                 "1.7976931348623159e308",
                                 "9007199254740993",
                                 "0.1000000000000000055511151231257827021181583404541015625",
                                 "00000000000000000000001e-5",
                                 "1" + std::string(400, '0'),
                                 "0." + std::string(400, '0') + "1",
                                 "123456789012345678901234567890e-20",
                                 "inf",
                                 "-Infinity",
                                 "infinit",
                                 "NaN",
                                 "-nan(12_ab)",
                                 "nan(",
                                 "",
                                 "-",
                                 "+1",
                                 ".",
                                 ".5",
                                 "5.",
                                 "-.5e1",
                                 "1e",
                                 "1e+",
                                 "1E-2x",
                                 "0x1p3",
                                 " 1"};
    for (const std::string& text : edges) {
        expectSameParse(text);
    }
}

#endif
