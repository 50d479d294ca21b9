#include <gtest/gtest.h>

#include <optional>

#include "errors/Error.h"
#include "rows/Amount.h"
#include "rows/RowTable.h"

namespace kvd507::rows {
namespace {

PaymentRow row(std::string identifier, std::string amount, std::string second,
               std::string kind = "1") {
  PaymentRow r;
  r[cell::kIdentifier] = std::move(identifier);
  r[cell::kIdentifierKind] = std::move(kind);
  r[cell::kText] = "NAME";
  r[cell::kLetter] = "A";
  r[cell::kCode] = "10";
  r[cell::kAmount] = std::move(amount);
  r[cell::kColumnText] = "0";
  r[cell::kSecondAmount] = std::move(second);
  return r;
}

// A declaration may hold a key twice: a workbook row's amounts go into the first only, so that
// one payment is counted once.
TEST(RowTable, MergesIntoTheFirstRowWithTheSameKeyOnly) {
  RowTable table;
  EXPECT_EQ(table.append(row("1", "10,00", "1,00")), std::nullopt);
  EXPECT_EQ(table.append(row("2", "5,00", "0")), std::nullopt);
  EXPECT_EQ(table.append(row("1", "1234,50", "0")), 0u);  // from a declaration
  EXPECT_TRUE(table.merge(row("1", "0.5", "2,25", "2"), ','));
  EXPECT_EQ(table[0][cell::kAmount], "10,50");
  EXPECT_EQ(table[0][cell::kSecondAmount], "3,25");
  EXPECT_EQ(table[0][cell::kIdentifierKind], "1");
  EXPECT_EQ(table[1][cell::kAmount], "5,00");
  EXPECT_EQ(table[2][cell::kAmount], "1234,50");
  EXPECT_FALSE(table.merge(row("3", "1", "1"), ','));
  EXPECT_EQ(table.size(), 3u);
}

TEST(RowTable, RowsTakenOverAsAWholeAreFoundByTheirKey) {
  RowTable table;
  table.append(row("1", "1,00", "0"));
  RowTable taken;
  taken.append(row("2", "2,00", "0"));
  taken.append(row("1", "3,00", "0"));
  table.appendAll(std::move(taken));
  EXPECT_EQ(table.append(row("1", "4,00", "0")), 0u);
  EXPECT_TRUE(table.merge(row("1", "10", "1"), ','));
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[0][cell::kAmount], "11,00");
  EXPECT_EQ(table[0][cell::kSecondAmount], "1,00");
  EXPECT_EQ(table[1][cell::kAmount], "2,00");
  EXPECT_EQ(table[2][cell::kAmount], "3,00");
  EXPECT_EQ(table[3][cell::kAmount], "4,00");
  // The table taken from starts afresh.
  EXPECT_FALSE(taken.merge(row("1", "1", "0"), ','));
  taken.append(row("1", "1", "0"));
  EXPECT_TRUE(taken.merge(row("1", "1", "0"), ','));
  EXPECT_EQ(taken[0][cell::kAmount], "2,00");
}

// A hundred thousand copies of one key cost a merge no more than one: only the first is looked
// at (it used to be every copy, for every workbook row).
TEST(RowTable, ManyCopiesOfOneKeyDoNotSlowMerging) {
  RowTable table;
  for (int i = 0; i < 100000; ++i) table.append(row("1", "100", "0"));
  for (int i = 0; i < 100000; ++i) ASSERT_TRUE(table.merge(row("1", "1", "0"), ','));
  EXPECT_EQ(table[0][cell::kAmount], "100100,00");
  EXPECT_EQ(table[1][cell::kAmount], "100");
}

// Amounts of 10^15 or more are no payment: they count as 0 in the sums.
TEST(RowTable, AmountsTooLargeCountAsZero) {
  RowTable table;
  table.append(row("1", "1e15", "99999999999999999999999"));
  table.append(row("2", "99999999999999,99", "0"));
  EXPECT_EQ(table.amountValue(0), 0.0);
  EXPECT_EQ(table.secondAmountValue(0), 0.0);
  EXPECT_EQ(table.amountValue(1), 99999999999999.99);
}

TEST(RowTable, KeyCellsAreComparedExactly) {
  RowTable table;
  table.append(row("1", "1", "0"));
  PaymentRow other = row("1", "1", "0");
  other[cell::kText] = "name";
  EXPECT_FALSE(table.merge(other, ','));
  // Cells that could run together must not make two keys equal.
  PaymentRow a = row("1", "1", "0");
  a[cell::kCode] = "1";
  a[cell::kNMark] = "0";
  table.append(a);
  PaymentRow b = row("1", "1", "0");
  b[cell::kCode] = "10";
  b[cell::kNMark] = "";
  EXPECT_TRUE(table.merge(b, ','));
  EXPECT_EQ(table[0][cell::kAmount], "2,00");
  EXPECT_EQ(table[1][cell::kAmount], "1");
  table.clear();
  EXPECT_TRUE(table.empty());
  EXPECT_FALSE(table.merge(b, ','));
}

TEST(RowTable, KnowsWhatItsAmountsReadAsAfterEveryMerge) {
  RowTable table;
  EXPECT_FALSE(table.mergeOrAppend(row("1", "0.1", "abc"), '.'));
  table.append(row("2", "1 000,5", "-0"));
  // 0.1 + 0.2 is no whole number of cents: the sum goes on as its printed text reads.
  EXPECT_TRUE(table.mergeOrAppend(row("1", "0.2", "1e2"), '.'));
  EXPECT_TRUE(table.mergeOrAppend(row("1", "0.3", "0"), '.'));
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0][cell::kAmount], "0.60");
  EXPECT_EQ(table[0][cell::kSecondAmount], "100.00");
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table.amountValue(i), parseAmount(table[i][cell::kAmount])) << i;
    EXPECT_EQ(table.secondAmountValue(i), parseAmount(table[i][cell::kSecondAmount])) << i;
  }
  EXPECT_EQ(table.textSize(), 2 * (1 + 1 + 4 + 1 + 2 + 1) + 4 + 6 + 7 + 2);
}

TEST(RowTable, HoldsNoMoreTextThanItsLimit) {
  PaymentRow big = row("1", "1,00", "0");
  big[cell::kText] = std::string(40, 'x');
  const std::size_t rowText = 40 + 1 + 1 + 1 + 2 + 4 + 1 + 1;
  RowTable table(2 * rowText);
  table.append(big);
  big[cell::kIdentifier] = "2";
  table.append(big);
  EXPECT_EQ(table.textSize(), 2 * rowText);
  big[cell::kIdentifier] = "3";
  try {
    table.append(big);
    FAIL() << "a row past the limit was taken";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kTooMuchText);
    EXPECT_EQ(e.limit(), 2 * rowText);
  }
  EXPECT_EQ(table.size(), 2u);

  // Rows taken over as a whole are refused before any of them moves.
  RowTable more;
  more.append(big);
  EXPECT_THROW(table.appendAll(std::move(more)), Error);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(more.size(), 1u);

  // Merged sums are counted as they grow.
  PaymentRow sum = big;
  sum[cell::kIdentifier] = "1";
  sum[cell::kAmount] = "1000";
  EXPECT_TRUE(table.merge(sum, ','));
  EXPECT_EQ(table[0][cell::kAmount], "1001,00");
  EXPECT_EQ(table.textSize(), 2 * rowText + 3 + 3);  // "1001,00" and "0,00"
  table.clear();
  EXPECT_EQ(table.textSize(), 0u);
}

}  // namespace
}  // namespace kvd507::rows
