#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace kvd507::rows {

// A sequence that grows by whole chunks of `ChunkSize` elements and never moves what it holds.
// A vector of large elements that doubles its storage moves every element it has at each
// step and, for a moment, holds both storages; with 85,000 rows of a few hundred bytes that
// is tens of megabytes copied and a third more memory touched than the rows need.
template <typename T, std::size_t ChunkSize>
class ChunkedVector {
  static_assert(ChunkSize > 0 && (ChunkSize & (ChunkSize - 1)) == 0,
                "a power of two, so that finding an element is a shift and a mask");

 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = const T&;

    const_iterator() = default;
    const_iterator(const ChunkedVector* owner, std::size_t index) : owner_(owner), index_(index) {}

    reference operator*() const { return (*owner_)[index_]; }
    pointer operator->() const { return &(*owner_)[index_]; }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }

   private:
    const ChunkedVector* owner_ = nullptr;
    std::size_t index_ = 0;
  };

  ChunkedVector() = default;
  ChunkedVector(const ChunkedVector& other) {
    for (std::size_t i = 0; i < other.size_; ++i) push_back(T(other[i]));
  }
  ChunkedVector(ChunkedVector&&) noexcept = default;
  ChunkedVector& operator=(const ChunkedVector& other) {
    if (this != &other) *this = ChunkedVector(other);
    return *this;
  }
  ChunkedVector& operator=(ChunkedVector&&) noexcept = default;
  ~ChunkedVector() = default;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](std::size_t index) { return chunks_[index / ChunkSize][index % ChunkSize]; }
  const T& operator[](std::size_t index) const {
    return chunks_[index / ChunkSize][index % ChunkSize];
  }

  void push_back(T&& value) {
    if (size_ == chunks_.size() * ChunkSize) {
      chunks_.push_back(std::make_unique<T[]>(ChunkSize));  // NOLINT(modernize-avoid-c-arrays)
    }
    (*this)[size_] = std::move(value);
    ++size_;
  }

  void clear() {
    chunks_.clear();
    size_ = 0;
  }

  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;  // NOLINT(modernize-avoid-c-arrays)
  std::size_t size_ = 0;
};

}  // namespace kvd507::rows
