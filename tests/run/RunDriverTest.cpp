// The run driver in automatic mode: format from the extension, the icon-directory
// checks, the walk, the stop and errors that end a run.
#include "run/RunDriver.h"
#include "run/AutomaticMode.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "support/FakeRunHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <stdexcept>
#include <vector>

namespace orv {
namespace {

class RunDriverTest : public ::testing::Test {
protected:
  RunDriverTest() : m_home(m_dir.MakeDir("home")) {
    m_dir.WriteFile("tree/a.txt", "a");
    m_dir.WriteFile("tree/sub/b.txt", "bb");
    m_dir.MakeDir("tree/sub/empty");
    m_dir.MakeDir("out");
  }

  TRunOutcome RunAuto(TRunDriver& driver, const std::string& target, const std::string& output) {
    driver.Start({target, output});
    const TRunOutcome outcome = driver.RunAutomatic();
    driver.Shutdown();
    return outcome;
  }

  std::string Settings() const { return test::ReadFileText(m_dir / "home/Orvantis.ini"); }

  test::TTempDir m_dir;
  test::TScopedHome m_home;
  test::TFakeRunHost m_host;
};

TEST_F(RunDriverTest, TheOutputExtensionChoosesTheFormatAndIsSaved) {
  TRunDriver driver(m_host);
  EXPECT_EQ(RunAuto(driver, m_dir / "tree", m_dir / "out/out.XML"), TRunOutcome::Written);
  EXPECT_TRUE(driver.AutoMode());
  EXPECT_EQ(driver.Options.FileType, FileTypeXml);
  EXPECT_NE(Settings().find("\r\nFileType=2\r\n"), std::string::npos);

  TRunDriver csv(m_host);
  RunAuto(csv, m_dir / "tree", m_dir / "out/list.csv");
  EXPECT_NE(Settings().find("\r\nFileType=0\r\n"), std::string::npos);

  // Another extension keeps the type that was loaded.
  TRunDriver text(m_host);
  RunAuto(text, m_dir / "tree", m_dir / "out/list.txt");
  EXPECT_EQ(text.Options.FileType, FileTypeCsv);

  // A home folder that does not exist yet (an installed program's first start) is
  // created when the settings are saved.
  {
    test::TScopedHome fresh(m_dir / "config/orvantis");
    TRunDriver first(m_host);
    RunAuto(first, m_dir / "tree", m_dir / "out/list.csv");
    EXPECT_TRUE(FileExists(m_dir / "config/orvantis/Orvantis.ini"));
  }

  EXPECT_EQ(FileTypeFromExtension("/x/a.Htm"), FileTypeHtml);
  EXPECT_EQ(FileTypeFromExtension("/x.csv/list"), -1);
}

TEST_F(RunDriverTest, WalksEveryEntryAndTreatsATrailingDelimiterAlike) {
  TRunDriver driver(m_host);
  EXPECT_EQ(RunAuto(driver, m_dir / "tree", m_dir / "out/a.csv"), TRunOutcome::Written);
  EXPECT_EQ(driver.EntriesWalked(), 4);      // a.txt, sub, sub/b.txt, sub/empty
  EXPECT_EQ(driver.DirectoriesWalked(), 3);  // tree/, sub, empty
  EXPECT_EQ(driver.TargetDirectory().Text, m_dir / "tree/");
  EXPECT_FALSE(driver.Running());
  EXPECT_TRUE(m_host.Statuses.back().empty());
  // Paths in the status bar are shown relative to the target.
  EXPECT_NE(std::find(m_host.Statuses.begin(), m_host.Statuses.end(), "./sub/b.txt"), m_host.Statuses.end());

  TRunDriver slash(m_host);
  RunAuto(slash, m_dir / "tree/", m_dir / "out/a.csv");
  EXPECT_EQ(slash.EntriesWalked(), 4);
  EXPECT_EQ(slash.TargetDirectory().Text, m_dir / "tree/");

  // Relative command-line paths are made absolute.
  TRunDriver relative(m_host);
  const std::string previous = CurrentDirectory();
  ASSERT_EQ(chdir(m_dir.Path().c_str()), 0);
  RunAuto(relative, "tree/sub/..", "out/a.csv");
  ASSERT_EQ(chdir(previous.c_str()), 0);
  EXPECT_EQ(relative.TargetDirectory().Text, m_dir / "tree/");
  EXPECT_EQ(relative.OutputFile().Text, m_dir / "out/a.csv");
  EXPECT_EQ(relative.EntriesWalked(), 4);

  // Without subfolders only the target's own entries are walked.
  TRunDriver flat(m_host);
  flat.Start({m_dir / "tree", m_dir / "out/a.csv"});
  flat.Options.SubFolder = false;
  flat.RunAutomatic();
  EXPECT_EQ(flat.EntriesWalked(), 2);
}

TEST_F(RunDriverTest, IconDirectoryChecks) {
  {
    TRunDriver driver(m_host);
    driver.Start({m_dir / "tree", m_dir / "out/list.html"});
    driver.Options.OutputIconFile = true;
    driver.Options.IconDir = "  ";
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::NotStarted);
    ASSERT_EQ(m_host.Warnings.size(), 1u);
    EXPECT_EQ(m_host.Warnings[0], Utf8ToAnsi("アイコンファイル出力ディレクトリは必ず指定してください。"));
    EXPECT_EQ(driver.EntriesWalked(), 0);
    driver.Shutdown();
    EXPECT_NE(Settings().find("\r\nIconDir=\r\n"), std::string::npos);  // saved trimmed
  }
  {
    // The user cancels the question: nothing is created, nothing walked.
    TRunDriver driver(m_host);
    driver.Start({m_dir / "tree", m_dir / "out/list.html"});
    driver.Options.OutputIconFile = true;
    driver.Options.IconDir = " icons ";
    m_host.AnswerOk = false;
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::NotStarted);
    ASSERT_EQ(m_host.Questions.size(), 1u);
    EXPECT_EQ(m_host.Questions[0],
              Utf8ToAnsi("指定したアイコンファイル出力ディレクトリが存在しません。\r\n\r\n") + m_dir / "out/icons" +
                  Utf8ToAnsi("\r\n\r\n作成してもよろしいですか?"));
    EXPECT_FALSE(DirectoryExists(m_dir / "out/icons"));
    EXPECT_FALSE(driver.Running());

