// SIGTERM through a socket notifier on the termination pipe.
#include "ui/TerminationWatcher.h"

#include <QSocketNotifier>

#include <utility>

namespace orv {

TTerminationWatcher::TTerminationWatcher(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent),
      m_notifier(new QSocketNotifier(m_pipe.ReadDescriptor(), QSocketNotifier::Read, this)),
      m_onTerminate(std::move(onTerminate)) {
  connect(m_notifier, &QSocketNotifier::activated, this, &TTerminationWatcher::Signalled);
}

void TTerminationWatcher::Signalled() {
  if (m_pipe.Drain() && m_onTerminate) m_onTerminate();
}

}  // namespace orv
