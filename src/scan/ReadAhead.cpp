// The read-ahead queue: one mutex guards the job states and the order of reads; the
// reading itself happens outside it, on the thread that took the job.
#include "scan/ReadAhead.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <string>

namespace orv {

namespace {

// How often a waiting walk hands control back (the window paints, a stop is seen).
constexpr auto kIdleInterval = std::chrono::milliseconds(20);
// Directories a worker takes per turn of the lock, at most.
constexpr std::size_t kBatch = 8;
// How far past the directory it waits for a sleeping walk lets the workers get.
constexpr std::size_t kWakeBatch = 32;

// The last component of a native path, trailing delimiters ignored.
std::string LastName(const std::string& path) {
  std::size_t end = path.size();
  while (end > 1 && path[end - 1] == PathDelim) --end;
  const std::size_t slash = path.rfind(PathDelim, end - 1);
  return path.substr(slash == std::string::npos ? 0 : slash + 1, end - (slash == std::string::npos ? 0 : slash + 1));
}

}  // namespace

TReadAhead::TReadAhead(int workers, std::size_t budget)
    : m_budget(budget), m_handleAllowance(DirectoryHandleAllowance()) {
  for (int i = 0; i < workers; ++i) {
    m_workers.emplace_back([this] { ReadLoop(); });
  }
}

TReadAhead::~TReadAhead() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_workToDo.notify_all();
  for (std::thread& worker : m_workers) worker.join();
}

std::size_t TReadAhead::Add(const TFilePath& path, std::size_t parent, bool walked, bool listed) {
  std::size_t n;
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    n = m_jobs.Count();
    TJob& job = m_jobs.Add();
    job.Number = n;
    job.Path = path;
    job.Parent = parent;
    job.Walked = walked;
    job.Listed = listed;
    job.ForWalk = walked;
    if (walked) {
      if (parent != kNoParent) job.ParentHandle = m_jobs[parent].Handle;
      Queue(n, listed ? TSnapshotScope::EveryItem : TSnapshotScope::Subdirectories);
      // A wake-up costs a system call or two; only a worker that sleeps needs one.
      wake = m_idleWorkers > 0;
    }
  }
  if (wake) m_workToDo.notify_one();
  return n;
}

void TReadAhead::ScheduleListings() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (std::size_t n = 0; n < m_jobs.Count(); ++n) {
      TJob& job = m_jobs[n];
      // A directory that could not be opened while it was walked is not tried again:
      // it was reported then.
      if (job.Listed && !job.HoldsListing && !(job.Walked && !job.Opened)) {
        job.Snapshot.Clear();
        job.ParentHandle.reset();
        job.ForWalk = false;
        Queue(n, TSnapshotScope::EveryItem);
      }
    }
  }
  m_workToDo.notify_all();
}

void TReadAhead::Queue(std::size_t n, TSnapshotScope scope) {
  TJob& job = m_jobs[n];
  job.OrderPos = m_order.size();
  job.State = TState::Queued;
  job.Scope = scope;
  m_order.push_back(n);
}

bool TReadAhead::MayStart(std::size_t n) const { return n == m_waitingFor || m_held < m_budget; }

void TReadAhead::ReadLoop() {
  std::unique_lock<std::mutex> lock(m_mutex);
  TJob* batch[kBatch];
  std::shared_ptr<TDirectoryReader> readers[kBatch];
  TDirectorySnapshot::TScratch scratch;
  for (;;) {
    if (m_waitingFor != kNoParent && m_jobs[m_waitingFor].State == TState::Done) {
      // Nothing more is coming from this worker for a while: the walk need not wait
      // for the rest of its batch.
      m_jobDone.notify_all();
    }
    ++m_idleWorkers;
    m_workToDo.wait(lock, [this] {
      return m_stop || (m_nextRead < m_order.size() && MayStart(m_order[m_nextRead]));
    });
    --m_idleWorkers;
    if (m_stop) return;
    // A few directories per turn of the lock, but never so many that another worker
    // has nothing to do.
    const std::size_t available = m_order.size() - m_nextRead;
    const std::size_t want = std::clamp<std::size_t>(available / (m_workers.size() + 1), 1, kBatch);
    std::size_t count = 0;
    while (count < want && m_nextRead < m_order.size() && MayStart(m_order[m_nextRead])) {
      TJob& job = m_jobs[m_order[m_nextRead++]];
      job.State = TState::Reading;
      batch[count++] = &job;
    }
    lock.unlock();
    for (std::size_t i = 0; i < count; ++i) readers[i] = Read(*batch[i], scratch);
    lock.lock();
    bool wake = false;
    for (std::size_t i = 0; i < count; ++i) wake = Finish(*batch[i], std::move(readers[i])) || wake;
    if (wake) m_jobDone.notify_all();
  }
}

