#pragma once

#include <cstddef>
#include <string_view>

namespace kvd507::spreadsheet::xlsx {

// Attribute and element names in a sheet are a few letters: compared in place, not by a call
// to memcmp.
inline bool sameShortName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The name after its prefix, if any. Sheet names are a few bytes and rarely prefixed, so a
// loop written out here beats a call to rfind.
inline std::string_view localName(std::string_view name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    if (name[i - 1] == ':') return name.substr(i);
  }
  return name;
}

}  // namespace kvd507::spreadsheet::xlsx
