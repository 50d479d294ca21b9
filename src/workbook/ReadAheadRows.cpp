#include "workbook/ReadAheadRows.h"

#include <utility>

namespace kvd507::workbook {

ReadAheadRows::ReadAheadRows(std::unique_ptr<RowSource> source, std::size_t batchRows)
    : source_(std::move(source)),
      batchRows_(batchRows == 0 ? 1 : batchRows),
      reader_([this] { readAhead(); }) {}

ReadAheadRows::~ReadAheadRows() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

void ReadAheadRows::readAhead() {
  for (;;) {
    Batch batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || ready_.size() < kBatchesAhead; });
      if (stopping_) return;
      if (!spare_.empty()) {
        batch = std::move(spare_.back());
        spare_.pop_back();
      }
    }
    fill(batch);
    const bool last = batch.last;
    {
      const std::lock_guard lock(mutex_);
      ready_.push_back(std::move(batch));
    }
    changed_.notify_all();
    if (last) return;
  }
}

void ReadAheadRows::fill(Batch& batch) {
  batch.count = 0;
  batch.last = false;
  batch.failure = nullptr;
  if (batch.rows.size() < batchRows_) batch.rows.resize(batchRows_);
  try {
    while (batch.count < batchRows_) {
      if (stopping_.load(std::memory_order_relaxed)) return;
      if (!source_->next(batch.rows[batch.count])) {
        batch.last = true;
        return;
      }
      ++batch.count;
    }
  } catch (...) {
    batch.failure = std::current_exception();
    batch.last = true;
  }
}

void ReadAheadRows::takeBatch() {
  std::unique_lock lock(mutex_);
  // The rows handed out were swapped for the caller's old ones, whose storage is reused.
  if (!current_.rows.empty()) spare_.push_back(std::move(current_));
  changed_.wait(lock, [this] { return !ready_.empty(); });
  current_ = std::move(ready_.front());
  ready_.pop_front();
  at_ = 0;
  lock.unlock();
  changed_.notify_all();
}

bool ReadAheadRows::next(RawRow& row) {
  while (at_ == current_.count) {
    if (current_.failure) std::rethrow_exception(current_.failure);
    if (current_.last) return false;
    takeBatch();
  }
  std::swap(row, current_.rows[at_++]);
  return true;
}

}  // namespace kvd507::workbook
