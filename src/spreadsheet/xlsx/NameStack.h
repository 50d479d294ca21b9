#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace kvd507::spreadsheet::xlsx {

// The names of the open elements, innermost on top, to match their end tags against. A sheet
// opens and closes hundreds of thousands of elements named by a letter or two, so the names
// are kept end to end in one array and copied a byte at a time, with no call per name.
// At most `MaxDepth` names are held; the parser refuses deeper nesting before pushing.
template <std::size_t MaxDepth>
class NameStack {
 public:
  bool empty() const { return depth_ == 0; }
  std::size_t depth() const { return depth_; }

  void push(std::string_view name) {
    if (used_ + name.size() > capacity_) grow(used_ + name.size());
    char* out = bytes_.get() + used_;
    for (const char c : name) *out++ = c;
    starts_[depth_++] = used_;
    used_ += name.size();
  }

  // The innermost open element's name; valid until the next push or pop.
  std::string_view top() const {
    const std::size_t start = starts_[depth_ - 1];
    return {bytes_.get() + start, used_ - start};
  }

  void pop() { used_ = starts_[--depth_]; }

 private:
  void grow(std::size_t needed) {
    std::size_t larger = capacity_ == 0 ? 256 : capacity_ * 2;
    while (larger < needed) larger *= 2;
    auto bytes = std::make_unique<char[]>(larger);  // NOLINT(modernize-avoid-c-arrays)
    if (used_ != 0) std::memcpy(bytes.get(), bytes_.get(), used_);
    bytes_ = std::move(bytes);
    capacity_ = larger;
  }

  std::unique_ptr<char[]> bytes_;  // NOLINT(modernize-avoid-c-arrays)
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  std::array<std::size_t, MaxDepth> starts_{};
  std::size_t depth_ = 0;
};

}  // namespace kvd507::spreadsheet::xlsx
