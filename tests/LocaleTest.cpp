#include "TestSupport.h"

#include <clocale>
#include <cstdlib>
#include <locale>
#include <string>

namespace {

// Switches the C and C++ locales to a comma-decimal locale while it lives.
class CommaLocale
{
public:
    CommaLocale()
    {
        const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
        for (const char* name : names) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                active_ = true;
                try {
                    previous_ = std::locale::global(std::locale(name));
                } catch (const std::exception&) {
                }
                break;
            }
        }
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, "C");
        std::locale::global(previous_);
    }
    bool active() const { return active_; }

private:
    bool active_ = false;
    std::locale previous_;
};

} // namespace

// CI generates de_DE.UTF-8; elsewhere the test is skipped when no such locale exists.
#define REQUIRE_COMMA_LOCALE(locale)                                                    \
    if (!(locale).active()) {                                                           \
        if (std::getenv("CI") != nullptr)                                               \
            FAIL() << "no comma-decimal locale on this machine";                        \
        GTEST_SKIP() << "no comma-decimal locale on this machine";                      \
    }

TEST(Locale, NumbersUseThePointUnderACommaLocale)
{
    CommaLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_EQ(std::string("1,5"), probe) << "the locale does not use a comma";

    KivString s;
    EXPECT_EQ(std::wstring(L"-123456.780 12.500"), s.format("%3.3f %3.3f", -123456.78, 12.5).getStringW());
    EXPECT_DOUBLE_EQ(12.5, KivString("12.500").toDouble(false));

    const std::string path = norvik_test::tempDir() + "/numbers";
    FILE* file = nullptr;
    ASSERT_EQ(1, kivfopen(&file, KivString(path.c_str()), KivString("w")));
    kivfprintf(file, "  ACIER %3.3f", 235.0);
    kivfprintf(file, L" %s %1.1f", L"x", 8.8);
    kivfclose(file);
    EXPECT_EQ("  ACIER 235.000 x 8.8", norvik_test::readBytes(path));
}

TEST(Locale, FilesWrittenAndReadUnderACommaLocaleMatchTheCLocale)
{
    KivBL3Data data;
    data.secondaryElementGroup.posZ = 150.25;
    data.secondaryElementGroup.jeu = 0.5;
    data.generalGroup.neige = 0.45;
    NorvikGlobalData::GenLoading snow;
    snow.type = 2;
    data.generalGroup.loadings.append(snow);
    const std::string dir = norvik_test::tempDir();
    const std::string reference = norvik_test::writeToBytes(data, KivNorvikFileWriter::eFormatBL3, dir, "c");

    CommaLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    EXPECT_EQ(reference, norvik_test::writeToBytes(data, KivNorvikFileWriter::eFormatBL3, dir, "comma"));
    KivBL3Data read;
    ASSERT_EQ(1, norvik_test::readFromBytes<KivNorvikBL3Reader>(reference, read, dir));
    EXPECT_DOUBLE_EQ(150.25, read.secondaryElementGroup.posZ);
    EXPECT_DOUBLE_EQ(0.45, read.generalGroup.neige);
}
