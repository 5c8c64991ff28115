// Value texts: sizes in their units, grouped numbers, date-times and attributes.
#include "output/ValueText.h"

#include "core/RunOptions.h"
#include "output/DateTimeFormat.h"
#include "platform/AnsiText.h"

namespace orv {

namespace {

// A full-width space in CP932.

// Writes the digits of magnitude into the end of buffer and returns where they start.
char* FormatDigits(uint64_t magnitude, char* end) {
  char* p = end;
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return p;
}

// The magnitude of value without overflow for the most negative value.
uint64_t Magnitude(int64_t value) {
  return value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

int64_t UnitCount(int64_t size, int unit) {
  int64_t divisor = 1;
  switch (unit) {
    case FileSizeUnitKB: divisor = int64_t{1} << 10; break;
    case FileSizeUnitMB: divisor = int64_t{1} << 20; break;
    case FileSizeUnitGB: divisor = int64_t{1} << 30; break;
    default: return size;
  }
  return size / divisor + (size % divisor != 0 ? 1 : 0);
}

}  // namespace

void AppendDecimal(std::string& out, int64_t value) {
  char buffer[24];
  char* end = buffer + sizeof buffer;
  char* begin = FormatDigits(Magnitude(value), end);
  if (value < 0) {
    *--begin = '-';
  }
  out.append(begin, end);
}

void AppendGroupedNumber(std::string& out, int64_t value, std::string_view separator) {
  char buffer[24];
  char* end = buffer + sizeof buffer;
  const char* digits = FormatDigits(Magnitude(value), end);
  std::size_t count = static_cast<std::size_t>(end - digits);
  if (value < 0) {
    out += '-';
  }
  // The first group holds what is left over after the full groups of three.
  std::size_t group = count % 3 == 0 ? 3 : count % 3;
  while (count > 0) {
    out.append(digits, group);
    digits += group;
    count -= group;
    if (count > 0) {
      out.append(separator);
    }
    group = 3;
  }
}

std::string GroupedNumberText(int64_t value, std::string_view separator) {
  std::string text;
  AppendGroupedNumber(text, value, separator);
  return text;
}

void AppendFileSizeText(std::string& out, int64_t size, bool grouped, int unit, std::string_view separator) {
  const int64_t count = UnitCount(size, unit);
  if (!grouped) {
    AppendDecimal(out, count);
    return;
  }
  AppendGroupedNumber(out, count, separator);
  switch (unit) {
    case FileSizeUnitKB: out += " KB"; break;
    case FileSizeUnitMB: out += " MB"; break;
    case FileSizeUnitGB: out += " GB"; break;
    default: break;
  }
}

std::string FileSizeText(int64_t size, bool grouped, int unit, std::string_view separator) {
  std::string text;
  AppendFileSizeText(text, size, grouped, unit, separator);
  return text;
}

void AppendDateTimeText(std::string& out, TDateTime value, const TRegionalSettings& regional) {
  TDateTimeFields fields;
  if (!DecodeDateTime(value, fields)) {
    return;
  }
  AppendFormattedDateTime(out, regional.ShortDateFormat, fields, regional);
  out += ' ';
  AppendFormattedDateTime(out, regional.LongTimeFormat, fields, regional);
}

std::string DateTimeText(TDateTime value, const TRegionalSettings& regional) {
  std::string text;
  AppendDateTimeText(text, value, regional);
  return text;
}

void AppendAttributeText(std::string& out, const TDataItem& item) {
  if (item.IsReadOnly) out += 'R';
  if (item.IsHidden) out += 'H';
  if (item.IsSystem) out += 'S';
  if (item.IsArchive) out += 'A';
}

std::string AttributeText(const TDataItem& item) {
  std::string text;
  AppendAttributeText(text, item);
  return text;
}

void AppendTreeIndent(std::string& out, int level) {
  const std::string_view space = AnsiIdeographicSpace();
  for (int i = 0; i < level; ++i) {
    out += space;
    out += space;
  }
}

std::string TreeIndent(int level) {
  std::string text;
  AppendTreeIndent(text, level);
  return text;
}

}  // namespace orv