    m_host.AnswerOk = true;
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
    EXPECT_TRUE(DirectoryExists(m_dir / "out/icons"));
    EXPECT_EQ(driver.IconDirectory().Native, m_dir / "out/icons");
  }
  {
    // Only one level is created: a missing parent gives M3.
    TRunDriver driver(m_host);
    driver.Start({m_dir / "tree", m_dir / "out/list.xml"});
    driver.Options.OutputIconFile = true;
    driver.Options.IconDir = "deep/icons";
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::NotStarted);
    EXPECT_EQ(m_host.Warnings.back(), Utf8ToAnsi("アイコンファイル出力ディレクトリが作成できませんでした。"));
  }
  {
    // CSV never exports icons, so the setting is not even looked at.
    TRunDriver driver(m_host);
    driver.Start({m_dir / "tree", m_dir / "out/list.csv"});
    driver.Options.OutputIconFile = true;
    driver.Options.IconDir = "";
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
  }
}

TEST_F(RunDriverTest, TheStopCommandEndsTheWalk) {
  TRunDriver driver(m_host);
  driver.Start({m_dir / "tree", m_dir / "out/a.csv"});
  // Pressed during the directory phase: every remaining directory is kept out, and
  // the first entry reported afterwards ends the walk.
  m_host.OnPump = [&] {
    if (driver.DirectoriesWalked() == 1 && driver.Running()) driver.Stop();
  };
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Stopped);
  EXPECT_FALSE(driver.Running());
  EXPECT_EQ(driver.DirectoriesWalked(), 2);  // the target, then sub (skipped); sub/empty never
  EXPECT_EQ(driver.EntriesWalked(), 1);
  EXPECT_EQ(m_host.Statuses.back(), Utf8ToAnsi("処理が中断されました"));

  // Pressed before any directory was reported: every directory, the target too, is
  // skipped; still a stopped walk, and no listing is written.
  m_host.OnPump = [&] {
    if (driver.DirectoriesWalked() == 0 && driver.Running()) driver.Stop();
  };
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Stopped);
  EXPECT_FALSE(PathExists(m_dir / "out/a.csv"));

  // Pressed at the first entry: the walk stops right after it.
  m_host.OnPump = [&] {
    if (driver.EntriesWalked() == 1 && driver.Running()) driver.Stop();
  };
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Stopped);
  EXPECT_EQ(driver.EntriesWalked(), 1);
}

