#include "spreadsheet/xls/StringPool.h"

#include <limits>

#include "spreadsheet/xls/BiffError.h"

namespace kvd507::spreadsheet::xls {

std::uint32_t StringPool::add(std::string_view text) {
  if (ends_.size() == std::numeric_limits<std::uint32_t>::max()) {
    throw BiffError("the workbook holds too many strings", std::nullopt);
  }
  chars_ += text;
  ends_.push_back(chars_.size());
  return static_cast<std::uint32_t>(ends_.size() - 1);
}

std::string_view StringPool::at(std::uint32_t index) const {
  const std::size_t begin = index == 0 ? 0 : ends_.at(index - 1);
  return std::string_view(chars_).substr(begin, ends_.at(index) - begin);
}

}  // namespace kvd507::spreadsheet::xls
