// TTerminationWatcher: SIGTERM as an event of the Qt event loop. The platform's
// termination pipe becomes readable when the signal arrives; a socket notifier on it
// calls OnTerminate from the loop (also from the pumps of a running listing), where
// any window operation is safe.
#pragma once

#include "platform/TerminationPipe.h"

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace orv {

class TTerminationWatcher : public QObject {
  Q_OBJECT
public:
  // Takes SIGTERM over for as long as it lives. Throws EOSError when the pipe cannot
  // be made.
  TTerminationWatcher(std::function<void()> onTerminate, QObject* parent = nullptr);

private:
  void Signalled();

  TTerminationPipe m_pipe;
  QSocketNotifier* m_notifier;
  std::function<void()> m_onTerminate;
};

}  // namespace orv
