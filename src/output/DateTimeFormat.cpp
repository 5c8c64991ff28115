// The date-time picture formatter.
#include "output/DateTimeFormat.h"

#include "platform/AnsiText.h"
#include "platform/CodePage.h"

#include <cstdint>

namespace orv {

namespace {

constexpr const char* kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Upper(text[at + i]) != prefix[i]) {
      return false;
    }
  }
  return true;
}

// 0 for Sunday; the proleptic Gregorian calendar, which is what the decoded fields use.
int DayOfWeek(const TDateTimeFields& f) {
  const int y = f.Month <= 2 ? f.Year - 1 : f.Year;
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (f.Month + (f.Month > 2 ? -3 : 9)) + 2) / 5 + f.Day - 1;
  const int64_t days = int64_t{era} * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;  // since 0000-03-01
  return static_cast<int>((days + 3) % 7);  // 0000-03-01 was a Wednesday
}

class TFormatter {
public:
  TFormatter(std::string& out, const TDateTimeFields& fields, const TRegionalSettings& regional)
      : m_out(out), m_f(fields), m_regional(regional), m_doubleByte(ActiveCodePage() != CodePageUtf8) {}

  // Pictures may name other pictures (ddddd, tt, c); as in the original, only one
  // level of nesting is followed, so a picture naming itself cannot loop.
  void Append(std::string_view picture, int depth) {
    if (depth >= 2) {
      return;
    }
    bool use12Hour = false;
    char lastToken = ' ';
    std::size_t i = 0;
    while (i < picture.size()) {
      const char starter = picture[i];
      if (Length(picture, i) == 2) {
        m_out.append(picture.substr(i, 2));
        i += 2;
        lastToken = ' ';
        continue;
      }
      ++i;
      char token = Upper(starter);
      if (token >= 'A' && token <= 'Z') {
        // "m" right after an hour means minutes: "h:mm" against "yyyy/MM".
        if (token == 'M' && lastToken == 'H') {
          token = 'N';
        }
        lastToken = token;
      }
      // How often starter repeats here, itself included (exact case, as the pictures
      // are written).
      auto count = [&]() {
        const std::size_t begin = i;
        while (i < picture.size() && picture[i] == starter) {
          ++i;
        }
        return static_cast<int>(i - begin) + 1;
      };
      switch (token) {
        case 'Y':
          if (count() <= 2) {
            Number(m_f.Year % 100, 2);
          } else {
            Number(m_f.Year, 4);
          }
          break;
        case 'M': {
          const int n = count();
          if (n <= 2) {
            Number(m_f.Month, n);
          } else {
            m_out += (n == 3 ? kShortMonths : kLongMonths)[m_f.Month - 1];
          }
          break;
        }
        case 'D': {
          const int n = count();
          if (n <= 2) {
            Number(m_f.Day, n);
          } else if (n <= 4) {
            m_out += (n == 3 ? kShortDays : kLongDays)[DayOfWeek(m_f)];
          } else {
            Append(m_regional.ShortDateFormat, depth + 1);
          }
          break;
        }
        case 'H': {
          const int n = count();
          use12Hour = use12Hour || AmPmFollows(picture, i);
          int hour = m_f.Hour;
          if (use12Hour) {
            hour = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
          }
          Number(hour, n > 2 ? 2 : n);
          break;
        }
        case 'N': {
          const int n = count();
          Number(m_f.Minute, n > 2 ? 2 : n);
          break;
        }
        case 'S': {
          const int n = count();
          Number(m_f.Second, n > 2 ? 2 : n);
          break;
        }
        case 'Z': {
          const int n = count();
          Number(m_f.Millisecond, n > 3 ? 3 : n);
          break;
        }
        case 'T':
          count();
          Append(m_regional.LongTimeFormat, depth + 1);
          break;
        case 'C':
          count();
          Append(m_regional.ShortDateFormat, depth + 1);
          if (m_f.Hour != 0 || m_f.Minute != 0 || m_f.Second != 0) {
            m_out += ' ';
            Append(m_regional.LongTimeFormat, depth + 1);
          }
          break;
        case 'A':
          i = AmPm(picture, i - 1, use12Hour);
          break;
        case '\'':
        case '"': {
          const std::size_t begin = i;
          while (i < picture.size() && picture[i] != starter) {
            i += Length(picture, i);
          }
          m_out.append(picture.substr(begin, i - begin));
          if (i < picture.size()) {
            ++i;
          }
          break;
        }
        default:
          m_out += starter;
          break;
      }
    }
  }

private:
  // CharLength, with the code page read once per value rather than per character.
  std::size_t Length(std::string_view text, std::size_t at) const {
    return m_doubleByte && IsCp932LeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
  }

