#include "spreadsheet/xlsx/InflateAhead.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kvd507::spreadsheet::xlsx {

InflateAhead::InflateAhead(ZipEntry entry)
    : entry_(std::move(entry)),
      inflater_([this] { handoff_.produce([this](Chunk& chunk) { fill(chunk); }); }) {}

InflateAhead::~InflateAhead() {
  stop();
}

void InflateAhead::stop() {
  if (stopped_) return;
  stopped_ = true;
  handoff_.stop();
  inflater_.join();
}

void InflateAhead::fill(Chunk& chunk) {
  chunk.size = 0;
  chunk.last = false;
  chunk.whole = false;
  chunk.failure = nullptr;
  try {
    if (entry_.inflatesWhole() && entry_.inflateWhole()) {
      chunk.whole = true;
      chunk.last = true;
      return;
    }
    if (!chunk.bytes) chunk.bytes = std::make_unique<char[]>(kChunkBytes);
    while (chunk.size < kChunkBytes && !handoff_.stopping()) {
      const std::size_t got = entry_.read(chunk.bytes.get() + chunk.size, kChunkBytes - chunk.size);
      if (got == 0) {
        chunk.last = true;
        return;
      }
      chunk.size += got;
    }
  } catch (...) {
    chunk.failure = std::current_exception();
    chunk.last = true;
  }
}

std::size_t InflateAhead::read(char* buffer, std::size_t size) {
  while (at_ == current_.size) {
    if (current_.failure) std::rethrow_exception(current_.failure);
    // The inflating thread is done with the entry once it handed this chunk over.
    if (current_.whole && !stopped_) return entry_.read(buffer, size);
    if (current_.last || stopped_) return 0;
    current_ = handoff_.exchange(std::move(current_));
    at_ = 0;
  }
  const std::size_t count = std::min(size, current_.size - at_);
  std::memcpy(buffer, current_.bytes.get() + at_, count);
  at_ += count;
  return count;
}

}  // namespace kvd507::spreadsheet::xlsx
