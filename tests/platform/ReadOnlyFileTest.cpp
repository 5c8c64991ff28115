// Content reading: only real regular files are opened, and nothing blocks.
#include "platform/ReadOnlyFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace orv {
namespace {

TEST(ReadOnlyFile, ReadsRegularFilesAndRefusesEverythingElse) {
  test::TTempDir dir;
  const std::string path = dir.WriteFile("data.bin", "0123456789");
  TReadOnlyFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(file.Size(), 10);
  char bytes[4] = {};
  EXPECT_EQ(file.ReadAt(6, bytes, 4), 4);
  EXPECT_EQ(std::string(bytes, 4), "6789");
  EXPECT_EQ(file.ReadAt(8, bytes, 4), 2);  // short at the end
  EXPECT_EQ(file.Read(bytes, 3), 3);
  EXPECT_EQ(std::string(bytes, 3), "012");

  TMappedFile mapped;
  ASSERT_TRUE(mapped.Open(path));
  EXPECT_EQ(mapped.Data(), "0123456789");
  ASSERT_TRUE(mapped.Open(dir.WriteFile("empty", "")));
  EXPECT_TRUE(mapped.Data().empty());

  // A FIFO without a writer would block a plain open; a directory has no contents.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(file.Open(dir / "fifo"));
  EXPECT_FALSE(mapped.Open(dir / "fifo"));
  EXPECT_FALSE(file.Open(dir.Path()));
  EXPECT_FALSE(file.Open(dir / "missing"));
  // Kernel files claim sizes they do not have (or none): never read for contents.
  EXPECT_FALSE(file.Open("/proc/self/status"));
  EXPECT_FALSE(file.IsOpen());
}

}  // namespace
}  // namespace orv
