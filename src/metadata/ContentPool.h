// TContentPool: reads the content facts of listed file records on a bounded set of
// worker threads while the walk goes on. The walk adds each record once it is filed;
// every worker owns a TContentReader and writes only into the records it took, and
// the walk touches none of them again before Finish has returned. Results are those
// the same reader gives on one thread: nothing depends on which worker reads a file.
//
// The workers run WorkLoop; every other member is called on the walk's thread.
#pragma once

#include "core/DataItem.h"
#include "core/RunOptions.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv {

// The file a worker is reading, for the status text: its record's path (CP932) and
// how far the read is.
struct TContentProgress {
  std::string Path;
  int64_t Done = 0;
  int64_t Total = 0;
};

class TContentPool {
public:
  // workers threads (at least 1), each with its own readers for options.
  TContentPool(int workers, const RunOptions& options, uint16_t userLanguageId);
  // Cancels what is left and waits for the workers.
  ~TContentPool();
  TContentPool(const TContentPool&) = delete;
  TContentPool& operator=(const TContentPool&) = delete;

  // A record whose content facts are wanted; it must stay where it is (the lists hold
  // records by pointer) and untouched until Finish.
  void Add(TDataItem& item);
  // Waits for every record added. idle runs about every 20 ms while it waits; false
  // from it cancels the rest (the reads under way stop at their next block) and
  // Finish returns false.
  bool Finish(const std::function<bool()>& idle);
  // Stops every read at its next block and drops the records not yet started.
  void Cancel();

  // The largest read under way that has run for a while; false when there is none.
  bool LongestRead(TContentProgress& progress);

private:
  struct TSlot;
  void WorkLoop(TSlot& slot);

  std::mutex m_mutex;
  std::condition_variable m_workToDo;
  std::condition_variable m_allDone;
  std::vector<TDataItem*> m_queue;
  std::size_t m_next = 0;
  std::size_t m_finished = 0;
  bool m_closing = false;
  std::atomic<bool> m_cancelled{false};
  std::vector<std::unique_ptr<TSlot>> m_slots;
  std::vector<std::thread> m_workers;
};

}  // namespace orv
