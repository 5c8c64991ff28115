// The content pool: a queue of record pointers behind one mutex, and one slot per
// worker that tells the walk's thread which file that worker reads and how far it is.
#include "metadata/ContentPool.h"

#include "metadata/ContentReader.h"

#include <chrono>

namespace orv {

namespace {

constexpr auto kIdleInterval = std::chrono::milliseconds(20);
// A read shorter than this is over before a status text could name it.
constexpr int64_t kLongReadBytes = int64_t(8) << 20;

}  // namespace

// What one worker owns: its readers, and the progress of its current read.
struct TContentPool::TSlot : TReadMonitor {
  TSlot(const RunOptions& options, uint16_t languageId, const std::atomic<bool>& cancelled)
      : Reader(options, languageId), Cancelled(cancelled) {}

  bool Advance(int64_t done, int64_t total) override {
    Done.store(done, std::memory_order_relaxed);
    Total.store(total, std::memory_order_relaxed);
    return !Cancelled.load(std::memory_order_relaxed);
  }

  TContentReader Reader;
  const std::atomic<bool>& Cancelled;
  std::atomic<int64_t> Done{0};
  std::atomic<int64_t> Total{0};
  TDataItem* Current = nullptr;  // guarded by the pool's mutex
};

TContentPool::TContentPool(int workers, const RunOptions& options, uint16_t userLanguageId) {
  if (workers < 1) workers = 1;
  for (int i = 0; i < workers; ++i) {
    m_slots.push_back(std::make_unique<TSlot>(options, userLanguageId, m_cancelled));
  }
  for (auto& slot : m_slots) {
    m_workers.emplace_back([this, s = slot.get()] { WorkLoop(*s); });
  }
}

TContentPool::~TContentPool() {
  Cancel();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closing = true;
  }
  m_workToDo.notify_all();
  for (std::thread& worker : m_workers) worker.join();
}

void TContentPool::Add(TDataItem& item) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back(&item);
  }
  m_workToDo.notify_one();
}

void TContentPool::Cancel() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_cancelled = true;
  // The records not started keep no content facts; the run that cancels shows none.
  m_finished += m_queue.size() - m_next;
  m_next = m_queue.size();
  m_allDone.notify_all();
}

void TContentPool::WorkLoop(TSlot& slot) {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_workToDo.wait(lock, [this] { return m_closing || m_next < m_queue.size(); });
    if (m_next >= m_queue.size()) return;
    TDataItem& item = *m_queue[m_next++];
    slot.Current = &item;
    slot.Done.store(0, std::memory_order_relaxed);
    slot.Total.store(0, std::memory_order_relaxed);
    lock.unlock();
    slot.Reader.Read(item, &slot);
    lock.lock();
    slot.Current = nullptr;
    if (++m_finished == m_queue.size()) m_allDone.notify_all();
  }
}

bool TContentPool::Finish(const std::function<bool()>& idle) {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (m_finished < m_queue.size()) {
    if (m_allDone.wait_for(lock, kIdleInterval, [this] { return m_finished >= m_queue.size(); })) break;
    lock.unlock();
    const bool goOn = !idle || idle();
    if (!goOn) Cancel();
    lock.lock();
    if (!goOn) {
      m_allDone.wait(lock, [this] { return m_finished >= m_queue.size(); });
      return false;
    }
  }
  return !m_cancelled;
}

bool TContentPool::LongestRead(TContentProgress& progress) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const TSlot* longest = nullptr;
  for (const auto& slot : m_slots) {
    if (!slot->Current || slot->Total.load(std::memory_order_relaxed) < kLongReadBytes) continue;
    if (!longest || slot->Total.load(std::memory_order_relaxed) > longest->Total.load(std::memory_order_relaxed)) {
      longest = slot.get();
    }
  }
  if (!longest) return false;
  progress.Path = longest->Current->Path();
  progress.Done = longest->Done.load(std::memory_order_relaxed);
  progress.Total = longest->Total.load(std::memory_order_relaxed);
  return true;
}

}  // namespace orv
