// The user's regional settings, as the listing's value texts and the version reader
// need them.
#pragma once

#include <cstdint>
#include <string>

namespace orv {

struct TRegionalSettings {
  // Windows picture formats ("yyyy/MM/dd", "H:mm:ss") as FormatDateTime reads them.
  std::string ShortDateFormat = "yyyy/MM/dd";
  std::string LongTimeFormat = "H:mm:ss";
  // CP932 text, one character.
  std::string ThousandSeparator = ",";
  // Windows language id of the user's language (0x0411 Japanese, 0x0409 US English).
  uint16_t DefaultLanguageId = 0x0409;
};

// Reads the settings from the environment's locale (LC_ALL, LC_TIME, LC_NUMERIC,
// LC_MESSAGES, LANG). Under the C/POSIX locale, or a locale the system does not have,
// the Japanese Windows defaults above apply (language 0x0409 for C).
TRegionalSettings ReadRegionalSettings();

// Converts a strftime format (nl_langinfo D_FMT / T_FMT) to a Windows picture format.
// Conversions it does not know are dropped.
std::string PictureFromStrftime(std::string_view format);

// The Windows language id for a locale name such as "ja_JP.UTF-8"; 0x0409 for C,
// POSIX and names it does not know.
uint16_t LanguageIdFromLocaleName(std::string_view name);

}  // namespace orv
