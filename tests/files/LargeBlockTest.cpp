#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "files/LargeBlock.h"

namespace kvd507::files {
namespace {

// Small blocks from the heap, large ones mapped on a huge-page boundary: every byte of either
// can be written and read back, and a block moved keeps its bytes.
TEST(LargeBlock, EveryByteIsUsableAndMovesWithTheBlock) {
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{4096}, (std::size_t{1} << 20) - 1,
        std::size_t{1} << 20, LargeBlock::kHugePage + 1, 3 * LargeBlock::kHugePage}) {
    SCOPED_TRACE(size);
    LargeBlock block(size);
    ASSERT_EQ(block.size(), size);
    ASSERT_NE(block.data(), nullptr);
    if (size >= (std::size_t{1} << 20)) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.data()) % LargeBlock::kHugePage, 0U);
    }
    for (std::size_t i = 0; i < size; ++i) block.data()[i] = static_cast<char>(i * 7);
    LargeBlock moved(std::move(block));
    EXPECT_EQ(block.data(), nullptr);  // NOLINT(bugprone-use-after-move): moved from is empty
    LargeBlock assigned;
    assigned = std::move(moved);
    ASSERT_EQ(assigned.size(), size);
    bool same = true;
    for (std::size_t i = 0; i < size; ++i)
      same = same && assigned.data()[i] == static_cast<char>(i * 7);
    EXPECT_TRUE(same);
  }
}

TEST(LargeBlock, ReleasingTheFrontKeepsTheRest) {
  LargeBlock block(3 * LargeBlock::kHugePage);
  for (std::size_t i = 0; i < block.size(); ++i) block.data()[i] = 'x';
  block.releaseFront(LargeBlock::kHugePage + 10);  // the first page only: the second is in use
  block.releaseFront(10);                          // nothing further back to give
  EXPECT_EQ(block.size(), 3 * LargeBlock::kHugePage);
  bool rest = true;
  for (std::size_t i = LargeBlock::kHugePage; i < block.size(); ++i)
    rest = rest && block.data()[i] == 'x';
  EXPECT_TRUE(rest);
  EXPECT_EQ(block.data()[0], '\0');

  LargeBlock small(100);
  small.data()[0] = 'y';
  small.releaseFront(100);
  EXPECT_EQ(small.data()[0], 'y');
}

}  // namespace
}  // namespace kvd507::files
