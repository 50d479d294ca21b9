#pragma once

#include <cstddef>

namespace kvd507::files {

// A block of memory for megabytes that are filled at once: a part inflated whole, a chunk of
// rows. Blocks of a megabyte or more are mapped from the system on a 2 MiB boundary and
// advised for transparent huge pages, so that filling one costs a page fault per 2 MiB where
// the kernel has such pages, instead of one per 4 KiB: on a virtual machine each fault costs
// microseconds, and tens of thousands of them were a fifth of a large conversion. Smaller
// blocks come from the heap. The bytes are not initialised.
class LargeBlock {
 public:
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;

  LargeBlock() = default;
  // Throws std::bad_alloc when the memory cannot be had.
  explicit LargeBlock(std::size_t size);
  LargeBlock(LargeBlock&& other) noexcept;
  LargeBlock& operator=(LargeBlock&& other) noexcept;
  LargeBlock(const LargeBlock&) = delete;
  LargeBlock& operator=(const LargeBlock&) = delete;
  ~LargeBlock();

  char* data() const { return data_; }
  std::size_t size() const { return size_; }

  // Gives the memory of the whole huge pages among the first `bytes` back to the system, for
  // a block that is read front to back once: what was read stops counting as the process's.
  // The block keeps its size; those bytes read as zero afterwards. Heap blocks stay as they are.
  void releaseFront(std::size_t bytes) noexcept;

 private:
  void release() noexcept;

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mapped_ = 0;    // bytes mapped at data_; 0 when the block is from the heap
  std::size_t released_ = 0;  // the first bytes given back by releaseFront
};

}  // namespace kvd507::files
