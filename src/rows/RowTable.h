#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "rows/TEilute.h"

namespace kvd507::rows {

// The rows of one appendix, in the order they were added. Once added, a row changes only by
// having another row's amounts merged into it.
class RowTable {
 public:
  void clear();
  void append(TEilute row);

  // Adds the new row's amount and second amount into every row whose merge key (identifier,
  // text, letter, code, N and D marks) equals its own, and tells whether there was one.
  // Sums are printed with `decimalSeparator`.
  bool merge(const TEilute& row, char decimalSeparator);

  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }
  const TEilute& operator[](std::size_t index) const { return rows_[index]; }
  std::vector<TEilute>::const_iterator begin() const { return rows_.begin(); }
  std::vector<TEilute>::const_iterator end() const { return rows_.end(); }

 private:
  static std::string mergeKey(const TEilute& row);

  std::vector<TEilute> rows_;
  // Rows taken over from a declaration may share a key, so a key can name several rows.
  std::unordered_map<std::string, std::vector<std::size_t>> byKey_;
};

}  // namespace kvd507::rows
