#include "spreadsheet/ReadAheadRows.h"

#include <utility>

namespace kvd507::spreadsheet {

ReadAheadRows::ReadAheadRows(std::unique_ptr<RowSource> source, std::size_t batchRows)
    : source_(std::move(source)),
      batchRows_(batchRows == 0 ? 1 : batchRows),
      reader_([this] { handoff_.produce([this](Batch& batch) { fill(batch); }); }) {}

ReadAheadRows::~ReadAheadRows() {
  handoff_.stop();
  reader_.join();
}

void ReadAheadRows::fill(Batch& batch) {
  batch.count = 0;
  batch.last = false;
  batch.failure = nullptr;
  if (batch.rows.size() < batchRows_) batch.rows.resize(batchRows_);
  try {
    while (batch.count < batchRows_ && !handoff_.stopping()) {
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

bool ReadAheadRows::next(RawRow& row) {
  while (at_ == current_.count) {
    if (current_.failure) std::rethrow_exception(current_.failure);
    if (current_.last) return false;
    // The rows handed out were swapped for the caller's old ones, whose storage is reused.
    current_ = handoff_.exchange(std::move(current_));
    at_ = 0;
  }
  std::swap(row, current_.rows[at_++]);
  return true;
}

}  // namespace kvd507::spreadsheet
