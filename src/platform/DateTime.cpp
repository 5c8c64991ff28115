// The Delphi TDateTime: whole days since 1899-12-30 plus the time of day as a
// fraction. Calendar arithmetic is done on integer day numbers (proleptic Gregorian),
// so no floating-point error reaches the date part.
//
// Before 1899-12-30 the value is negative, yet the fraction still counts forward
// from midnight: -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00. Files carry such
// values, so encoding and decoding both keep that convention.
#include "platform/DateTime.h"

#include <cmath>

namespace orv {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Day number of 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kEpochShift = 25569;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr std::int64_t kMinDay = -693593;
constexpr std::int64_t kMaxDay = 2958465;

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a civil date, counting years from March so that the leap
// day falls at the end of each 400-year era's year.
std::int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, TDateTimeFields& fields) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  fields.Day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  fields.Month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  fields.Year = static_cast<int>(yearOfEra + era * 400 + (fields.Month <= 2));
}

}  // namespace

bool EncodeDateTime(const TDateTimeFields& fields, TDateTime& value) {
  const TDateTimeFields& f = fields;
  if (f.Year < 1 || f.Year > 9999 || f.Month < 1 || f.Month > 12 || f.Day < 1 ||
      f.Day > DaysInMonth(f.Year, f.Month) || f.Hour < 0 || f.Hour > 23 || f.Minute < 0 || f.Minute > 59 ||
      f.Second < 0 || f.Second > 59 || f.Millisecond < 0 || f.Millisecond > 999) {
    return false;
  }
  const double date = static_cast<double>(DaysFromCivil(f.Year, f.Month, f.Day) + kEpochShift);
  const double time =
      static_cast<double>(((f.Hour * 60 + f.Minute) * 60 + f.Second) * 1000 + f.Millisecond) / kMsPerDay;
  value = date >= 0 ? date + time : date - time;
  return true;
}

bool DecodeDateTime(TDateTime value, TDateTimeFields& fields) {
  // Rejects NaN and infinities too; the margin leaves room for the rounding below.
  if (!(value > kMinDay - 2 && value < kMaxDay + 2)) {
    return false;
  }
  // Round half to even, as Delphi's Round does, then split with truncating division:
  // the day is the integer part and the time of day the magnitude of the fraction.
  const std::int64_t ms = std::llrint(value * kMsPerDay);
  const std::int64_t day = ms / kMsPerDay;
  if (day < kMinDay || day > kMaxDay) {
    return false;
  }
  std::int64_t msOfDay = (ms < 0 ? -ms : ms) % kMsPerDay;
  CivilFromDays(day - kEpochShift, fields);
  fields.Millisecond = static_cast<int>(msOfDay % 1000);
  msOfDay /= 1000;
  fields.Second = static_cast<int>(msOfDay % 60);
  msOfDay /= 60;
  fields.Minute = static_cast<int>(msOfDay % 60);
  fields.Hour = static_cast<int>(msOfDay / 60);
  return true;
}

}  // namespace orv
