// Date-time pictures as the Windows regional settings write them ("yyyy/MM/dd",
// "H:mm:ss", "h:mm:ss AMPM"), formatted the way the listings have always shown them.
//
// Letters (case-insensitive): y/yy two-digit year, yyy.. four digits; M/MM month
// number, MMM and MMMM its short and long name; d/dd day, ddd/dddd day name, ddddd
// the short date picture, dddddd too; h/hh hour (12-hour when an AM/PM part follows),
// n/nn and m/mm right after an hour minutes, s/ss seconds, z/zzz milliseconds,
// AM/PM, A/P and AMPM; t/tt the long time picture; c short date and, unless midnight,
// the long time. "/" and ":" are the date and time separators. Text between single or
// double quotes is copied; any other character, double-byte ones included, is copied.
// Names are English (the C locale's).
#pragma once

#include "platform/DateTime.h"
#include "platform/Regional.h"

#include <string>
#include <string_view>

namespace orv {

void AppendFormattedDateTime(std::string& out, std::string_view picture, const TDateTimeFields& fields,
                             const TRegionalSettings& regional);

// picture applied to value; "" when value lies outside the years 1 to 9999.
std::string FormatDateTime(std::string_view picture, TDateTime value, const TRegionalSettings& regional);

}  // namespace orv
