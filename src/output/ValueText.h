// The texts of single values in a listing: sizes, counts, date-times, attribute
// letters and the tree indentation. Each Append... form adds to out without a
// temporary, for the per-entry paths; the plain forms return the text.
#pragma once

#include "core/DataItem.h"
#include "platform/DateTime.h"
#include "platform/Regional.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// The decimal digits of value, with "-" when it is negative.
void AppendDecimal(std::string& out, int64_t value);

// value with its digits grouped by threes with separator ("#,#0").
void AppendGroupedNumber(std::string& out, int64_t value, std::string_view separator);
std::string GroupedNumberText(int64_t value, std::string_view separator);

// size in the unit of unit (0 bytes, 1 KB, 2 MB, 3 GB; any other value counts as
// bytes), where any remainder counts as one more unit: 1 byte is 1 KB, 0 is 0. Plain:
// the digits alone. Grouped: digits grouped with separator, then " KB", " MB" or " GB".
std::string FileSizeText(int64_t size, bool grouped, int unit, std::string_view separator);
void AppendFileSizeText(std::string& out, int64_t size, bool grouped, int unit, std::string_view separator);

// value as the short date, one space and the long time of regional. A value outside
// the years 1 to 9999 gives the empty text.
std::string DateTimeText(TDateTime value, const TRegionalSettings& regional);
void AppendDateTimeText(std::string& out, TDateTime value, const TRegionalSettings& regional);

// "R", "H", "S" and "A" for the flags item has set, in that order; "" for none.
std::string AttributeText(const TDataItem& item);
void AppendAttributeText(std::string& out, const TDataItem& item);

// level times two full-width spaces; "" for a level of 0 or less.
std::string TreeIndent(int level);
void AppendTreeIndent(std::string& out, int level);

}  // namespace orv
