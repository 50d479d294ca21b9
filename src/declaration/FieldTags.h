#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kvd507::declaration {

// Checks the field tags of a declaration line by line, as the scanner reads it, and counts its
// pages. The scanner finds a field by the exact text `Name="L3-` and so on: a tag spelt any
// other way (`name="L3-1"`, `<FIELD`, two blanks) would lose its field without a word, and a
// field met twice on one page would make a row twice. Both are refused instead. Throws Error
// (kFieldTagMisspelt, kFieldRepeated) with the line's number as its row and the field's name as
// its detail.
class FieldTags {
 public:
  void check(std::string_view line, std::uint32_t number);

  // The 1-based number of the page the last line checked is on (the main page is 1); 0 before
  // the first <Page>.
  std::size_t page() const { return page_; }

 private:
  void seen(std::string_view name, std::uint32_t number);

  std::size_t page_ = 0;
  std::unordered_set<std::string> names_;  // the fields of the current page
};

}  // namespace kvd507::declaration
