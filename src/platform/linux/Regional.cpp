// Regional settings from the POSIX locale environment, translated into what the
// Windows program read from the control panel: picture formats for dates and times,
// the thousands separator as CP932 text, and a Windows language id.
#include "platform/Regional.h"

#include "platform/CodePage.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace orv {

namespace {

// The locale name in force for one category: the first variable that is set and not
// empty, as setlocale() chooses it ("" when none is).
const char* LocaleName(std::initializer_list<const char*> variables) {
  for (const char* variable : variables) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      return value;
    }
  }
  return "";
}

// Names under which the Windows defaults stand: the C locale has no regional
// conventions of its own, and its "%m/%d/%y" would be a poor stand-in.
bool IsCLocale(std::string_view name) {
  return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

class TLocale {
public:
  // Loads the categories in mask, plus LC_CTYPE so that CODESET names the encoding of
  // their texts.
  TLocale(int mask, const char* name) : m_locale(newlocale(mask | LC_CTYPE_MASK, name, locale_t())) {}
  ~TLocale() {
    if (Valid()) {
      freelocale(m_locale);
    }
  }
  TLocale(const TLocale&) = delete;
  TLocale& operator=(const TLocale&) = delete;

  bool Valid() const { return m_locale != locale_t(); }
  // The nl_langinfo item as UTF-8 ("" when it cannot be converted).
  std::string Text(nl_item item) const;

private:
  locale_t m_locale;
};

std::string TLocale::Text(nl_item item) const {
  const std::string_view text = nl_langinfo_l(item, m_locale);
  const char* codeset = nl_langinfo_l(CODESET, m_locale);
  if (std::strcmp(codeset, "UTF-8") == 0) {
    return std::string(text);
  }
  // Locales in a legacy code set (de_DE is ISO-8859-1) are rare; converted once a run.
  const iconv_t cd = iconv_open("UTF-8", codeset);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return {};
  }
  std::string utf8(text.size() * 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* out = utf8.data();
  std::size_t outLeft = utf8.size();
  const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  utf8.resize(ok ? utf8.size() - outLeft : 0);
  return utf8;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Literal text of a strftime format, quoted where a picture reader would take it for a
// field (letters) or a quote.
void AppendLiteral(std::string& picture, char c) {
  if (IsAsciiLetter(c)) {
    // Extends an open quoted run rather than starting a new one.
    if (picture.size() >= 2 && picture.back() == '\'' && IsAsciiLetter(picture[picture.size() - 2])) {
      picture.insert(picture.size() - 1, 1, c);
    } else {
      picture += '\'';
      picture += c;
      picture += '\'';
    }
  } else if (c == '\'') {
    picture += "\"'\"";
  } else if (c == '"') {
    picture += "'\"'";
  } else {
    picture += c;
  }
}

void AppendPicture(std::string& picture, std::string_view format) {
  std::size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      AppendLiteral(picture, format[i++]);
      continue;
    }
    ++i;
    // glibc flags: "-" and "_" drop the zero padding, "0" asks for it.
    int padded = -1;  // -1: the conversion's own default
    while (i < format.size() && std::strchr("-_0^#", format[i]) != nullptr) {
      if (format[i] == '-' || format[i] == '_') {
        padded = 0;
      } else if (format[i] == '0') {
        padded = 1;
      }
      ++i;
    }
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
      ++i;  // a field width
    }
    if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) {
      ++i;  // alternative era or digits: the plain field is the closest picture
    }
    if (i >= format.size()) {
      break;
    }
    const char conversion = format[i++];
    const auto field = [&](const char* zeroPadded, const char* unpadded, bool padByDefault) {
      picture += (padded == -1 ? padByDefault : padded == 1) ? zeroPadded : unpadded;
    };
    switch (conversion) {
    case 'Y': picture += "yyyy"; break;
    case 'y': picture += "yy"; break;
    case 'm': field("MM", "M", true); break;
    case 'd': field("dd", "d", true); break;
    case 'e': field("dd", "d", false); break;
    case 'H': field("HH", "H", true); break;
    case 'k': field("HH", "H", false); break;
    case 'I': field("hh", "h", true); break;
    case 'l': field("hh", "h", false); break;
    case 'M': field("mm", "m", true); break;
    case 'S': field("ss", "s", true); break;
    case 'p':
    case 'P': picture += "AMPM"; break;
    case 'b':
    case 'h': picture += "MMM"; break;
    case 'B': picture += "MMMM"; break;
    case 'a': picture += "ddd"; break;
    case 'A': picture += "dddd"; break;
    case 'D': AppendPicture(picture, "%m/%d/%y"); break;
    case 'F': AppendPicture(picture, "%Y-%m-%d"); break;
    case 'T': AppendPicture(picture, "%H:%M:%S"); break;
    case 'R': AppendPicture(picture, "%H:%M"); break;
    case 'r': AppendPicture(picture, "%I:%M:%S %p"); break;
    case '%': picture += '%'; break;
    default: break;  // no picture counterpart (%Z, %j, %C ...): dropped
    }
  }
}

