#pragma once

#include <cstddef>
#include <string_view>

namespace kvd507::declaration {

// Calls `visit(line)` for every line of `text`. Lines end at CR LF, a lone CR or a lone LF; a
// break at the very end starts no further line.
template <typename Visit>
void forEachLine(std::string_view text, Visit&& visit) {
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      visit(text);
      return;
    }
    visit(text.substr(0, end));
    const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crLf ? 2 : 1));
  }
}

}  // namespace kvd507::declaration
