#pragma once

#include <cstddef>
#include <string_view>

namespace kvd507::declaration {

// Calls `visit(line)` for every line of `text`. Lines end at CR LF, a lone CR or a lone LF; a
// break at the very end starts no further line.
template <typename Visit>
void forEachLine(std::string_view text, Visit&& visit) {
  while (!text.empty()) {
    // A loop of its own: find_first_of would look each byte up in the list with a call, and a
    // declaration of a hundred thousand rows is read line by line three times.
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    if (end == text.size()) {
      visit(text);
      return;
    }
    visit(text.substr(0, end));
    const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crLf ? 2 : 1));
  }
}

}  // namespace kvd507::declaration
