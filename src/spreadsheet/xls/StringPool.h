#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::spreadsheet::xls {

// Strings stored end to end in one buffer. A workbook can hold a great many short strings
// (and a damaged one a great many empty ones); one allocation each would cost many times
// the file's size.
class StringPool {
 public:
  std::uint32_t add(std::string_view text);
  std::string_view at(std::uint32_t index) const;
  std::size_t size() const { return ends_.size(); }

 private:
  std::string chars_;
  std::vector<std::size_t> ends_;
};

}  // namespace kvd507::spreadsheet::xls
