// SIGTERM delivered to an event loop: the signal handler may only do what is safe
// inside a handler, so it writes one byte into a pipe whose read end the loop
// watches (the self-pipe technique). The window closes when the byte arrives.
#pragma once

namespace orv {

class TTerminationPipe {
public:
  // Opens the pipe and routes SIGTERM into it. Only one pipe can own the signal: a
  // second one takes it over from the first. Throws EOSError when no pipe can be made.
  TTerminationPipe();
  // Gives SIGTERM back its default action and closes the pipe.
  ~TTerminationPipe();
  TTerminationPipe(const TTerminationPipe&) = delete;
  TTerminationPipe& operator=(const TTerminationPipe&) = delete;

  // The descriptor that becomes readable when SIGTERM arrived (non-blocking).
  int ReadDescriptor() const { return m_readFd; }
  // Empties the pipe; true when at least one signal was waiting.
  bool Drain();

private:
  int m_readFd = -1;
  int m_writeFd = -1;
};

}  // namespace orv
