#include "KivCharConv.h"
#include "TestSupport.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Switches the C and C++ locales to a comma-decimal locale while it lives:
// the usual names first, then on POSIX any installed locale with a comma.
class CommaLocale
{
public:
    CommaLocale()
    {
        std::vector<std::string> names = {
            "de_DE.UTF-8",         "de_DE.utf8", "fr_FR.UTF-8",        "fr_FR.utf8",
            "German_Germany.1252", "de-DE",      "French_France.1252", "fr-FR"};
#if !defined(_WIN32)
        if (FILE* list = popen("locale -a 2>/dev/null", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, list) != nullptr)
                names.emplace_back(line, std::strcspn(line, "\r\n"));
            pclose(list);
        }
#endif
        for (const std::string& name : names) {
            if (std::setlocale(LC_ALL, name.c_str()) == nullptr)
                continue;
            if (std::localeconv()->decimal_point[0] != ',')
                continue;
            active = true;
            try {
                previous = std::locale::global(std::locale(name));
            } catch (const std::runtime_error&) {
                // A C++ library that knows only the "C" locale: the C locale alone changes.
            }
            break;
        }
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, "C");
        std::locale::global(previous);
    }
    bool active = false;

private:
    std::locale previous;
};

} // namespace

TEST(Locale, FilesWrittenAndReadUnderACommaLocaleMatchTheCLocale)
{
    KivBL3Data data;
    data.secondaryElementGroup.posZ = 150.25;
    data.generalGroup.neige = 0.45;
    NorvikGlobalData::GenLoading snow;
    snow.type = 2;
    data.generalGroup.loadings.append(snow);
    KivBL3Data::Bolt& bolt = data.secondaryElementGroup.boltSec;
    bolt.kind = 1;
    bolt.value1 = bolt.value2 = bolt.value3 = bolt.value4 = bolt.value5 = 8.8;
    bolt.number = 2;
    const std::string dir = norvik_test::tempDir();
    const std::string reference = norvik_test::writeToBytes(data, KivNorvikFileWriter::eFormatBL3, dir, "c");

    // POSIX systems can always have one; Windows has its own under its own names.
    CommaLocale locale;
    if (!locale.active) {
#if defined(_WIN32)
        if (std::getenv("CI") == nullptr)
            GTEST_SKIP() << "no comma-decimal locale on this machine";
#endif
        FAIL() << "no comma-decimal locale on this machine: generate one, for example with "
                  "\"localedef -i de_DE -f UTF-8 de_DE.UTF-8\" (as root; scripts/test.sh does)";
    }
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_EQ(std::string("1,5"), probe) << "the locale does not use a comma";

    EXPECT_EQ(reference, norvik_test::writeToBytes(data, KivNorvikFileWriter::eFormatBL3, dir, "comma"));
    KivBL3Data read;
    ASSERT_EQ(1, norvik_test::readFromBytes<KivNorvikBL3Reader>(reference, read, dir));
    EXPECT_DOUBLE_EQ(150.25, read.secondaryElementGroup.posZ);
    EXPECT_DOUBLE_EQ(0.45, read.generalGroup.neige);
    EXPECT_DOUBLE_EQ(8.8, read.secondaryElementGroup.boltSec.value5);
}

#if !defined(_WIN32)
// The base library's own conversions take the C library's printf and strtod,
// whose decimal point is the locale's.
TEST(Locale, TheOwnNumberConversionsKeepThePoint)
{
    CommaLocale locale;
    if (!locale.active)
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    char text[64];
    const auto written =
        KivCharConv::fallback::toChars(text, text + sizeof text, -1234.5678, std::chars_format::fixed, 3);
    EXPECT_EQ("-1234.568", std::string(text, written.ptr));
    const auto general =
        KivCharConv::fallback::toChars(text, text + sizeof text, 0.000125, std::chars_format::general, 6);
    EXPECT_EQ("0.000125", std::string(text, general.ptr));
    const std::string number = "355.0625e1";
    double value = 0;
    const auto read = KivCharConv::fallback::fromChars(number.data(), number.data() + number.size(), value);
    EXPECT_EQ(number.data() + number.size(), read.ptr);
    EXPECT_EQ(3550.625, value);
}
#endif
