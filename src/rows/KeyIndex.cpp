#include "rows/KeyIndex.h"

#include <bit>
#include <utility>

namespace kvd507::rows {

std::size_t KeyIndex::firstSlot(std::size_t hash) const {
  // Fibonacci hashing: the product's top bits depend on every bit of the hash, so hashes that
  // differ only in a few bits, high or low, still land apart.
  const std::uint64_t mixed = static_cast<std::uint64_t>(hash) * 0x9E3779B97F4A7C15ULL;
  return static_cast<std::size_t>(mixed >> shift_);
}

std::size_t KeyIndex::find(std::size_t hash) const {
  if (slots_.empty()) return kNone;
  for (std::size_t i = firstSlot(hash);; i = (i + 1) & (slots_.size() - 1)) {
    const Slot& slot = slots_[i];
    if (slot.row == kNone) return kNone;
    if (slot.hash == hash) return slot.row;
  }
}

std::size_t KeyIndex::add(std::size_t hash, std::size_t row) {
  if (2 * (used_ + 1) > slots_.size()) grow();
  for (std::size_t i = firstSlot(hash);; i = (i + 1) & (slots_.size() - 1)) {
    Slot& slot = slots_[i];
    if (slot.row == kNone) {
      slot = {hash, row};
      ++used_;
      return kNone;
    }
    if (slot.hash == hash) return std::exchange(slot.row, row);
  }
}

void KeyIndex::clear() {
  slots_.clear();
  used_ = 0;
  shift_ = 64;
}

void KeyIndex::grow() {
  std::vector<Slot> old =
      std::exchange(slots_, std::vector<Slot>(slots_.empty() ? kFirstSize : 2 * slots_.size()));
  shift_ = 64 - static_cast<unsigned>(std::countr_zero(slots_.size()));
  for (const Slot& slot : old) {
    if (slot.row == kNone) continue;
    std::size_t i = firstSlot(slot.hash);
    while (slots_[i].row != kNone) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = slot;
  }
}

}  // namespace kvd507::rows
