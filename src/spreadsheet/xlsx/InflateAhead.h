#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <thread>

#include "spreadsheet/xlsx/ZipArchive.h"
#include "threads/Handoff.h"

namespace kvd507::spreadsheet::xlsx {

// Inflates a part on a thread of its own, a few chunks ahead of the reader, so that inflating
// and parsing share the two cores. The bytes, and a failure after them, reach the reader
// exactly as the entry gives them; bytes inflated ahead and never read are dropped, and so is
// a failure met among them.
//
// A part the entry inflates whole (ZipEntry::inflateWhole) is inflated at once on that thread;
// the reader then reads it from the entry, with nothing handed over between.
//
// The entry's archive is used by the inflating thread until stop() or destruction: no other
// part of it may be opened or read meanwhile.
class InflateAhead {
 public:
  static constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;
  static constexpr std::size_t kChunksAhead = 4;

  explicit InflateAhead(ZipEntry entry);
  InflateAhead(const InflateAhead&) = delete;
  InflateAhead& operator=(const InflateAhead&) = delete;
  ~InflateAhead();

  const std::string& part() const { return entry_.part(); }
  const std::string& fileName() const { return entry_.fileName(); }

  // As ZipEntry::read: up to `size` bytes into `buffer`, 0 at the end of the part; throws
  // what inflating the entry threw, once the bytes before it are read.
  std::size_t read(char* buffer, std::size_t size);

  // Stops inflating and waits for the thread: the archive is free again. Reading after it
  // gives the rest of the chunk in hand, then 0.
  void stop();

 private:
  struct Chunk {
    // Raw bytes the inflater writes into: an array, not value-initialised like a vector.
    std::unique_ptr<char[]> bytes;  // NOLINT(modernize-avoid-c-arrays)
    std::size_t size = 0;
    bool last = false;           // nothing follows this chunk
    bool whole = false;          // last, and the rest is read from the entry, inflated whole
    std::exception_ptr failure;  // thrown once its bytes are read
  };

  void fill(Chunk& chunk);

  ZipEntry entry_;
  threads::Handoff<Chunk> handoff_{kChunksAhead};
  bool stopped_ = false;

  // The reader's side.
  Chunk current_;
  std::size_t at_ = 0;

  std::thread inflater_;  // last: it starts inflating at once
};

}  // namespace kvd507::spreadsheet::xlsx
