#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace kvd507::threads {

// Hands batches of work from a producing thread to a consuming one, at most `ahead` of them
// waiting at a time. Used batches go back to the producer to be filled again, so that their
// storage circulates instead of being allocated for every batch.
template <typename Batch>
class Handoff {
 public:
  explicit Handoff(std::size_t ahead) : ahead_(ahead == 0 ? 1 : ahead) {}

  // Producer: a batch to fill (one handed back, or a new one), once there is room for it;
  // nothing once stop() is called.
  std::optional<Batch> batchToFill() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || ready_.size() < ahead_; });
    if (stopping_) return std::nullopt;
    if (spare_.empty()) return Batch{};
    Batch batch = std::move(spare_.back());
    spare_.pop_back();
    return batch;
  }

  // Producer: hands a filled batch over.
  void deliver(Batch batch) {
    {
      const std::lock_guard lock(mutex_);
      ready_.push_back(std::move(batch));
    }
    changed_.notify_all();
  }

  // Producer: fills batches with `fill(Batch&)` and hands them over, one after the other, until
  // one comes back marked `last` or stop() is called.
  template <typename Fill>
  void produce(Fill fill) {
    for (;;) {
      std::optional<Batch> batch = batchToFill();
      if (!batch) return;
      fill(*batch);
      const bool last = batch->last;
      deliver(std::move(*batch));
      if (last) return;
    }
  }

  // Producer: whether to stop filling as soon as it can.
  bool stopping() const { return stopRequested_.load(std::memory_order_relaxed); }

  // Consumer: gives back the batch it is done with and waits for the next one.
  Batch exchange(Batch used) {
    std::unique_lock lock(mutex_);
    spare_.push_back(std::move(used));
    changed_.wait(lock, [this] { return !ready_.empty(); });
    Batch batch = std::move(ready_.front());
    ready_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return batch;
  }

  // Either side: no more batches are to be filled; a producer waiting for room wakes up.
  void stop() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
      stopRequested_ = true;
    }
    changed_.notify_all();
  }

 private:
  std::size_t ahead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Batch> ready_;   // filled, oldest first
  std::vector<Batch> spare_;  // handed back
  bool stopping_ = false;
  std::atomic<bool> stopRequested_ = false;  // stopping_, read without the lock
};

}  // namespace kvd507::threads
