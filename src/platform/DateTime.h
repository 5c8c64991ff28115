// The program's date-time value: a local date and time held as days since
// 1899-12-30, the time of day as the fraction (the Windows OLE / Delphi TDateTime).
#pragma once

#include <cstdint>

namespace orv {

using TDateTime = double;

struct TDateTimeFields {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Fails (returns false, value untouched) when the fields do not form a date-time in
// the years 1 to 9999.
bool EncodeDateTime(const TDateTimeFields& fields, TDateTime& value);

// The calendar fields of value, rounded to the millisecond. Fails for values outside
// the years 1 to 9999.
bool DecodeDateTime(TDateTime value, TDateTimeFields& fields);

}  // namespace orv
