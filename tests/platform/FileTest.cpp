// Whole-file reading, including the special files that must never block a run.
#include "platform/File.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

TEST(FileTest, ReadsRegularFilesOnly) {
  test::TTempDir dir;
  std::string binary("\0\x82\xA0\r\n\xFF", 6);
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(dir.WriteFile("bin", binary), contents));
  EXPECT_EQ(contents, binary);
  ASSERT_TRUE(ReadWholeFile(dir.WriteFile("empty", ""), contents));
  EXPECT_EQ(contents, "");

  // /proc files report size 0 yet have contents.
  ASSERT_TRUE(ReadWholeFile("/proc/self/status", contents));
  EXPECT_NE(contents.find("Umask:"), std::string::npos);

  // A FIFO without a writer would block a plain open and read.
  std::string fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  contents = "unchanged";
  EXPECT_FALSE(ReadWholeFile(fifo, contents));
  EXPECT_FALSE(ReadWholeFile(dir.Path(), contents));
  EXPECT_FALSE(ReadWholeFile(dir / "missing", contents));
  EXPECT_EQ(contents, "unchanged");

  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
}

}  // namespace
}  // namespace orv