  void Number(int value, int digits) {
    char buffer[12];
    int length = 0;
    unsigned magnitude = static_cast<unsigned>(value < 0 ? -value : value);
    do {
      buffer[length++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    for (int pad = length; pad < digits; ++pad) {
      m_out += '0';
    }
    while (length > 0) {
      m_out += buffer[--length];
    }
  }

  // Whether an AM/PM part comes later in the picture before the next hour, outside
  // quotes; the hour is then on the 12-hour clock.
  bool AmPmFollows(std::string_view picture, std::size_t from) {
    bool quoted = false;
    for (std::size_t j = from; j < picture.size(); j += Length(picture, j)) {
      const char c = picture[j];
      if ((c == 'A' || c == 'a') && !quoted) {
        return StartsWithNoCase(picture, j, "AM/PM") || StartsWithNoCase(picture, j, "A/P") ||
               StartsWithNoCase(picture, j, "AMPM");
      }
      if ((c == 'H' || c == 'h') && !quoted) {
        return false;
      }
      if (c == '\'' || c == '"') {
        quoted = !quoted;
      }
    }
    return false;
  }

  // Formats the AM/PM part starting at at and returns the index after it. AM/PM and A/P
  // copy the picture's own letters (so "am/pm" writes "am" or "pm").
  std::size_t AmPm(std::string_view picture, std::size_t at, bool& use12Hour) {
    const bool pm = m_f.Hour >= 12;
    if (StartsWithNoCase(picture, at, "AM/PM")) {
      m_out.append(picture.substr(at + (pm ? 3 : 0), 2));
      use12Hour = true;
      return at + 5;
    }
    if (StartsWithNoCase(picture, at, "A/P")) {
      m_out += picture[at + (pm ? 2 : 0)];
      use12Hour = true;
      return at + 3;
    }
    if (StartsWithNoCase(picture, at, "AMPM")) {
      m_out += pm ? "PM" : "AM";
      use12Hour = true;
      return at + 4;
    }
    if (StartsWithNoCase(picture, at, "AAAA")) {
      m_out += kLongDays[DayOfWeek(m_f)];
      return at + 4;
    }
    if (StartsWithNoCase(picture, at, "AAA")) {
      m_out += kShortDays[DayOfWeek(m_f)];
      return at + 3;
    }
    m_out += picture[at];
    return at + 1;
  }

  std::string& m_out;
  const TDateTimeFields& m_f;
  const TRegionalSettings& m_regional;
  bool m_doubleByte;
};

}  // namespace

void AppendFormattedDateTime(std::string& out, std::string_view picture, const TDateTimeFields& fields,
                             const TRegionalSettings& regional) {
  TFormatter(out, fields, regional).Append(picture, 0);
}

std::string FormatDateTime(std::string_view picture, TDateTime value, const TRegionalSettings& regional) {
  std::string text;
  TDateTimeFields fields;
  if (DecodeDateTime(value, fields)) {
    AppendFormattedDateTime(text, picture, fields, regional);
  }
  return text;
}

}  // namespace orv
