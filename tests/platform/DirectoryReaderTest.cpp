// Enumeration and entry status: the facts a listing shows for files, directories,
// links, FIFOs and vanished items, and the UTC-to-local time conversion.
#include "platform/DirectoryReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 as days since 1899-12-30

double DaysOf(int64_t seconds, int milliseconds = 0) {
  return kUnixEpochDays + static_cast<double>(seconds) / 86400.0 + milliseconds / 86400000.0;
}

void SetTimes(const std::string& path, time_t access, time_t update, long updateNanoseconds) {
  const struct timespec times[2] = {{access, 0}, {update, updateNanoseconds}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

TEST(DirectoryReaderTest, EnumeratesItemsOnceWithoutDotEntries) {
  test::TTempDir dir;
  dir.WriteFile("f", "12345");
  dir.WriteFile(".h", "");
  dir.MakeDir("d");
  ASSERT_EQ(symlink("f", (dir / "l").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "p").c_str(), 0644), 0);

  TDirectoryReader reader;
  ASSERT_TRUE(reader.Open(dir.Path()));
  std::map<std::string, TEntryKind> seen;
  std::string name;
  TEntryKind kind;
  while (reader.Next(name, kind)) {
    EXPECT_TRUE(seen.emplace(name, kind).second) << "twice: " << name;
  }
  EXPECT_FALSE(reader.Next(name, kind));
  ASSERT_EQ(seen.size(), 5u);
  auto kindIs = [&](const char* item, TEntryKind expected) {
    return seen.at(item) == expected || seen.at(item) == TEntryKind::Unknown;
  };
  EXPECT_TRUE(kindIs("f", TEntryKind::RegularFile));
  EXPECT_TRUE(kindIs(".h", TEntryKind::RegularFile));
  EXPECT_TRUE(kindIs("d", TEntryKind::Directory));
  EXPECT_TRUE(kindIs("l", TEntryKind::SymbolicLink));
  EXPECT_TRUE(kindIs("p", TEntryKind::Other));

  // None of these is a directory; the FIFO must be refused, not waited on.
  EXPECT_FALSE(reader.Open(dir / "missing"));
  EXPECT_FALSE(reader.Open(dir / "f"));
  EXPECT_FALSE(reader.Open(dir / "p"));
  EXPECT_FALSE(reader.Next(name, kind));
}

TEST(DirectoryReaderTest, StatusOfFilesDirectoriesLinksAndSpecialItems) {
  test::TTempDir dir;
  const std::string file = dir.WriteFile("f", "12345");
  const std::string readOnly = dir.WriteFile(".ro", "x");
  dir.MakeDir("d");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(symlink("f", (dir / "lf").c_str()), 0);
  ASSERT_EQ(symlink("d", (dir / "ld").c_str()), 0);
  ASSERT_EQ(symlink("missing", (dir / "dangling").c_str()), 0);
  ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "p").c_str(), 0644), 0);
  // 2020-01-02 03:04:05.678999 UTC written, 2021-01-01 00:00:00 UTC read.
  SetTimes(file, 1609459200, 1577934245, 678999000);

  TDirectoryReader reader;
  ASSERT_TRUE(reader.Open(dir.Path()));
  std::map<std::string, TFileStatus> status;
  std::string name;
  TEntryKind kind;
  while (reader.Next(name, kind)) {
    ASSERT_TRUE(reader.Stat(name, status[name])) << name;
  }

  // Past the end the reader no longer knows any item's type: every item is looked at
  // untyped, which must come to the same facts.
  for (const auto& [item, typed] : status) {
    TFileStatus untyped;
    ASSERT_TRUE(reader.Stat(item, untyped)) << item;
    EXPECT_EQ(untyped.IsSymbolicLink, typed.IsSymbolicLink) << item;
    EXPECT_EQ(untyped.IsDirectory, typed.IsDirectory) << item;
    EXPECT_EQ(untyped.IsSystem, typed.IsSystem) << item;
    EXPECT_EQ(untyped.Size, typed.Size) << item;
  }

  const TFileStatus& f = status["f"];
  EXPECT_EQ(f.Size, 5);
  EXPECT_TRUE(f.IsRegularFile);
  EXPECT_FALSE(f.IsDirectory || f.IsHidden || f.IsSystem || f.IsArchive || f.IsReadOnly || f.IsSymbolicLink);
  ASSERT_TRUE(f.LastUpdateTimeValid && f.LastAccessTimeValid && f.CreationTimeValid);
  // Milliseconds are truncated, not rounded.
  EXPECT_NEAR(f.LastUpdateTime, DaysOf(1577934245, 678), 1e-9);
  EXPECT_NEAR(f.LastAccessTime, DaysOf(1609459200), 1e-9);
  // Birth or status-change time: both are "now", far from the times set above.
  EXPECT_NEAR(f.CreationTime, DaysOf(std::time(nullptr)), 0.01);

  EXPECT_TRUE(status[".ro"].IsReadOnly);
  EXPECT_TRUE(status[".ro"].IsHidden);

  const TFileStatus& d = status["d"];
  EXPECT_TRUE(d.IsDirectory);
  EXPECT_EQ(d.Size, 0);
  EXPECT_FALSE(d.IsSystem || d.IsRegularFile || d.IsSymbolicLink);

  // Links describe their targets, and still say they are links.
  EXPECT_EQ(status["lf"].Size, 5);
  EXPECT_TRUE(status["lf"].IsRegularFile && status["lf"].IsSymbolicLink);
  EXPECT_NEAR(status["lf"].LastUpdateTime, f.LastUpdateTime, 1e-12);
  EXPECT_TRUE(status["ld"].IsDirectory && status["ld"].IsSymbolicLink);
  EXPECT_FALSE(status["ld"].IsSystem);
  EXPECT_EQ(status["ld"].Size, 0);

  // A link with nothing (or itself) behind it is described by itself.
  for (const char* link : {"dangling", "loop"}) {
    const TFileStatus& s = status[link];
    EXPECT_TRUE(s.IsSymbolicLink && s.IsSystem) << link;
    EXPECT_FALSE(s.IsDirectory || s.IsRegularFile) << link;
    EXPECT_EQ(s.Size, 0) << link;
    EXPECT_TRUE(s.LastUpdateTimeValid) << link;
  }

  EXPECT_TRUE(status["p"].IsSystem);
  EXPECT_FALSE(status["p"].IsRegularFile || status["p"].IsDirectory);
}

