#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "spreadsheet/ReadAheadRows.h"

namespace kvd507::spreadsheet {
namespace {

// Rows 1, 2, ... up to `rows`, each with its number as its one cell; then the end, or a
// failure when `failAfter` says so. A source with no end reads on until it is stopped.
class CountingSource final : public RowSource {
 public:
  CountingSource(std::optional<std::uint32_t> rows, bool fail, std::atomic<int>* read = nullptr)
      : rows_(rows), fail_(fail), read_(read) {}

  bool next(RawRow& row) override {
    if (rows_ && number_ == *rows_) {
      if (fail_) throw std::runtime_error("damaged after row " + std::to_string(number_));
      return false;
    }
    ++number_;
    if (read_ != nullptr) ++*read_;
    row.number = number_;
    row.cells.assign(1, RawCell::makeNumber(number_));
    return true;
  }

 private:
  std::optional<std::uint32_t> rows_;
  bool fail_;
  std::atomic<int>* read_;
  std::uint32_t number_ = 0;
};

struct Case {
  const char* name;
  std::uint32_t rows;
  std::size_t batchRows;
  bool fail;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class ReadAheadRowsTest : public testing::TestWithParam<Case> {};

TEST_P(ReadAheadRowsTest, HandsOutEveryRowInOrderThenTheEndOrTheFailure) {
  const Case c = GetParam();
  ReadAheadRows rows(std::make_unique<CountingSource>(c.rows, c.fail), c.batchRows);
  RawRow row;
  for (std::uint32_t expected = 1; expected <= c.rows; ++expected) {
    ASSERT_TRUE(rows.next(row));
    ASSERT_EQ(row.number, expected);
    ASSERT_EQ(row.cells.size(), 1U);
    ASSERT_EQ(row.cells[0].number, expected);
  }
  for (int again = 0; again < 2; ++again) {
    if (c.fail) {
      EXPECT_THROW(rows.next(row), std::runtime_error);
    } else {
      EXPECT_FALSE(rows.next(row));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Batches, ReadAheadRowsTest,
    testing::Values(Case{"Empty", 0, 4, false}, Case{"FailsAtOnce", 0, 4, true},
                    Case{"WithinOneBatch", 3, 4, false}, Case{"FillsBatchesExactly", 8, 4, false},
                    Case{"ManyBatches", 1001, 7, false}, Case{"FailsInALaterBatch", 1001, 7, true},
                    Case{"FailsAtABatchEnd", 8, 4, true}, Case{"OneRowBatches", 20, 1, true}),
    [](const testing::TestParamInfo<Case>& test) { return test.param.name; });

TEST(ReadAheadRows, StopsReadingWhenDroppedEarly) {
  std::atomic<int> read = 0;
  {
    ReadAheadRows rows(std::make_unique<CountingSource>(std::nullopt, false, &read), 16);
    RawRow row;
    ASSERT_TRUE(rows.next(row));
    EXPECT_EQ(row.number, 1U);
  }
  // At most the batches it may hold ahead, and the one it was filling.
  EXPECT_LE(read.load(), static_cast<int>(16 * (ReadAheadRows::kBatchesAhead + 2)));
}

TEST(ReadAheadRows, DroppedUnreadDoesNotWait) {
  std::atomic<int> read = 0;
  { ReadAheadRows rows(std::make_unique<CountingSource>(std::nullopt, false, &read), 16); }
  EXPECT_LE(read.load(), static_cast<int>(16 * (ReadAheadRows::kBatchesAhead + 1)));
}

}  // namespace
}  // namespace kvd507::spreadsheet