// Pressed while the rows are written: the listing ends where the stop came, and the
// run does not pass for one that wrote the whole tree (nor is the listing opened).
TEST_F(RunDriverTest, AStopDuringTheWriteIsNotAWrittenListing) {
  TRunDriver driver(m_host);
  driver.Start({m_dir / "tree", m_dir / "out/w.csv"});
  driver.Options.FileOpen = true;
  m_host.OnStatus = [&](const std::string& text) {
    if (text.starts_with(Utf8ToAnsi("検索結果をファイルに出力しています")) && driver.Running()) driver.Stop();
  };
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::WrittenInPart);
  EXPECT_EQ(AutomaticExitStatus(TRunOutcome::WrittenInPart, driver), ExitFailed);
  EXPECT_EQ(m_host.Statuses.back(), Utf8ToAnsi("処理が中断されました"));
  EXPECT_TRUE(m_host.Opened.empty());
  const std::string listing = test::ReadFileText(m_dir / "out/w.csv");
  EXPECT_EQ(listing.find("b.txt"), std::string::npos) << listing;
}

TEST_F(RunDriverTest, ATreeDeeperThanPathMaxIsListedWholeWithDigests) {
  // Made through descriptors: no path call reaches its bottom.
  const std::string name(120, 'd');
  std::string relative = "deep";
  int fd = open(m_dir.MakeDir("deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int level = 0; level < 40; ++level) {
    ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
    const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    ASSERT_GE(fd = next, 0);
    relative += "/" + name;
  }
  const int file = openat(fd, "bottom.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(write(file, "123456789", 9), 9);
  close(file);
  close(fd);
  ASSERT_GT((m_dir / relative).size(), 4096u);

  for (const char* threads : {"1", "4"}) {
    test::TScopedVariable variable("ORVANTIS_THREADS", threads);
    TRunDriver driver(m_host);
    driver.Start({m_dir / "deep", m_dir / "out/deep.csv"});
    driver.Options.CRC32 = driver.Options.MD5 = true;
    ASSERT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
    EXPECT_EQ(driver.Lists().DirectoryList.Count(), 40u);
    ASSERT_EQ(driver.Lists().FileList.Count(), 1u);
    const TDataItem& bottom = driver.Lists().FileList.Items(0);
    EXPECT_EQ(bottom.Path(), m_dir / relative + "/bottom.txt");
    EXPECT_EQ(bottom.Facts().CRC32, "cbf43926");
    EXPECT_EQ(bottom.Facts().MD5, "25f9e794323b453885f5181f1b624d0b");
    EXPECT_TRUE(driver.UnreadEntries().empty());
    EXPECT_NE(test::ReadFileText(m_dir / "out/deep.csv").find("25f9e794323b453885f5181f1b624d0b"), std::string::npos);
  }
}

TEST_F(RunDriverTest, AStopDuringALongDigestEndsTheRunAndTheStatusShowedHowFarItWas) {
  // 1 GiB without a byte on disk: far longer to digest than a stop takes to act.
  const std::string big = m_dir.WriteFile("big/big.bin", "");
  ASSERT_EQ(truncate(big.c_str(), int64_t(1) << 30), 0);
  for (const char* threads : {"1", "4"}) {
    test::TScopedVariable variable("ORVANTIS_THREADS", threads);
    TRunDriver driver(m_host);
    driver.Start({m_dir / "big", m_dir / "out/big.csv"});
    driver.Options.SHA1 = true;
    std::string progress;
    m_host.OnStatus = [&](const std::string& text) {
      if (text.find("big.bin (") != std::string::npos && driver.Running()) {
        progress = text;
        driver.Stop();
      }
    };
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Stopped) << threads;
    EXPECT_NE(progress.find("%)"), std::string::npos) << progress;
    EXPECT_FALSE(PathExists(m_dir / "out/big.csv"));
  }
}

TEST_F(RunDriverTest, AFileGoneBeforeItsContentIsReadKeepsTheDataOfTheWalk) {
  for (const char* threads : {"1", "4"}) {
    test::TScopedVariable variable("ORVANTIS_THREADS", threads);
    const std::string path = m_dir.WriteFile("tree/vanish.txt", "12345");
    TRunDriver driver(m_host);
    driver.Start({m_dir / "tree", m_dir / "out/v.csv"});
    driver.Options.MD5 = true;
    // The status names an entry before its record is filed and its content read.
    m_host.OnStatus = [&](const std::string& text) {
      if (text == "./vanish.txt") unlink(path.c_str());
    };
    ASSERT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
    const TDataItem* vanished = nullptr;
    for (std::size_t i = 0; i < driver.Lists().FileList.Count(); ++i) {
      if (driver.Lists().FileList.Items(i).Name() == "vanish.txt") vanished = &driver.Lists().FileList.Items(i);
    }
    ASSERT_NE(vanished, nullptr);
    EXPECT_EQ(vanished->Size, 5);
    EXPECT_TRUE(vanished->LastUpdateTimeValid);
    EXPECT_EQ(vanished->Facts().MD5, "Error: Could not open file");
    m_host.OnStatus = nullptr;
  }
}

TEST_F(RunDriverTest, AnErrorEndsTheRunAndReturnsToIdle) {
  TRunDriver driver(m_host);
  driver.Start({m_dir / "tree", m_dir / "out/a.csv"});
  m_host.OnStatus = [](const std::string& text) {
    if (text == "./sub/b.txt") throw std::runtime_error("disk on fire");
  };
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Failed);
  EXPECT_EQ(m_host.Errors, std::vector<std::string>{"disk on fire"});
  EXPECT_FALSE(driver.Running());
  EXPECT_FALSE(driver.Walker().Busy());

  // The next run works.
  m_host.OnStatus = nullptr;
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
}

