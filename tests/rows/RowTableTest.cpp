#include <gtest/gtest.h>

#include "rows/RowTable.h"

namespace kvd507::rows {
namespace {

TEilute row(std::string identifier, std::string amount, std::string second,
            std::string kind = "1") {
  TEilute r;
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

TEST(RowTable, MergesIntoEveryRowWithTheSameKey) {
  RowTable table;
  table.append(row("1", "10,00", "1,00"));
  table.append(row("2", "5,00", "0"));
  table.append(row("1", "1234,50", "0"));  // from a declaration, the key may repeat
  EXPECT_TRUE(table.merge(row("1", "0.5", "2,25", "2"), ','));
  EXPECT_EQ(table[0][cell::kAmount], "10,50");
  EXPECT_EQ(table[0][cell::kSecondAmount], "3,25");
  EXPECT_EQ(table[0][cell::kIdentifierKind], "1");
  EXPECT_EQ(table[1][cell::kAmount], "5,00");
  EXPECT_EQ(table[2][cell::kAmount], "1235,00");
  EXPECT_FALSE(table.merge(row("3", "1", "1"), ','));
  EXPECT_EQ(table.size(), 3u);
}

TEST(RowTable, KeyCellsAreComparedExactly) {
  RowTable table;
  table.append(row("1", "1", "0"));
  TEilute other = row("1", "1", "0");
  other[cell::kText] = "name";
  EXPECT_FALSE(table.merge(other, ','));
  // Cells that could run together must not make two keys equal.
  TEilute a = row("1", "1", "0");
  a[cell::kCode] = "1";
  a[cell::kNMark] = "0";
  table.append(a);
  TEilute b = row("1", "1", "0");
  b[cell::kCode] = "10";
  b[cell::kNMark] = "";
  EXPECT_TRUE(table.merge(b, ','));
  EXPECT_EQ(table[0][cell::kAmount], "2,00");
  EXPECT_EQ(table[1][cell::kAmount], "1");
  table.clear();
  EXPECT_TRUE(table.empty());
  EXPECT_FALSE(table.merge(b, ','));
}

}  // namespace
}  // namespace kvd507::rows
