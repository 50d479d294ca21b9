#pragma once

#include <cstdint>
#include <string_view>

namespace kvd507::intake {

// Where the columns of one worksheet kind stand (1-based; column 2, B, is always the text).
struct SheetLayout {
  std::string_view name;
  std::uint32_t firstExtraColumn;  // extra texts kept in cells 10.. (none on the L sheet)
  std::uint32_t extraCount;
  std::uint32_t firstIdentifierColumn;
  std::uint32_t identifierCount;
  // Four groups of (amount, code) follow the identifiers, then the column of cell 8 and the
  // second amount.
  std::uint32_t firstGroupColumn;

  std::uint32_t columnTextColumn() const { return firstGroupColumn + 8; }
  std::uint32_t secondAmountColumn() const { return firstGroupColumn + 9; }
  std::uint32_t lastColumn() const { return secondAmountColumn(); }
};

inline constexpr std::uint32_t kFirstDataRow = 6;
inline constexpr SheetLayout kLSheet{"KVD507 L", 0, 0, 3, 5, 8};
inline constexpr SheetLayout kUSheet{"KVD507 U", 3, 4, 7, 6, 13};

}  // namespace kvd507::intake
