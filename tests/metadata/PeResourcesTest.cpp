// The PE resource reader on generated images: finding resources by type, name and
// language, refusing cut and damaged images without reading out of bounds, and
// crafted images that would make a naive reader run for minutes.
#include "metadata/PeResources.h"

#include "metadata/FileVerInfo.h"
#include "metadata/PeIcon.h"
#include "PeTestImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::TPeResource;

std::vector<TResourceLanguage> Languages(std::initializer_list<uint16_t> ids) {
  std::vector<TResourceLanguage> languages;
  for (uint16_t id : ids) languages.push_back(TResourceLanguage{id, 0});
  return languages;
}

TEST(PeResourcesTest, ChoosesTheLanguageTheLoaderWould) {
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0409, 0x0411}), 0x0411), 1u);
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0C04, 0x0804, 0x1004}), 0x1004), 2u);  // exact beats primary
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0409, 0x0C04, 0x0804}), 0x1004), 1u);  // first of the primary
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0409, 0x0800, 0x0000}), 0x040C), 1u);  // neutral beats English
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0407, 0x0409}), 0x040C), 1u);
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0407, 0x0419}), 0x040C), 0u);
  EXPECT_EQ(ChooseResourceLanguage(Languages({0x0419}), 0x0411), 0u);
}

TEST(PeResourcesTest, FindsIconGroupsAndNamedResources) {
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 101, {{1, 16, 32, std::string("small icon\0bytes", 16)}, {2, 32, 32, "large"}});
  resources.push_back(TPeResource{10, 0, u"CONFIG", 0x0411, "named data"});
  resources.push_back(TPeResource{10, 7, u"", 0x0409, "seven"});
  test::TTempDir dir;

  for (bool pe32Plus : {false, true}) {
    const std::string path = dir.WriteFile("icons.exe", test::BuildPeImage(resources, pe32Plus));
    TPeResources pe;
    ASSERT_TRUE(pe.Open(path));
    EXPECT_EQ(pe.IsPe32Plus(), pe32Plus);

    std::vector<TResourceName> names;
    ASSERT_TRUE(pe.ListNames(ResourceTypeGroupIcon, names));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].Id, 101);
    std::vector<TResourceLanguage> languages;
    ASSERT_TRUE(pe.ListLanguages(names[0], languages));
    ASSERT_EQ(languages.size(), 1u);
    EXPECT_EQ(languages[0].Id, 0x0409);
    std::string bytes;
    ASSERT_TRUE(pe.ReadResource(languages[0], bytes));
    EXPECT_EQ(bytes, resources[2].Data);

    // The group names its icons by id.
    TResourceName icon;
    ASSERT_TRUE(pe.FindName(ResourceTypeIcon, 1, icon));
    ASSERT_TRUE(pe.ListLanguages(icon, languages));
    ASSERT_TRUE(pe.ReadResource(languages[0], bytes));
    EXPECT_EQ(bytes, std::string("small icon\0bytes", 16));
    ASSERT_TRUE(pe.ReadResource(languages[0], bytes, 5));
    EXPECT_EQ(bytes, "small");
    EXPECT_FALSE(pe.FindName(ResourceTypeIcon, 3, icon));
    EXPECT_FALSE(pe.ListNames(ResourceTypeVersion, names));
    EXPECT_TRUE(names.empty());

    // String names come first and are read as stored.
    ASSERT_TRUE(pe.ListNames(10, names));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[0].IsString);
    EXPECT_EQ(names[0].String, u"CONFIG");
    EXPECT_FALSE(names[1].IsString);
    EXPECT_EQ(names[1].Id, 7);
    ASSERT_TRUE(pe.ListLanguages(names[0], languages));
    EXPECT_EQ(languages[0].Id, 0x0411);
    ASSERT_TRUE(pe.ReadResource(languages[0], bytes));
    EXPECT_EQ(bytes, "named data");

    pe.Close();
    EXPECT_FALSE(pe.ListNames(10, names));
  }
}

