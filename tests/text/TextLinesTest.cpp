#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/TextLines.h"

namespace kvd507::text {
namespace {

struct LinesCase {
  const char* text;
  std::vector<std::string> lines;
};

TEST(SplitLines, EveryKindOfLineBreak) {
  const LinesCase cases[] = {
      {"", {}},
      {"A", {"A"}},
      {"A\r\nB", {"A", "B"}},
      {"A\rB", {"A", "B"}},
      {"A\nB", {"A", "B"}},
      {"A\r\nB\rC\nD", {"A", "B", "C", "D"}},
      // A break at the very end starts no line, whatever its kind.
      {"A\r\n", {"A"}},
      {"A\r", {"A"}},
      {"A\n", {"A"}},
      // Empty lines in the middle, and an empty last line before the final break, are lines.
      {"A\r\n\r\nB", {"A", "", "B"}},
      {"A\r\n\r\n", {"A", ""}},
      {"\r\nA", {"", "A"}},
      {"\r\n", {""}},
      // LF then CR is two breaks, CR CR too; only CR LF pairs up.
      {"A\n\rB", {"A", "", "B"}},
      {"A\r\rB", {"A", "", "B"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(splitLines(c.text), c.lines) << "text: " << testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace kvd507::text
