#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::xlsx {

// The workbook's shared string table: each string once, end to end in one buffer. Sized by
// the strings actually read, never by the counts the part claims.
class SharedStrings {
 public:
  // An empty table, for a workbook without the part.
  SharedStrings() = default;
  static SharedStrings read(ZipArchive& archive, std::string_view part, std::uint64_t limit);

  std::size_t size() const { return ends_.size(); }
  std::string_view at(std::size_t index) const;

  void add(std::string_view text);

 private:
  std::string text_;
  std::vector<std::uint32_t> ends_;
};

}  // namespace kvd507::spreadsheet::xlsx
