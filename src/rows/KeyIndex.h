#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvd507::rows {

// Row positions by the hash of their merge key: the latest row added with each hash. Open
// addressing over one array, so that looking a hash up reads one cache line where a
// std::unordered_map reads a bucket and then a node elsewhere; with a hundred thousand rows,
// those misses were most of the time spent merging.
class KeyIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // The latest row added with this hash, or kNone.
  std::size_t find(std::size_t hash) const;

  // Makes `row` the latest row with this hash and returns the one that was, or kNone.
  std::size_t add(std::size_t hash, std::size_t row);

  void clear();

 private:
  struct Slot {
    std::size_t hash = 0;
    std::size_t row = kNone;  // kNone: the slot is free
  };

  std::size_t firstSlot(std::size_t hash) const;
  void grow();

  static constexpr std::size_t kFirstSize = 64;

  std::vector<Slot> slots_;  // a power of two, at most half of them used
  std::size_t used_ = 0;
  unsigned shift_ = 64;  // 64 less the bits of a slot number
};

}  // namespace kvd507::rows