std::shared_ptr<TDirectoryReader> TReadAhead::Read(TJob& job, TDirectorySnapshot::TScratch& scratch) {
  auto reader = std::make_shared<TDirectoryReader>();
  bool opened = false;
  if (job.ParentHandle) {
    opened = reader->OpenAt(*job.ParentHandle, LastName(job.Path.Native));
    job.ParentHandle.reset();
  }
  // Without the parent's descriptor, or when the name there no longer opens (the
  // parent moved), the path decides.
  if (!opened) opened = reader->Open(job.Path.Native);
  job.Opened = opened;
  job.Error = opened ? 0 : reader->Error();
  if (!opened) return nullptr;
  job.Snapshot.Read(*reader, job.Scope, m_stop, scratch, m_store);
  job.Error = job.Snapshot.Error();
  reader->EndReading();
  return reader;
}

bool TReadAhead::Finish(TJob& job, std::shared_ptr<TDirectoryReader> reader) {
  const std::size_t bytes = job.Snapshot.Bytes();
  job.HoldsListing = job.Listed && job.Scope == TSnapshotScope::EveryItem;
  if (job.HoldsListing && job.ForWalk && m_held + bytes > m_budget / 4 * 3) {
    // Over budget: the walk still needs the subdirectories; the listing reads the
    // directory again when its turn comes.
    job.HoldsListing = false;
  }
  job.Bytes = bytes;
  m_held += bytes;
  // The subdirectories open relative to this descriptor, while few enough are open.
  if (reader && job.ForWalk && job.Snapshot.HasSubdirectories() && m_openHandles < m_handleAllowance) {
    ++m_openHandles;
    job.Handle = std::shared_ptr<TDirectoryReader>(reader.get(), [this, reader](TDirectoryReader*) mutable {
      reader.reset();
      --m_openHandles;
    });
  }
  job.State = TState::Done;
  // The walk is woken once a few directories past the one it waits for are in, so it
  // sleeps and wakes once per batch rather than once per directory.
  if (m_waitingFor == kNoParent || m_jobs[m_waitingFor].State != TState::Done) return false;
  return job.OrderPos >= m_wakeAt || m_jobs[m_order[m_wakeAt]].State == TState::Done || m_nextRead >= m_order.size();
}

const TDirectorySnapshot* TReadAhead::Wait(std::size_t n, const std::function<bool()>& idle, bool& opened,
                                           int& error) {
  std::unique_lock<std::mutex> lock(m_mutex);
  TJob& job = m_jobs[n];
  if (job.State == TState::Done) {
    opened = job.Opened;
    error = job.Error;
    return &job.Snapshot;
  }
  m_waitingFor = n;
  m_wakeAt = std::min(job.OrderPos + kWakeBatch, m_order.size() - 1);
  // A worker held back by the budget may read this one.
  if (job.State == TState::Queued && m_idleWorkers > 0) m_workToDo.notify_all();
  auto nextIdle = std::chrono::steady_clock::now() + kIdleInterval;
  while (job.State != TState::Done) {
    if (m_workers.empty() && job.State == TState::Queued && m_order[m_nextRead] == n) {
      ++m_nextRead;
      job.State = TState::Reading;
      lock.unlock();
      std::shared_ptr<TDirectoryReader> reader = Read(job, m_walkScratch);
      lock.lock();
      Finish(job, std::move(reader));
      continue;
    }
    m_jobDone.wait_until(lock, nextIdle);
    if (job.State == TState::Done || std::chrono::steady_clock::now() < nextIdle) continue;
    lock.unlock();
    const bool goOn = !idle || idle();
    m_lastIdle = std::chrono::steady_clock::now();
    lock.lock();
    if (!goOn) {
      m_waitingFor = kNoParent;
      return nullptr;
    }
    nextIdle = std::chrono::steady_clock::now() + kIdleInterval;
  }
  m_waitingFor = kNoParent;
  opened = job.Opened;
  error = job.Error;
  return &job.Snapshot;
}

bool TReadAhead::Unhold(TJob& job) {
  const bool wasFull = m_held >= m_budget;
  m_held -= job.Bytes;
  job.Bytes = 0;
  return wasFull && m_held < m_budget && m_idleWorkers > 0;
}

bool TReadAhead::Tick(const std::function<bool()>& idle) {
  // The clock is read every few directories only: most take a few microseconds.
  constexpr unsigned kTicksPerClockRead = 16;
  if (!idle || ++m_ticks % kTicksPerClockRead != 0) return true;
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastIdle < kIdleInterval) return true;
  m_lastIdle = now;
  return idle();
}

void TReadAhead::ReleaseWalk(std::size_t n) {
  std::shared_ptr<TDirectoryReader> handle;
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    TJob& job = m_jobs[n];
    handle = std::move(job.Handle);
    if (!job.HoldsListing) {
      wake = Unhold(job);
      job.Snapshot.Clear();
    }
  }
  if (wake) m_workToDo.notify_all();
}

void TReadAhead::Release(std::size_t n) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    TJob& job = m_jobs[n];
    job.Handle.reset();
    wake = Unhold(job);
    job.HoldsListing = false;
    job.Snapshot.Clear();
    // Nobody asks for the path again; a million folders' paths are worth giving back.
    std::string().swap(job.Path.Text);
    std::string().swap(job.Path.Native);
    m_jobs.ForgetBefore(n);
  }
  if (wake) m_workToDo.notify_all();
}

}  // namespace orv
