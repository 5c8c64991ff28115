// Regional settings: strftime formats as picture formats, locale names as language ids,
// and which environment variable decides (the tests change the environment and put it
// back).
#include "platform/Regional.h"

#include <gtest/gtest.h>

#include <locale.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace orv {
namespace {

// Sets locale variables for one test; every variable it touched is restored (or
// unset again) when it ends. nullptr unsets.
class TScopedLocaleEnvironment {
public:
  TScopedLocaleEnvironment(const char* lcAll, const char* lcTime, const char* lcNumeric, const char* lcMessages,
                           const char* lang) {
    Set("LC_ALL", lcAll);
    Set("LC_TIME", lcTime);
    Set("LC_NUMERIC", lcNumeric);
    Set("LC_MESSAGES", lcMessages);
    Set("LANG", lang);
  }
  ~TScopedLocaleEnvironment() {
    for (const auto& [name, value] : m_saved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  TScopedLocaleEnvironment(const TScopedLocaleEnvironment&) = delete;
  TScopedLocaleEnvironment& operator=(const TScopedLocaleEnvironment&) = delete;

private:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

void ExpectWindowsDefaults(const TRegionalSettings& settings) {
  EXPECT_EQ(settings.ShortDateFormat, "yyyy/MM/dd");
  EXPECT_EQ(settings.LongTimeFormat, "H:mm:ss");
  EXPECT_EQ(settings.ThousandSeparator, ",");
}

TEST(Regional, PictureFromStrftime) {
  EXPECT_EQ(PictureFromStrftime("%m/%d/%Y"), "MM/dd/yyyy");
  EXPECT_EQ(PictureFromStrftime("%d.%m.%Y"), "dd.MM.yyyy");
  EXPECT_EQ(PictureFromStrftime("%H:%M:%S"), "HH:mm:ss");
  EXPECT_EQ(PictureFromStrftime("%I:%M:%S %p"), "hh:mm:ss AMPM");
  EXPECT_EQ(PictureFromStrftime("%r"), "hh:mm:ss AMPM");
  EXPECT_EQ(PictureFromStrftime("%D"), "MM/dd/yy");
  EXPECT_EQ(PictureFromStrftime("%F %T"), "yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(PictureFromStrftime("%-d/%-m/%Y %-H:%M"), "d/M/yyyy H:mm");
  EXPECT_EQ(PictureFromStrftime("%e %b %Y, %k:%M %l"), "d MMM yyyy, H:mm h");
  EXPECT_EQ(PictureFromStrftime("%A, %B %d %a"), "dddd, MMMM dd ddd");
  EXPECT_EQ(PictureFromStrftime("%Y年%m月%d日"), "yyyy年MM月dd日");
  EXPECT_EQ(PictureFromStrftime("%Ey/%Om/%10d"), "yy/MM/dd");  // modifiers and widths skipped
  // Unknown conversions go, with the space they leave at an end; literal letters and
  // quotes are quoted so that they print as themselves.
  EXPECT_EQ(PictureFromStrftime("%T %Z"), "HH:mm:ss");
  EXPECT_EQ(PictureFromStrftime("%j"), "");
  EXPECT_EQ(PictureFromStrftime("%Hh%Mmin 100%%"), "HH'h'mm'min' 100%");
  EXPECT_EQ(PictureFromStrftime("%d'%m"), "dd\"'\"MM");
}

TEST(Regional, LanguageIdFromLocaleName) {
  EXPECT_EQ(LanguageIdFromLocaleName("ja_JP.UTF-8"), 0x0411);
  EXPECT_EQ(LanguageIdFromLocaleName("ja"), 0x0411);
  EXPECT_EQ(LanguageIdFromLocaleName("en_US.UTF-8"), 0x0409);
  EXPECT_EQ(LanguageIdFromLocaleName("en_GB.UTF-8"), 0x0809);
  EXPECT_EQ(LanguageIdFromLocaleName("en_AU"), 0x0409);
  EXPECT_EQ(LanguageIdFromLocaleName("de_DE.ISO-8859-15@euro"), 0x0407);
  EXPECT_EQ(LanguageIdFromLocaleName("fr_CA.UTF-8"), 0x040C);
  EXPECT_EQ(LanguageIdFromLocaleName("es_MX"), 0x0C0A);
  EXPECT_EQ(LanguageIdFromLocaleName("pt_BR.UTF-8"), 0x0416);
  EXPECT_EQ(LanguageIdFromLocaleName("pt_PT.UTF-8"), 0x0816);
  EXPECT_EQ(LanguageIdFromLocaleName("zh_TW.UTF-8"), 0x0404);
  EXPECT_EQ(LanguageIdFromLocaleName("zh_SG.UTF-8"), 0x0804);
  EXPECT_EQ(LanguageIdFromLocaleName("sv_FI"), 0x041D);
  EXPECT_EQ(LanguageIdFromLocaleName("C"), 0x0409);
  EXPECT_EQ(LanguageIdFromLocaleName("C.UTF-8"), 0x0409);
  EXPECT_EQ(LanguageIdFromLocaleName("POSIX"), 0x0409);
  EXPECT_EQ(LanguageIdFromLocaleName(""), 0x0409);
  EXPECT_EQ(LanguageIdFromLocaleName("jam_JM"), 0x0409);  // a prefix of "ja" is no match
}

TEST(Regional, ReadRegionalSettingsFollowsTheEnvironment) {
  {
    TScopedLocaleEnvironment env("C", "xx_XX.UTF-8", nullptr, "ja_JP.UTF-8", "ja_JP.UTF-8");
    const TRegionalSettings settings = ReadRegionalSettings();
    ExpectWindowsDefaults(settings);
    EXPECT_EQ(settings.DefaultLanguageId, 0x0409);  // LC_ALL overrides everything
  }
  {
    TScopedLocaleEnvironment env("", nullptr, "POSIX", nullptr, "C.UTF-8");
    const TRegionalSettings settings = ReadRegionalSettings();
    ExpectWindowsDefaults(settings);
    EXPECT_EQ(settings.DefaultLanguageId, 0x0409);
  }
  {
    // Locales the system cannot load leave the defaults, yet the language still comes
    // from the name: LC_MESSAGES before LANG.
    TScopedLocaleEnvironment env(nullptr, "ko_XX.UTF-8", "ko_XX.UTF-8", "sv_XX.UTF-8", "ja_XX.UTF-8");
    const TRegionalSettings settings = ReadRegionalSettings();
    ExpectWindowsDefaults(settings);
    EXPECT_EQ(settings.DefaultLanguageId, 0x041D);
  }
  {
    TScopedLocaleEnvironment env(nullptr, nullptr, nullptr, nullptr, "ja_XX.UTF-8");
    EXPECT_EQ(ReadRegionalSettings().DefaultLanguageId, 0x0411);
  }
  {
    TScopedLocaleEnvironment env(nullptr, nullptr, nullptr, nullptr, nullptr);
    const TRegionalSettings settings = ReadRegionalSettings();
    ExpectWindowsDefaults(settings);
    EXPECT_EQ(settings.DefaultLanguageId, 0x0409);
  }
}

TEST(Regional, ReadRegionalSettingsFromAnInstalledLocale) {
  for (const char* name : {"en_US.UTF-8", "ja_JP.UTF-8"}) {
    const locale_t probe = newlocale(LC_ALL_MASK, name, locale_t());
    ASSERT_NE(probe, locale_t()) << name << " is not generated: scripts/install-deps.sh generates it";
    freelocale(probe);
  }
  // The time category comes from LC_TIME, the separator from LANG.
  TScopedLocaleEnvironment env(nullptr, "en_US.UTF-8", nullptr, nullptr, "en_US.UTF-8");
  const TRegionalSettings settings = ReadRegionalSettings();
  EXPECT_EQ(settings.ShortDateFormat, "MM/dd/yyyy");
  EXPECT_EQ(settings.LongTimeFormat, "hh:mm:ss AMPM");
  EXPECT_EQ(settings.ThousandSeparator, ",");
  EXPECT_EQ(settings.DefaultLanguageId, 0x0409);

  TScopedLocaleEnvironment japanese(nullptr, nullptr, nullptr, nullptr, "ja_JP.UTF-8");
  EXPECT_EQ(ReadRegionalSettings().DefaultLanguageId, 0x0411);
}

}  // namespace
}  // namespace orv