TEST(PeResourcesTest, CutImagesGiveNoInfo) {
  const std::string block =
      test::EncodeVersionNode(test::VersionInfo({{u"040904B0", {{u"FileVersion", u"9.9"}}}}, {{0x0409, 0x04B0}}));
  for (bool pe32Plus : {false, true}) {
    test::TPeLayout layout;
    const std::string image = test::BuildVersionImage(
        test::VersionInfo({{u"040904B0", {{u"FileVersion", u"9.9"}}}}, {{0x0409, 0x04B0}}), pe32Plus, &layout);
    const std::size_t dataEnd = layout.Data[0] + block.size();
    TFileVerInfo info(0x0409);
    // Everything up to the end of the version data is needed; the section's padding
    // after it is not.
    for (std::size_t cut = 0; cut <= image.size(); ++cut) {
      info.LoadImage(std::string_view(image).substr(0, cut));
      ASSERT_EQ(info.HasVersionInfo(), cut >= dataEnd) << cut;
      ASSERT_EQ(info.FileVersion(), cut >= dataEnd ? "9.9" : "") << cut;
    }

    test::TTempDir dir;
    info.SetFileName(dir.WriteFile("cut.dll", image.substr(0, layout.SectionTable + 20)));
    EXPECT_FALSE(info.HasVersionInfo());
    info.SetFileName(dir.WriteFile("cut.dll", image.substr(0, dataEnd - 1)));
    EXPECT_FALSE(info.HasVersionInfo());
    info.SetFileName(dir.WriteFile("cut.dll", image.substr(0, dataEnd)));
    EXPECT_EQ(info.FileVersion(), "9.9");
  }
}

