#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "spreadsheet/RowSource.h"
#include "threads/Handoff.h"

namespace kvd507::spreadsheet {

// Reads the rows of another source on a thread of its own, a few batches ahead of the caller,
// so that inflating and parsing a sheet runs on one core while the rows are turned into
// records on the other. The rows, and a failure after them, reach the caller exactly as the
// source gives them; rows read ahead and never asked for are dropped, and so is a failure
// met among them.
//
// The source is used by the reading thread only, from construction until this object is
// destroyed: nothing else may touch what it reads from (its file, archive or workbook)
// meanwhile. Destruction stops the reading after the row in hand and waits for it.
class ReadAheadRows final : public RowSource {
 public:
  // Small enough that the rows in flight (about six batches, of rows of a kilobyte or so)
  // stay in the processors' caches as they pass between the threads: with 64 rows a
  // conversion took about 5 % less time than with 256.
  static constexpr std::size_t kBatchRows = 64;
  static constexpr std::size_t kBatchesAhead = 4;

  explicit ReadAheadRows(std::unique_ptr<RowSource> source, std::size_t batchRows = kBatchRows);
  ReadAheadRows(const ReadAheadRows&) = delete;
  ReadAheadRows& operator=(const ReadAheadRows&) = delete;
  ~ReadAheadRows() override;

  bool next(RawRow& row) override;

 private:
  struct Batch {
    std::vector<RawRow> rows;  // the first `count` are read; the others are kept for reuse
    std::size_t count = 0;
    bool last = false;           // nothing follows this batch
    std::exception_ptr failure;  // thrown once its rows are handed out
  };

  void fill(Batch& batch);

  std::unique_ptr<RowSource> source_;
  std::size_t batchRows_;
  threads::Handoff<Batch> handoff_{kBatchesAhead};

  // The caller's side.
  Batch current_;
  std::size_t at_ = 0;

  std::thread reader_;  // last: it starts reading at once
};

}  // namespace kvd507::spreadsheet
