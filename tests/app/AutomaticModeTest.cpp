// The program in automatic mode, started as a script would start it: what it refuses,
// the exit statuses, what it writes where, and a stop by SIGTERM.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace orv {
namespace {

class AutomaticMode : public ::testing::Test {
protected:
  // Starts the program headless with its home in the test's folder; standard output
  // goes to stdoutFd (a file when -1), standard error to a file.
  pid_t Start(const std::string& target, const std::string& output, int stdoutFd = -1) {
    std::vector<std::string> environment = {"ORVANTIS_HOME=" + m_home, "ORVANTIS_HEADLESS=1"};
    for (char** variable = environ; *variable; ++variable) {
      const std::string text = *variable;
      if (text.rfind("ORVANTIS_", 0) != 0 && text.rfind("DISPLAY=", 0) != 0) environment.push_back(text);
    }
    std::vector<char*> envp;
    for (std::string& text : environment) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::string program = ORVANTIS_PROGRAM, first = target, second = output;
    char* argv[] = {program.data(), first.data(), second.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) {
      posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0) << std::strerror(spawned);
    return spawned == 0 ? pid : -1;
  }

  // The exit status, or -1 when the program did not exit by itself within a minute.
  int Wait(pid_t pid) {
    if (pid < 0) return -1;
    int status = 0;
    for (int waited = 0; waited < 600; ++waited) {
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }

  int Run(const std::string& target, const std::string& output) { return Wait(Start(target, output)); }
  std::string Stderr() const { return test::ReadFileText(m_stderrPath); }

  test::TTempDir m_dir;
  std::string m_home = m_dir.MakeDir("home");
  std::string m_tree = m_dir.MakeDir("tree");
  std::string m_out = m_dir.MakeDir("out");
  std::string m_stdoutPath = m_dir / "stdout.txt";
  std::string m_stderrPath = m_dir / "stderr.txt";
};

TEST_F(AutomaticMode, ArgumentsThatWouldDoHarmAreRefusedBeforeAnythingRuns) {
  m_dir.WriteFile("tree/a.txt", "a");
  // An unset variable in a script gives an empty argument: never a listing of "/".
  EXPECT_EQ(Run("", m_out + "/list.csv"), 2);
  EXPECT_NE(Stderr().find("target directory argument is empty"), std::string::npos) << Stderr();
  EXPECT_EQ(Run(m_tree, ""), 2);
  EXPECT_NE(Stderr().find("output file argument is empty"), std::string::npos) << Stderr();
  EXPECT_EQ(Run(m_tree + "/a.txt", m_out + "/list.csv"), 2);
  EXPECT_NE(Stderr().find("not a directory"), std::string::npos) << Stderr();
  EXPECT_EQ(Run(m_dir / "missing", m_out + "/list.csv"), 2);
  // Nothing ran: no listing, and no settings file saved.
  EXPECT_EQ(test::DirectoryEntries(m_out), std::set<std::string>{});
  EXPECT_EQ(test::DirectoryEntries(m_home), std::set<std::string>{});
}

TEST_F(AutomaticMode, AnEntryThePatternEngineGivesUpOnMakesTheListingIncomplete) {
  const std::string hard = std::string(40, 'a') + "!";
  m_dir.WriteFile("tree/" + hard, "x");
  m_dir.WriteFile("tree/aa", "x");
  // Nested repetition on a long run of "a" that fails at the end: PCRE2 reaches its
  // match limit instead of answering.
  m_dir.WriteFile("home/Orvantis.ini", "[Search]\r\nRegExp=1\r\nRegExpText=m/(a+)+$/\r\n");
  EXPECT_EQ(Run(m_tree, m_out + "/list.csv"), 3);
  const std::string listing = test::ReadFileText(m_out + "/list.csv");
  EXPECT_NE(listing.find("\"aa\""), std::string::npos) << listing;
  EXPECT_EQ(listing.find(hard), std::string::npos);
  const std::string errors = Stderr();
  EXPECT_NE(errors.find(m_tree + "/" + hard + ": "), std::string::npos) << errors;
  EXPECT_NE(errors.find("m/(a+)+$/"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("/aa:"), std::string::npos) << errors;
}

TEST_F(AutomaticMode, AFileTypeWithoutAFormatIsAFailure) {
  m_dir.WriteFile("home/Orvantis.ini", "[Output]\r\nFileType=-1\r\n");
  // ".txt" keeps the type of the settings file.
  EXPECT_EQ(Run(m_tree, m_out + "/list.txt"), 1);
  EXPECT_NE(Stderr().find("FileType=-1"), std::string::npos) << Stderr();
  EXPECT_EQ(test::DirectoryEntries(m_out), std::set<std::string>{});
}

TEST_F(AutomaticMode, XmlToStandardOutputCopiesNoStylesheetIntoDev) {
  if (access("/dev/Orvantis.xsl", F_OK) == 0) GTEST_SKIP() << "/dev/Orvantis.xsl exists already";
  m_dir.WriteFile("home/Orvantis.xsl.sample", "<xsl/>");
  m_dir.WriteFile("home/Orvantis.ini", "[Output]\r\nFileType=2\r\nXSLT=1\r\n");
  m_dir.WriteFile("tree/a.txt", "a");
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t pid = Start(m_tree, "/dev/stdout", pipeFds[1]);
  close(pipeFds[1]);
  std::string written;
  char buffer[4096];
  for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;) written.append(buffer, got);
  close(pipeFds[0]);
  EXPECT_EQ(Wait(pid), 0) << Stderr();
  EXPECT_EQ(written.rfind("<?xml", 0), 0u) << written;
  EXPECT_NE(written.find("a.txt"), std::string::npos);
  const bool copiedIntoDev = access("/dev/Orvantis.xsl", F_OK) == 0;
  if (copiedIntoDev) unlink("/dev/Orvantis.xsl");
  EXPECT_FALSE(copiedIntoDev);
}

TEST_F(AutomaticMode, SigtermDuringDigestsKeepsTheOldListingAndLeavesNothingBeside) {
  // Sparse files: nothing to store, but every byte to digest, for many seconds.
  for (int i = 0; i < 16; ++i) {
    const std::string path = m_dir.WriteFile("tree/big" + std::to_string(i) + ".bin", "");
    ASSERT_EQ(truncate(path.c_str(), 512LL << 20), 0);
  }
  m_dir.WriteFile("home/Orvantis.ini", "[Item]\r\nCRC32=1\r\nMD5=1\r\nSHA1=1\r\n");
  const std::string old = "the listing of yesterday\r\n";
  m_dir.WriteFile("out/list.csv", old);

  const pid_t pid = Start(m_tree, m_out + "/list.csv");
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  EXPECT_EQ(Wait(pid), 1) << Stderr();  // stopped: nothing written
  EXPECT_EQ(test::ReadFileText(m_out + "/list.csv"), old);
  EXPECT_EQ(test::DirectoryEntries(m_out), std::set<std::string>{"list.csv"});
  // The settings are saved on the way out, as after any run.
  EXPECT_NE(test::ReadFileText(m_home + "/Orvantis.ini").find("ProductVersion"), std::string::npos);
}

}  // namespace
}  // namespace orv
