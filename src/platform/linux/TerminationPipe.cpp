// Linux implementation of TTerminationPipe: pipe2 and a sigaction handler.
#include "platform/TerminationPipe.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/OSError.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace orv {

namespace {

// A handler cannot be given state; this descriptor is the one thing it needs. It is
// set and cleared only by the pipe that owns the signal.
volatile std::sig_atomic_t g_signalWriteFd = -1;

void OnTerminate(int) {
  const int saved = errno;
  const int fd = g_signalWriteFd;
  if (fd >= 0) {
    const char byte = 1;
    // A full pipe already holds a wake-up; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

TTerminationPipe::TTerminationPipe() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int code = errno;
    throw EOSError("pipe: " + SystemErrorText(code), code);
  }
  m_readFd = fds[0];
  m_writeFd = fds[1];
  g_signalWriteFd = m_writeFd;
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
}

TTerminationPipe::~TTerminationPipe() {
  if (g_signalWriteFd == m_writeFd) {
    signal(SIGTERM, SIG_DFL);
    g_signalWriteFd = -1;
  }
  close(m_readFd);
  close(m_writeFd);
}

bool TTerminationPipe::Drain() {
  bool any = false;
  char buffer[64];
  for (;;) {
    const ssize_t got = read(m_readFd, buffer, sizeof buffer);
    if (got > 0) {
      any = true;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return any;
  }
}

}  // namespace orv
