// Linux console services for headless runs.
#include "platform/Console.h"

#include "platform/linux/WriteAll.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/ioctl.h>
#include <unistd.h>

namespace orv {

bool WriteStdout(std::string_view bytes) { return linux_detail::WriteAll(STDOUT_FILENO, bytes) == 0; }

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

int StderrColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col;
  }
  return 80;
}

void WriteStderr(std::string_view bytes) {
  // Nowhere is left to report a failing standard error.
  linux_detail::WriteAll(STDERR_FILENO, bytes);
}

namespace {

// VT100 "erase to the end of the line", which every terminal emulator knows.
constexpr std::string_view kEraseToLineEnd = "\x1b[K";

}  // namespace

bool ShowProgressLine(std::string_view utf8) {
  std::string line(utf8);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  // One column stays free: a line that fills the terminal wraps on some of them.
  line = FitToColumns(line, StderrColumns() - 1);
  WriteStderr("\r" + line + std::string(kEraseToLineEnd));
  return !line.empty();
}

void ClearProgressLine() { WriteStderr("\r" + std::string(kEraseToLineEnd)); }

int64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void InstallInterruptFlag() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // Reset to the default after the first signal: a second Ctrl-C ends the program.
  action.sa_flags = SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signal, &action, nullptr);
  }
}

bool InterruptRequested() { return g_interrupted != 0; }

void ExitNow(int status) { _exit(status); }

}  // namespace orv