TEST_F(RunDriverTest, WhatARunCouldNotDoIsNeverSilent) {
  // A file the pattern engine gives up on (its match limit) is an unread entry: the
  // listing is written without it, and the last status text counts it.
  const std::string hard = std::string(40, 'a') + "!";
  m_dir.WriteFile("tree/" + hard, "x");
  TRunDriver driver(m_host);
  driver.Start({m_dir / "tree", m_dir / "out/a.csv"});
  driver.Options.RegExp = true;
  driver.Options.RegExpText = "m/(a+)+$/";
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
  ASSERT_EQ(driver.UnreadEntries().size(), 1u);
  EXPECT_EQ(driver.UnreadEntries()[0].NativePath, m_dir / "tree/" + hard);
  EXPECT_NE(driver.UnreadEntries()[0].Reason.find("m/(a+)+$/"), std::string::npos);
  EXPECT_EQ(m_host.Statuses.back(), Utf8ToAnsi("1件の項目を読み取れませんでした"));

  driver.Options.RegExp = false;
  EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
  EXPECT_TRUE(driver.UnreadEntries().empty());
  EXPECT_TRUE(m_host.Statuses.back().empty());

  // A file type that names no format (a hand-edited settings file) writes nothing,
  // and says so.
  TRunDriver none(m_host);
  none.Start({m_dir / "tree", m_dir / "out/b.txt"});
  none.Options.FileType = -1;
  EXPECT_EQ(none.RunAutomatic(), TRunOutcome::Failed);
  ASSERT_EQ(m_host.Errors.size(), 1u);
  EXPECT_NE(m_host.Errors[0].find("FileType=-1"), std::string::npos);
  EXPECT_FALSE(PathExists(m_dir / "out/b.txt"));
}

TEST_F(RunDriverTest, InteractiveRunsTakeTheDialogAndTheTree) {
  TRunDriver driver(m_host);
  driver.Start({});
  EXPECT_FALSE(driver.AutoMode());
  EXPECT_EQ(driver.RunListing(), TRunOutcome::NotStarted);  // dialog cancelled
  EXPECT_EQ(m_host.DialogExtension, "html");

  m_host.DialogFile = TFilePath::FromNative(m_dir / "out/x.csv");
  m_host.Selected = TFilePath::FromNative(m_dir / "tree");
  EXPECT_EQ(driver.RunListing(), TRunOutcome::Written);
  // The dialog's name does not change the format: it follows the option.
  EXPECT_EQ(driver.Options.FileType, FileTypeHtml);
  EXPECT_EQ(driver.EntriesWalked(), 4);
}

TEST_F(RunDriverTest, ATargetThatDoesNotExistGivesAnEmptyWalk) {
  TRunDriver driver(m_host);
  EXPECT_EQ(RunAuto(driver, m_dir / "nothing-here", m_dir / "out/a.csv"), TRunOutcome::Written);
  EXPECT_EQ(driver.EntriesWalked(), 0);
  EXPECT_TRUE(m_host.Errors.empty());
}

}  // namespace
}  // namespace orv