TEST(PeResourcesTest, DamagedImagesGiveNoInfoAndNeverLoop) {
  test::TPeLayout layout;
  std::vector<TPeResource> resources = {
      TPeResource{16, 1, u"", 0x0409,
                  test::EncodeVersionNode(test::VersionInfo({{u"040904B0", {{u"FileVersion", u"9.9"}}}},
                                                            {{0x0409, 0x04B0}}))}};
  test::AddIconGroup(resources, 1, {{1, 16, 32, "icon"}});
  const std::string good = test::BuildPeImage(resources, false, &layout);
  const std::size_t optional = layout.OptionalHeader;
  const std::size_t tree = layout.ResourceTree;
  // Tree order: types 3, 14, 16; the version's type directory is the third.
  const std::size_t versionTypeEntry = tree + 16 + 2 * 8;
  const std::size_t versionType = layout.TypeDirectories[2];
  const std::size_t versionName = versionType + 16;
  const std::size_t versionLanguages = layout.DataEntries[0] - 16 * 2 - (16 + 8) * 1;

  struct TDamage {
    const char* What;
    std::size_t Offset;
    uint32_t Value;
    bool Word;
  };
  const TDamage damages[] = {
      {"DOS signature", 0, 0x5A4E, true},
      {"header offset past the end", 0x3C, 0x7FFFFFF0, false},
      {"header offset near the top", 0x3C, 0xFFFFFFFE, false},
      {"PE signature", layout.PeHeader, 0x00014550, false},
      {"optional header magic", optional, 0x107, true},
      {"optional header too small", layout.PeHeader + 20, 64, true},
      {"two data directories", optional + 92, 2, false},
      {"no sections", layout.PeHeader + 6, 0, true},
      {"65535 sections", layout.PeHeader + 6, 0xFFFF, true},
      {"tree outside every section", optional + 96 + 16, 0x9000, false},
      {"tree address at the top", optional + 96 + 16, 0xFFFFFFF0, false},
      {"section raw data past the end", layout.SectionTable + 20, 0x7FFFFF00, false},
      {"section shorter than the tree", layout.SectionTable + 8, 16, false},
      {"root entry count huge", tree + 14, 0xFFFF, true},
      {"named entry count huge", versionType + 12, 0xFFFF, true},
      {"type directory is the root", versionTypeEntry + 4, 0x80000000u, false},
      {"type directory past the end", versionTypeEntry + 4, 0xFFFFFFFF, false},
      {"name directory is its own parent", versionName + 4, 0x80000000u | uint32_t(versionType - tree), false},
      {"name string past the end", versionName, 0xFFFFFFF0, false},
      {"language entry is a directory", versionLanguages + 16 + 4, 0x80000000u, false},
      {"data entry is the root", versionLanguages + 16 + 4, 0, false},
      {"data past the end", layout.DataEntries[0], 0x7FFFFFFF, false},
      {"data size huge", layout.DataEntries[0] + 4, 0xFFFFFFF0, false},
      {"data size zero", layout.DataEntries[0] + 4, 0, false},
      {"version block longer than its data", layout.Data[0], 0xFFFF, true},
  };
  TFileVerInfo info(0x0409);
  info.LoadImage(good);
  ASSERT_EQ(info.FileVersion(), "9.9");
  for (const TDamage& damage : damages) {
    std::string image = good;
    if (damage.Word) {
      test::Poke16(image, damage.Offset, static_cast<uint16_t>(damage.Value));
    } else {
      test::Poke32(image, damage.Offset, damage.Value);
    }
    info.LoadImage(image);
    EXPECT_FALSE(info.HasVersionInfo()) << damage.What;
    EXPECT_EQ(info.FileVersion(), "") << damage.What;
  }

  // Every byte of the headers and the tree damaged in turn: never a crash, a hang or
  // a read outside the image (the sanitizers watch), and the icon stays findable
  // whenever the damage lies outside what leads to it.
  TPeResources pe;
  std::vector<TResourceName> names;
  std::vector<TResourceLanguage> languages;
  std::string bytes;
  int intact = 0;
  for (std::size_t i = 0; i < layout.Data[0]; ++i) {
    for (unsigned char mask : {0xFF, 0x80, 0x01}) {
      std::string image = good;
      image[i] = static_cast<char>(image[i] ^ mask);
      info.LoadImage(image);
      if (!info.HasVersionInfo()) {
        EXPECT_EQ(info.FileVersion(), "");
      }
      if (pe.OpenImage(image)) {
        for (uint16_t type : {ResourceTypeIcon, ResourceTypeGroupIcon, ResourceTypeVersion}) {
          if (!pe.ListNames(type, names)) continue;
          for (const TResourceName& name : names) {
            if (!pe.ListLanguages(name, languages)) continue;
            for (const TResourceLanguage& language : languages) {
              if (pe.ReadResource(language, bytes)) {
                EXPECT_LE(bytes.size(), image.size());
              }
            }
          }
        }
        TResourceName icon;
        intact += pe.FindName(ResourceTypeIcon, 1, icon) && pe.ListLanguages(icon, languages) &&
                  pe.ReadResource(languages[0], bytes) && bytes == "icon";
      }
    }
  }
  EXPECT_GT(intact, 0);
}

TEST(PeResourcesTest, CraftedImagesStillGiveWhatTheyHold) {
  // Each image repeats one costly thing 65,535 times (a member that is missing behind
  // 65,534 sections, one broken 4 MB member, one 65,535-character name); a reader that
  // pays for each repetition does not finish within the test's time.
  test::TTempDir dir;
  constexpr uint32_t kBlue = 0xFF0000FFu;
  const std::string member = test::SolidIconDib(32, kBlue);
  TPeIconReader reader(0x0409);
  for (const auto& [name, image] : {std::pair{"missing.exe", test::BuildIconGroupOfMissingMembers(member)},
                                    std::pair{"broken.exe", test::BuildIconGroupOfOneBrokenImage(member)}}) {
    TIconImage icon;
    ASSERT_TRUE(reader.SmallIcon(dir.WriteFile(name, image), icon)) << name;
    EXPECT_EQ(icon.Pixels, std::vector<uint32_t>(256, kBlue)) << name;
  }

  const std::string block = test::EncodeVersionNode(
      test::VersionInfo({test::TStringTable{u"040904B0", {{u"FileVersion", u"1.0"}}}}, {{0x0409, 0x04B0}}));
  TFileVerInfo info(0x0409);
  info.SetFileName(dir.WriteFile("named.dll", test::BuildManyNamedVersions(block)));
  EXPECT_EQ(info.FileVersion(), "1.0");
}

}  // namespace
}  // namespace orv