TEST(DirectoryReaderTest, VanishedItemLeavesStatusUntouched) {
  test::TTempDir dir;
  const std::string file = dir.WriteFile("gone", "abc");
  TDirectoryReader reader;
  ASSERT_TRUE(reader.Open(dir.Path()));
  std::string name;
  TEntryKind kind;
  ASSERT_TRUE(reader.Next(name, kind));
  ASSERT_EQ(unlink(file.c_str()), 0);
  TFileStatus status;
  status.Size = 77;
  EXPECT_FALSE(reader.Stat(name, status));
  EXPECT_EQ(status.Size, 77);
}

TEST(DirectoryReaderTest, QueryPathStatusTakesHiddenFromTheLastComponent) {
  test::TTempDir dir;
  dir.MakeDir(".hid/sub");
  ASSERT_EQ(symlink("missing", (dir / "dangling").c_str()), 0);
  TFileStatus status;
  ASSERT_TRUE(QueryPathStatus(dir / ".hid", status));
  EXPECT_TRUE(status.IsDirectory && status.IsHidden);
  ASSERT_TRUE(QueryPathStatus(dir / ".hid/", status));
  EXPECT_TRUE(status.IsHidden);
  ASSERT_TRUE(QueryPathStatus(dir / ".hid/sub", status));
  EXPECT_FALSE(status.IsHidden);
  ASSERT_TRUE(QueryPathStatus(dir / "dangling", status));
  EXPECT_TRUE(status.IsSymbolicLink && status.IsSystem);
  EXPECT_FALSE(QueryPathStatus(dir / "missing", status));
  EXPECT_FALSE(QueryPathStatus("", status));
}

TEST(DirectoryReaderTest, UnixTimeToLocalDateTimeRangeAndZone) {
  TDateTime value = -1;
  ASSERT_TRUE(UnixTimeToLocalDateTime(0, 0, value));
  EXPECT_DOUBLE_EQ(value, kUnixEpochDays);
  ASSERT_TRUE(UnixTimeToLocalDateTime(86399, 999999999, value));
  EXPECT_LT(value, kUnixEpochDays + 1);
  EXPECT_NEAR(value, DaysOf(86399, 999), 1e-9);

  ASSERT_TRUE(UnixTimeToLocalDateTime(-11644473600, 0, value));  // 1601-01-01
  EXPECT_DOUBLE_EQ(value, -109205.0);
  EXPECT_FALSE(UnixTimeToLocalDateTime(-11644473601, 0, value));
  EXPECT_TRUE(UnixTimeToLocalDateTime(253402300799, 0, value));  // 9999-12-31 23:59:59
  EXPECT_FALSE(UnixTimeToLocalDateTime(253402300800, 0, value));
  EXPECT_FALSE(UnixTimeToLocalDateTime(INT64_MAX, 0, value));

  // Local time, not UTC: nine hours ahead in Japan.
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";
  setenv("TZ", "JST-9", 1);
  tzset();
  const bool converted = UnixTimeToLocalDateTime(0, 0, value);
  if (previous) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  ASSERT_TRUE(converted);
  EXPECT_NEAR(value, kUnixEpochDays + 9.0 / 24.0, 1e-9);
}

}  // namespace
}  // namespace orv
