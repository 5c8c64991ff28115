// Path expansion and the program's home folder.
#include "platform/Path.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace orv {
namespace {

TEST(Path, NormaliseRemovesDotsAndDoubledDelimiters) {
  EXPECT_EQ(NormalisePath("/a/./b//c/../d"), "/a/b/d");
  EXPECT_EQ(NormalisePath("/a/b/"), "/a/b/");
  EXPECT_EQ(NormalisePath("/../.."), "/");
  EXPECT_EQ(NormalisePath("/"), "/");
  EXPECT_EQ(NormalisePath("/a/b/.."), "/a/");
}

TEST(Path, ExpandTakesRelativePathsAgainstTheCurrentDirectory) {
  test::TTempDir dir;
  const std::string previous = CurrentDirectory();
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_EQ(ExpandPath("sub/../x"), dir.Path() + "/x");
  EXPECT_EQ(ExpandPath("sub/"), dir.Path() + "/sub/");
  EXPECT_EQ(ExpandPath("."), dir.Path() + "/");
  EXPECT_EQ(ExpandPath(""), "");
  ASSERT_EQ(chdir(previous.c_str()), 0);
}

TEST(Path, ExecutableDirectoryHonoursOrvantisHome) {
  test::TTempDir dir;
  {
    test::TScopedHome home(dir.Path());
    EXPECT_EQ(ExecutableDirectory(), dir.Path() + "/");
  }
  unsetenv("ORVANTIS_HOME");
  const std::string own = ExecutableDirectory();
  EXPECT_EQ(own.back(), '/');
  EXPECT_TRUE(own.find("tests") != std::string::npos) << own;
}

TEST(Path, InstalledProgramKeepsItsFilesInTheUsersConfigFolder) {
  // A portable copy keeps everything beside the executable.
  TProgramPlaces places = ChooseProgramPlaces("/opt/o/", true, "", "/x/conf", "/home/u");
  EXPECT_EQ(places.Home, "/opt/o/");
  EXPECT_EQ(places.SharedData, "/opt/o/");
  // An installed one: the XDG folder (only an absolute one), else ~/.config.
  places = ChooseProgramPlaces("/usr/bin/", false, "", "/x/conf", "/home/u");
  EXPECT_EQ(places.Home, "/x/conf/orvantis/");
  EXPECT_EQ(places.SharedData, "/usr/share/orvantis/");
  EXPECT_EQ(ChooseProgramPlaces("/usr/bin/", false, "", "rel", "/home/u/").Home, "/home/u/.config/orvantis/");
  EXPECT_EQ(ChooseProgramPlaces("/usr/bin/", false, "", "", "/home/u").Home, "/home/u/.config/orvantis/");
  // ORVANTIS_HOME wins in both cases; shipped files stay where they were installed.
  places = ChooseProgramPlaces("/usr/local/bin/", false, "/h", "", "/home/u");
  EXPECT_EQ(places.Home, "/h/");
  EXPECT_EQ(places.SharedData, "/usr/local/share/orvantis/");
}

TEST(Path, PartsOfAPath) {
  EXPECT_EQ(ExtractFileDir("/out/list.html"), "/out");
  EXPECT_EQ(ExtractFileDir("/list.html"), "");
  EXPECT_EQ(ExtractFileDir("list.html"), "");
  EXPECT_EQ(ExtractFileName("/a/b.tar.gz"), "b.tar.gz");
  EXPECT_EQ(ExtractFileExt("/a.d/b.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("/a.d/README"), "");
  // A path whose name CP932 cannot hold keeps its bytes for access.
  const TFilePath path = TFilePath::FromNative("/t/\xF0\x9F\x98\x80.txt");
  EXPECT_EQ(path.Text, "/t/?.txt");
  EXPECT_EQ(path.Native, "/t/\xF0\x9F\x98\x80.txt");
}

}  // namespace
}  // namespace orv
