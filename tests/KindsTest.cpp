// The table of kinds: looked up by type, name and file name, and told from
// a file's content.
#include <KivNorvikKinds.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string nameOf(const KivNorvikKind* kind) { return kind != nullptr ? kind->name : "none"; }

std::string detected(const std::string& text)
{
    KivArray<const KivNorvikKind*> kinds;
    const int n = KivNorvikKinds::detect(text.data(), text.size(), kinds);
    std::string names;
    for (int i = 0; i < kinds.getLength(); ++i)
        names += (i != 0 ? " " : "") + nameOf(kinds[i]);
    EXPECT_EQ(n, kinds.getLength());
    return names;
}

} // namespace

TEST(Kinds, LookedUpByTypeNameAndFileName)
{
    ASSERT_EQ(5, KivNorvikKinds::count());
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKind& kind = KivNorvikKinds::at(k);
        EXPECT_EQ(&kind, KivNorvikKinds::of(kind.type));
        EXPECT_EQ(&kind, KivNorvikKinds::named(kind.name));
        EXPECT_EQ(&kind, KivNorvikKinds::named(kind.extension));
        EXPECT_EQ(&kind, KivNorvikKinds::ofPath(KivString((std::string("joint.") + kind.extension).c_str())));
    }
    EXPECT_EQ("BL2", nameOf(KivNorvikKinds::ofPath(KivString("C:\\Hall 2\\joint.BL2"))));
    EXPECT_EQ("BL5", nameOf(KivNorvikKinds::named("bL5")));
    for (const char* path : {"joint.txt", "bl1", ".bl1x", "jointbl1", "joint.bl", "joint.bl6", ""})
        EXPECT_EQ(nullptr, KivNorvikKinds::ofPath(KivString(path))) << path;
    for (const char* name : {"BL6", "BL", "BL12", ""})
        EXPECT_EQ(nullptr, KivNorvikKinds::named(name)) << name;
    EXPECT_EQ(nullptr, KivNorvikKinds::named(nullptr));
}

TEST(Kinds, ToldFromTheContent)
{
    EXPECT_EQ("BL2", detected("\"NV_ATT\",\"P\"\nGEN\nFIN\nPOT\n  MAT 1\nFIN\n"));
    EXPECT_EQ("BL2",
              detected("\"NV_ATT\",\"P\"\r\nGEN\r\nFIN\r\nPOT\r\n  MAT 1\r\nFIN\r\n")); // Windows line ends
    EXPECT_EQ("BL1", detected("GEN\n  ACIER 355.000\nFIN\nTRA D\nFIN\n"));
    EXPECT_EQ("", detected("nothing of an exchange file\n"));
    EXPECT_EQ("", detected(""));
}
