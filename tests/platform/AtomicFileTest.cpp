// A listing or settings file is replaced whole or not at all; links, FIFOs and
// /dev/stdout-like targets are written where they point.
#include "platform/AtomicFile.h"

#include "platform/OSError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st.st_mode;
}

TEST(AtomicFileTest, CommitReplacesContentAndKeepsMode) {
  test::TTempDir dir;
  std::string path = dir.WriteFile("out.csv", "old contents that are longer");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);

  // Many small writes and one larger than the buffer, in order.
  std::string expected;
  {
    TAtomicFile file(path);
    for (int i = 0; i < 50000; ++i) {
      std::string row = "row " + std::to_string(i) + "\r\n";
      file.Write(row);
      expected += row;
    }
    std::string big(300 * 1024, 'x');
    file.Write(big);
    file.Write("end");
    expected += big + "end";
    EXPECT_EQ(test::ReadFileText(path), "old contents that are longer");  // nothing visible before Commit
    // Not even a temporary name: a process killed now leaves no litter.
    EXPECT_EQ(test::DirectoryEntries(dir.Path()), std::set<std::string>{"out.csv"});
    file.Commit();
  }
  EXPECT_EQ(test::ReadFileText(path), expected);
  EXPECT_EQ(ModeOf(path) & 07777, 0640u);
  EXPECT_EQ(test::DirectoryEntries(dir.Path()), std::set<std::string>{"out.csv"});

  mode_t old = umask(027);
  WriteFileAtomically(dir / "new.txt", "");
  umask(old);
  EXPECT_TRUE(S_ISREG(ModeOf(dir / "new.txt")));
  EXPECT_EQ(ModeOf(dir / "new.txt") & 07777, 0640u);
  EXPECT_EQ(test::ReadFileText(dir / "new.txt"), "");
}

TEST(AtomicFileTest, FailureLeavesPreviousFileAndNoTemporary) {
  test::TTempDir dir;
  std::string path = dir.WriteFile("keep.txt", "previous");

  {
    TAtomicFile abandoned(path);
    abandoned.Write("never committed");
  }
  EXPECT_EQ(test::ReadFileText(path), "previous");
  EXPECT_EQ(test::DirectoryEntries(dir.Path()), std::set<std::string>{"keep.txt"});

  // A full disk, as root sees it too: the file size limit makes write fail with EFBIG.
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool threw = false;
  try {
    TAtomicFile file(path);
    file.Write(std::string(4096, 'z'));
    file.Commit();
  } catch (const EOSError& error) {
    threw = true;
    EXPECT_EQ(error.Code(), EFBIG);
    EXPECT_NE(std::string(error.what()).find("keep.txt: "), std::string::npos) << error.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(threw);
  EXPECT_EQ(test::ReadFileText(path), "previous");
  EXPECT_EQ(test::DirectoryEntries(dir.Path()), std::set<std::string>{"keep.txt"});

  // A target in a folder that does not exist, and a folder as target.
  std::string nowhere = dir / "no such dir/out.txt";
  EXPECT_THROW(WriteFileAtomically(nowhere, "x"), EOSError);
  try {
    WriteFileAtomically(nowhere, "x");
  } catch (const EOSError& error) {
    EXPECT_EQ(error.Code(), ENOENT);
    EXPECT_EQ(std::string(error.what()).rfind(nowhere + ": ", 0), 0u) << error.what();
  }
  dir.MakeDir("folder");
  EXPECT_THROW(WriteFileAtomically(dir / "folder", "x"), EOSError);
  EXPECT_EQ(test::DirectoryEntries(dir / "folder"), std::set<std::string>{});
}

TEST(AtomicFileTest, LinksAreWrittenThrough) {
  test::TTempDir dir;
  std::string real = dir.WriteFile("data/real.txt", "old");
  ASSERT_EQ(chmod(real.c_str(), 0600), 0);
  std::string link = dir / "link.txt";
  ASSERT_EQ(symlink("data/real.txt", link.c_str()), 0);

  WriteFileAtomically(link, "through the link");
  EXPECT_TRUE(S_ISLNK(ModeOf(link)));
  EXPECT_EQ(test::ReadFileText(real), "through the link");
  EXPECT_EQ(ModeOf(real) & 07777, 0600u);
  EXPECT_EQ(test::DirectoryEntries(dir / "data"), std::set<std::string>{"real.txt"});

  // A link to nothing is replaced by the file itself.
  std::string dangling = dir / "dangling.txt";
  ASSERT_EQ(symlink("data/missing.txt", dangling.c_str()), 0);
  WriteFileAtomically(dangling, "new");
  EXPECT_TRUE(S_ISREG(ModeOf(dangling)));
  EXPECT_EQ(test::ReadFileText(dangling), "new");
}

TEST(AtomicFileTest, FifoIsWrittenDirectly) {
  test::TTempDir dir;
  std::string fifo = dir / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  // No reader: fails at once instead of blocking the run.
  try {
    TAtomicFile file(fifo);
    ADD_FAILURE() << "opened a FIFO without a reader";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.Code(), ENXIO);
  }

  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  WriteFileAtomically(fifo, "to the reader");  // well below the pipe's capacity
  char buffer[64] = {};
  ssize_t got = read(reader, buffer, sizeof buffer);
  close(reader);
  EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), "to the reader");
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
  EXPECT_EQ(test::DirectoryEntries(dir.Path()), std::set<std::string>{"pipe"});
}

}  // namespace
}  // namespace orv