// The locale's picture for a D_FMT / T_FMT item as CP932 text, or fallback when the
// locale gives nothing usable. Text CP932 cannot hold (the Korean "%Y년 %m월 %d일")
// would print "?" in every date, so such a picture is not usable either.
std::string PictureSetting(const TLocale& locale, nl_item item, const std::string& fallback) {
  const std::string picture = PictureFromStrftime(locale.Text(item));
  const std::string ansi = Utf8ToAnsi(picture);
  if (picture.empty() || std::count(ansi.begin(), ansi.end(), '?') != std::count(picture.begin(), picture.end(), '?')) {
    return fallback;
  }
  return ansi;
}

struct TLanguageEntry {
  std::string_view Language;
  std::string_view Territory;  // empty: any territory
  std::uint16_t Id;
};

// Territory-specific rows come before their language's general row.
constexpr TLanguageEntry kLanguages[] = {
    {"ja", "", 0x0411}, {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "", 0x0409},
    {"de", "", 0x0407}, {"fr", "", 0x040C},   {"es", "", 0x0C0A},   {"it", "", 0x0410},
    {"nl", "", 0x0413}, {"pt", "BR", 0x0416}, {"pt", "", 0x0816},   {"ru", "", 0x0419},
    {"ko", "", 0x0412}, {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04},
    {"zh", "", 0x0804}, {"pl", "", 0x0415},   {"sv", "", 0x041D},
};

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string PictureFromStrftime(std::string_view format) {
  std::string picture;
  AppendPicture(picture, format);
  // A dropped conversion can leave its separating space at either end.
  const std::size_t first = picture.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  return picture.substr(first, picture.find_last_not_of(' ') - first + 1);
}

uint16_t LanguageIdFromLocaleName(std::string_view name) {
  // language[_territory][.codeset][@modifier]
  const std::string_view head = name.substr(0, name.find_first_of(".@"));
  const std::size_t underscore = head.find('_');
  const std::string_view language = head.substr(0, underscore);
  const std::string_view territory = underscore == std::string_view::npos ? "" : head.substr(underscore + 1);
  for (const TLanguageEntry& entry : kLanguages) {
    if (SameAsciiText(entry.Language, language) &&
        (entry.Territory.empty() || SameAsciiText(entry.Territory, territory))) {
      return entry.Id;
    }
  }
  return 0x0409;
}

TRegionalSettings ReadRegionalSettings() {
  TRegionalSettings settings;

  const char* timeName = LocaleName({"LC_ALL", "LC_TIME", "LANG"});
  // glibc's Japanese formats spell the date and time out ("%Y年%m月%d日"); a Japanese
  // Windows shows "yyyy/MM/dd H:mm:ss", and listings are compared across the two, so
  // a Japanese locale keeps the Windows defaults.
  if (!IsCLocale(timeName) && LanguageIdFromLocaleName(timeName) != 0x0411) {
    const TLocale locale(LC_TIME_MASK, timeName);
    if (locale.Valid()) {
      settings.ShortDateFormat = PictureSetting(locale, D_FMT, settings.ShortDateFormat);
      settings.LongTimeFormat = PictureSetting(locale, T_FMT, settings.LongTimeFormat);
    }
  }

  const char* numericName = LocaleName({"LC_ALL", "LC_NUMERIC", "LANG"});
  if (!IsCLocale(numericName)) {
    const TLocale locale(LC_NUMERIC_MASK, numericName);
    if (locale.Valid()) {
      // Several locales group with a narrow no-break space, which CP932 lacks; a plain
      // space reads the same. The listing groups digits always, so a locale without a
      // separator gets the space too.
      const std::string separator = Utf8ToAnsi(locale.Text(THOUSEP));
      settings.ThousandSeparator =
          separator.empty() || separator.find('?') != std::string::npos ? std::string(" ") : separator;
    }
  }

  settings.DefaultLanguageId = LanguageIdFromLocaleName(LocaleName({"LC_ALL", "LC_MESSAGES", "LANG"}));
  return settings;
}

}  // namespace orv
