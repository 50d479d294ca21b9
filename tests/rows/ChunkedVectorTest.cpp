#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "rows/ChunkedVector.h"

namespace kvd507::rows {
namespace {

// A first chunk of 4 and later ones of 8, so that a few elements cross the edges of both.
using Strings = ChunkedVector<std::string, 4, 8>;

Strings numbers(std::size_t count) {
  Strings strings;
  for (std::size_t i = 0; i < count; ++i) strings.push_back(std::to_string(i));
  return strings;
}

std::vector<std::string> listed(const Strings& strings) {
  return {strings.begin(), strings.end()};
}

TEST(ChunkedVectorTest, KeepsOrderAcrossChunkEdges) {
  for (const std::size_t count : {0, 1, 3, 4, 5, 8, 11, 12, 13, 20, 21, 29}) {
    SCOPED_TRACE(count);
    const Strings strings = numbers(count);
    ASSERT_EQ(strings.size(), count);
    EXPECT_EQ(strings.empty(), count == 0);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < count; ++i) {
      expected.push_back(std::to_string(i));
      EXPECT_EQ(strings[i], expected.back());
    }
    EXPECT_EQ(listed(strings), expected);
  }
}

TEST(ChunkedVectorTest, ElementsStayWhereTheyAreAsItGrows) {
  Strings strings = numbers(1);
  const std::string* first = &strings[0];
  for (int i = 0; i < 100; ++i) strings.push_back("more");
  EXPECT_EQ(&strings[0], first);
  EXPECT_EQ(*first, "0");
}

TEST(ChunkedVectorTest, LaterChunksFillAHugePageOfRows) {
  // Rows of the size of a table's: the chunks after the first are made in large blocks.
  using Rows = ChunkedVector<std::array<std::string, 14>, 2>;
  Rows rows;
  const std::size_t count =
      2 + 2 * (files::LargeBlock::kHugePage / sizeof(Rows::const_iterator::value_type)) + 3;
  for (std::size_t i = 0; i < count; ++i) {
    std::array<std::string, 14> row;
    row[13] = std::to_string(i);
    rows.push_back(std::move(row));
  }
  ASSERT_EQ(rows.size(), count);
  for (std::size_t i = 0; i < count; i += 997) EXPECT_EQ(rows[i][13], std::to_string(i));
  EXPECT_EQ(rows[count - 1][13], std::to_string(count - 1));
  EXPECT_TRUE(rows[count - 1][0].empty());
}

TEST(ChunkedVectorTest, CopiesAreDeepAndClearEmpties) {
  Strings strings = numbers(6);
  const Strings copy = strings;
  strings[5] = "changed";
  strings.clear();
  EXPECT_TRUE(strings.empty());
  EXPECT_EQ(listed(copy), listed(numbers(6)));
  strings = copy;
  EXPECT_EQ(listed(strings), listed(copy));
}

}  // namespace
}  // namespace kvd507::rows
