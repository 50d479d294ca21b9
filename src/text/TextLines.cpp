#include "text/TextLines.h"

namespace kvd507::text {

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  forEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

}  // namespace kvd507::text
