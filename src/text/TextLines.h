#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::text {

// Calls `visit(line)` for every line of `text`. Lines end at CR LF, a lone CR or a lone LF; a
// break at the very end starts no further line, while an empty line in the middle is a line of
// its own. Empty text has none.
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

// The lines forEachLine visits, as strings.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace kvd507::text
