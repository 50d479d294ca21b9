#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "files/LargeBlock.h"

namespace kvd507::rows {

// A sequence that grows by whole chunks and never moves what it holds. A vector of large
// elements that doubles its storage moves every element it has at each step and, for a moment,
// holds both storages; with 85,000 rows of a few hundred bytes that is tens of megabytes copied
// and a third more memory touched than the rows need.
//
// The first chunk holds `FirstChunk` elements, for the many sequences that stay small; every
// later one `LaterChunk`, by default as many as fill one huge page (files::LargeBlock), so that
// a growing table costs one page fault per 2 MiB rather than one per 4 KiB.
template <typename T, std::size_t FirstChunk,
          std::size_t LaterChunk = std::max(FirstChunk, files::LargeBlock::kHugePage / sizeof(T))>
class ChunkedVector {
  static_assert(FirstChunk > 0 && LaterChunk > 0);
  static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__,
                "blocks are aligned as new[] aligns");

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

  T& operator[](std::size_t index) { return at(index); }
  const T& operator[](std::size_t index) const { return at(index); }

  void push_back(T&& value) {
    if (size_ == capacity_) {
      const std::size_t count = chunks_.empty() ? FirstChunk : LaterChunk;
      chunks_.emplace_back(count);
      capacity_ += count;
    }
    at(size_) = std::move(value);
    ++size_;
  }

  void clear() {
    chunks_.clear();
    size_ = 0;
    capacity_ = 0;
  }

  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

 private:
  // Elements made in a block of their own, value-initialised as a new T[] would make them.
  class Chunk {
   public:
    explicit Chunk(std::size_t count) : block_(count * sizeof(T)), count_(count) {
      std::uninitialized_value_construct_n(items(), count_);
    }
    Chunk(Chunk&&) noexcept = default;
    Chunk& operator=(Chunk&&) = delete;
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;
    ~Chunk() {
      if (block_.data() != nullptr) std::destroy_n(items(), count_);
    }

    T* items() const {
      return std::launder(reinterpret_cast<T*>(block_.data()));  // NOLINT: made there above
    }

   private:
    files::LargeBlock block_;
    std::size_t count_;
  };

  T& at(std::size_t index) const {
    if (index < FirstChunk) return chunks_[0].items()[index];
    index -= FirstChunk;
    return chunks_[1 + index / LaterChunk].items()[index % LaterChunk];
  }

  std::vector<Chunk> chunks_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace kvd507::rows
