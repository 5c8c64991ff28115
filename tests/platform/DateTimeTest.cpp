// The TDateTime encoding: known values, invalid fields, the negative-value convention
// and round trips across the whole supported range.
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv {
namespace {

TDateTimeFields Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
  TDateTimeFields f;
  f.Year = year, f.Month = month, f.Day = day, f.Hour = hour, f.Minute = minute, f.Second = second;
  f.Millisecond = ms;
  return f;
}

void ExpectFields(const TDateTimeFields& actual, const TDateTimeFields& expected) {
  EXPECT_EQ(actual.Year, expected.Year);
  EXPECT_EQ(actual.Month, expected.Month);
  EXPECT_EQ(actual.Day, expected.Day);
  EXPECT_EQ(actual.Hour, expected.Hour);
  EXPECT_EQ(actual.Minute, expected.Minute);
  EXPECT_EQ(actual.Second, expected.Second);
  EXPECT_EQ(actual.Millisecond, expected.Millisecond);
}

TEST(DateTime, EncodesKnownValuesAndRejectsInvalidFields) {
  TDateTime value = -99;
  ASSERT_TRUE(EncodeDateTime(Fields(1899, 12, 30), value));
  EXPECT_EQ(value, 0.0);
  ASSERT_TRUE(EncodeDateTime(Fields(2000, 1, 1, 12), value));
  EXPECT_EQ(value, 36526.5);
  ASSERT_TRUE(EncodeDateTime(Fields(1900, 3, 1), value));
  EXPECT_EQ(value, 61.0);  // 1900 is no leap year here, unlike in spreadsheets
  ASSERT_TRUE(EncodeDateTime(Fields(1899, 12, 29, 6), value));
  EXPECT_EQ(value, -1.25);  // before the epoch the time still counts forward
  ASSERT_TRUE(EncodeDateTime(Fields(1, 1, 1), value));
  EXPECT_EQ(value, -693593.0);
  ASSERT_TRUE(EncodeDateTime(Fields(9999, 12, 31, 23, 59, 59, 999), value));
  EXPECT_NEAR(value, 2958465.0 + 86399999.0 / 86400000.0, 1e-9);
  EXPECT_TRUE(EncodeDateTime(Fields(2000, 2, 29), value));
  EXPECT_TRUE(EncodeDateTime(Fields(2024, 2, 29), value));

  const TDateTimeFields invalid[] = {
      Fields(1900, 2, 29), Fields(2023, 2, 29), Fields(2024, 13, 1), Fields(2024, 0, 1),
      Fields(2024, 4, 31), Fields(2024, 1, 0),  Fields(0, 12, 31),   Fields(10000, 1, 1),
      Fields(2024, 1, 1, 24), Fields(2024, 1, 1, 0, 60), Fields(2024, 1, 1, 0, 0, 60),
      Fields(2024, 1, 1, 0, 0, 0, 1000), Fields(2024, 1, 1, -1),
  };
  for (const TDateTimeFields& f : invalid) {
    value = 123.0;
    EXPECT_FALSE(EncodeDateTime(f, value)) << f.Year << "-" << f.Month << "-" << f.Day << " " << f.Hour;
    EXPECT_EQ(value, 123.0);
  }
}

TEST(DateTime, DecodesNegativeValuesAndRoundsToTheMillisecond) {
  TDateTimeFields f;
  ASSERT_TRUE(DecodeDateTime(36526.5, f));
  ExpectFields(f, Fields(2000, 1, 1, 12));
  ASSERT_TRUE(DecodeDateTime(-1.25, f));
  ExpectFields(f, Fields(1899, 12, 29, 6));
  ASSERT_TRUE(DecodeDateTime(-0.25, f));
  ExpectFields(f, Fields(1899, 12, 30, 6));
  ASSERT_TRUE(DecodeDateTime(60.0, f));
  ExpectFields(f, Fields(1900, 2, 28));

  // 0.4 ms before midnight rounds into the next day; 0.6 ms after a second stays at 1 ms.
  ASSERT_TRUE(DecodeDateTime(2.0 - 0.4 / 86400000.0, f));
  ExpectFields(f, Fields(1900, 1, 1));
  ASSERT_TRUE(DecodeDateTime(36526.5 + 1000.6 / 86400000.0, f));
  ExpectFields(f, Fields(2000, 1, 1, 12, 0, 1, 1));

  f = Fields(7, 7, 7);
  EXPECT_FALSE(DecodeDateTime(-693594.0, f));  // 0000-12-31
  EXPECT_FALSE(DecodeDateTime(2958466.0, f));  // 10000-01-01
  EXPECT_FALSE(DecodeDateTime(std::numeric_limits<double>::quiet_NaN(), f));
  EXPECT_FALSE(DecodeDateTime(std::numeric_limits<double>::infinity(), f));
  EXPECT_FALSE(DecodeDateTime(1e300, f));
  EXPECT_EQ(f.Year, 7);
}

TEST(DateTime, RoundTripsAcrossTheWholeRange) {
  // A prime step visits every month, day and leap-year rule (1600, 1700, 2000, 2100 ...).
  int checked = 0;
  for (long day = -693593; day <= 2958465; day += 97) {
    TDateTimeFields decoded;
    ASSERT_TRUE(DecodeDateTime(static_cast<double>(day), decoded)) << day;
    const int ms = static_cast<int>((day * 7919) % 86400000 + 86400000) % 86400000;
    TDateTimeFields withTime = decoded;
    withTime.Hour = ms / 3600000, withTime.Minute = ms / 60000 % 60, withTime.Second = ms / 1000 % 60;
    withTime.Millisecond = ms % 1000;
    TDateTime value;
    ASSERT_TRUE(EncodeDateTime(withTime, value)) << day;
    ASSERT_EQ(std::trunc(value), static_cast<double>(day));
    TDateTimeFields again;
    ASSERT_TRUE(DecodeDateTime(value, again));
    ExpectFields(again, withTime);
    ++checked;
  }
  EXPECT_GT(checked, 37000);
}

}  // namespace
}  // namespace orv
