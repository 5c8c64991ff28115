// TReadAhead: the directories a walk needs, read by worker threads ahead of the walk's
// events. The walk (on its own thread) adds each directory as it decides to walk or
// list it, then takes the directories' snapshots in the order it added them; the
// workers read them in that order, each directory opened once (relative to its
// parent's open descriptor while that is still open) and enumerated once.
//
// Memory stays within a budget: a worker starts a read ahead only while the held
// snapshots stay under it (the directory the walk waits for is always read), and a
// directory kept for its listing whose snapshot would pass three quarters of the
// budget keeps only its subdirectories: its listing reads it again later.
//
// With no workers every read happens on the walk's thread, when it is waited for.
// Worker threads run ReadLoop; everything else runs on the walk's thread.
#pragma once

#include "platform/Path.h"
#include "scan/DirectorySnapshot.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace orv {

class TReadAhead {
public:
  static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);

  // workers: threads reading ahead (0: none); budget: bytes of snapshots held at once.
  TReadAhead(int workers, std::size_t budget);
  // Stops the workers (a read under way ends early) and waits for them.
  ~TReadAhead();
  TReadAhead(const TReadAhead&) = delete;
  TReadAhead& operator=(const TReadAhead&) = delete;

  // A directory to read, by path (its native form is opened). parent: the directory it
  // was found in, whose descriptor opens it while still open. walked: it is read now,
  // for its subdirectories; listed: its entries are wanted too, then or (not walked)
  // when Schedule is called. Returns the directory's number.
  std::size_t Add(const TFilePath& path, std::size_t parent, bool walked, bool listed);
  std::size_t Count() const { return m_jobs.Count(); }
  const TFilePath& Path(std::size_t n) const { return m_jobs[n].Path; }
  bool Walked(std::size_t n) const { return m_jobs[n].Walked; }
  bool Listed(std::size_t n) const { return m_jobs[n].Listed; }

  // Queues every listed directory whose entries are not held yet (not walked, or let
  // go for memory), in number order, for the listing that follows.
  void ScheduleListings();

  // Waits until directory n has been read, reading it on this thread when no worker
  // will. While it waits, idle runs about every 20 ms; when it returns false the wait
  // gives up and Wait returns nullptr. Otherwise the snapshot, and opened tells whether
  // the directory could be opened at all (error: the errno when not, or when the read
  // failed part-way).
  const TDirectorySnapshot* Wait(std::size_t n, const std::function<bool()>& idle, bool& opened, int& error);
  // Called by the walk once per directory it handles: runs idle (as Wait does) when
  // the last call of idle is more than its interval ago, so a walk that never waits
  // still hands control back. False when idle said stop.
  bool Tick(const std::function<bool()>& idle);
  // The walk is done with the subdirectories of n: its descriptor may close, and its
  // snapshot goes unless it is held for the listing.
  void ReleaseWalk(std::size_t n);
  // The walk is done with n altogether: its path is no longer kept either. The walk
  // takes its listings in number order, so every directory numbered below n is done
  // with too, and what is kept of them goes.
  void Release(std::size_t n);

private:
  enum class TState : uint8_t { Idle, Queued, Reading, Done };

  struct TJob {
    std::size_t Number = 0;
    std::size_t OrderPos = 0;  // where its read stands in m_order
    TFilePath Path;
    std::size_t Parent = kNoParent;
    bool Walked = false;
    bool Listed = false;
    bool ForWalk = false;  // this read is for the walk, which opens subdirectories from it
    TState State = TState::Idle;
    TSnapshotScope Scope = TSnapshotScope::Subdirectories;
    // The snapshot holds every item for the listing (until Release).
    bool HoldsListing = false;
    bool Opened = false;
    int Error = 0;
    std::size_t Bytes = 0;
    std::shared_ptr<TDirectoryReader> ParentHandle;
    std::shared_ptr<TDirectoryReader> Handle;  // kept open for the subdirectories
    TDirectorySnapshot Snapshot;
  };

  // The jobs by number, in chunks that never move (the workers hold references into
  // them), a thousand at a time: a deque's blocks would hold two jobs of this size.
  class TJobList {
  public:
    std::size_t Count() const { return m_count; }
    TJob& operator[](std::size_t n) { return m_chunks[n / kChunk][n % kChunk]; }
    const TJob& operator[](std::size_t n) const { return m_chunks[n / kChunk][n % kChunk]; }
    TJob& Add() {
      if (m_count % kChunk == 0) m_chunks.push_back(std::make_unique<TJob[]>(kChunk));
      return (*this)[m_count++];
    }
    // Frees the chunks that hold only jobs numbered below n, which nobody reads again.
    void ForgetBefore(std::size_t n) {
      for (std::size_t c = m_forgotten; c < n / kChunk; ++c) m_chunks[c].reset();
      m_forgotten = std::max(m_forgotten, n / kChunk);
    }

  private:
    static constexpr std::size_t kChunk = 1024;
    std::vector<std::unique_ptr<TJob[]>> m_chunks;
    std::size_t m_count = 0;
    std::size_t m_forgotten = 0;  // chunks below this are freed
  };

  void Queue(std::size_t n, TSnapshotScope scope);
  void ReadLoop();
  // Reads a job; called without the lock held, by the thread that took the job, with
  // that thread's scratch. The reader, still open, when the directory could be opened.
  std::shared_ptr<TDirectoryReader> Read(TJob& job, TDirectorySnapshot::TScratch& scratch);
  // Files what Read found; called with the lock held. True when the walk is to wake.
  bool Finish(TJob& job, std::shared_ptr<TDirectoryReader> reader);
  bool MayStart(std::size_t n) const;
  // Takes the job's bytes off the budget; true when a worker held back may start now.
  bool Unhold(TJob& job);

  const std::size_t m_budget;
  // Descriptors kept open so that subdirectories open relative to them. Past this the
  // subdirectories open by path, which costs the kernel a path walk and nothing more.
  const int m_handleAllowance;
  // Before m_jobs: their snapshots give their memory back to it.
  TSnapshotStore m_store;
  // For reads on the walk's own thread (no workers).
  TDirectorySnapshot::TScratch m_walkScratch;
  std::mutex m_mutex;
  std::condition_variable m_workToDo;
  std::condition_variable m_jobDone;
  TJobList m_jobs;
  std::vector<std::size_t> m_order;  // the reads, in the order they are started
  std::size_t m_nextRead = 0;        // into m_order
  std::size_t m_waitingFor = kNoParent;
  std::size_t m_wakeAt = 0;  // in m_order: a read from there on done wakes the walk
  std::size_t m_held = 0;  // bytes of the snapshots not yet released
  int m_idleWorkers = 0;
  // Dropped wherever the last reference to a handle goes, so not under the mutex.
  std::atomic<int> m_openHandles{0};
  std::atomic<bool> m_stop{false};
  unsigned m_ticks = 0;
  std::chrono::steady_clock::time_point m_lastIdle = std::chrono::steady_clock::now();
  std::vector<std::thread> m_workers;
};

}  // namespace orv
