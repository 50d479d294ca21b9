#include "files/LargeBlock.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <utility>

namespace kvd507::files {
namespace {

constexpr std::size_t kMappedFrom = std::size_t{1} << 20;

std::size_t roundedUp(std::size_t size, std::size_t unit) {
  return (size + unit - 1) / unit * unit;
}

}  // namespace

LargeBlock::LargeBlock(std::size_t size) : size_(size) {
  if (size < kMappedFrom) {
    data_ = new char[size == 0 ? 1 : size];
    return;
  }
  // Map a huge page more than needed and give back what lies outside the aligned span.
  const std::size_t span = roundedUp(size, kHugePage);
  const std::size_t asked = span + kHugePage;
  void* mapped = mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* base = static_cast<char*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(base);
  char* aligned = base + (roundedUp(address, kHugePage) - address);
  if (aligned > base) munmap(base, static_cast<std::size_t>(aligned - base));
  const auto tail = static_cast<std::size_t>(base + asked - (aligned + span));
  if (tail > 0) munmap(aligned + span, tail);
  // Only advice: without huge pages the block is as any other mapping.
  madvise(aligned, span, MADV_HUGEPAGE);
  data_ = aligned;
  mapped_ = span;
}

LargeBlock::LargeBlock(LargeBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)),
      released_(std::exchange(other.released_, 0)) {}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
    released_ = std::exchange(other.released_, 0);
  }
  return *this;
}

LargeBlock::~LargeBlock() {
  release();
}

void LargeBlock::releaseFront(std::size_t bytes) noexcept {
  if (mapped_ == 0) return;
  const std::size_t upTo = bytes / kHugePage * kHugePage;
  if (upTo <= released_) return;
  madvise(data_ + released_, upTo - released_, MADV_DONTNEED);
  released_ = upTo;
}

void LargeBlock::release() noexcept {
  if (data_ == nullptr) return;
  if (mapped_ > 0) {
    munmap(data_, mapped_);
  } else {
    delete[] data_;
  }
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
  released_ = 0;
}

}  // namespace kvd507::files
