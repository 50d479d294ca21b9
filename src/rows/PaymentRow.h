#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace kvd507::rows {

// One row of either worksheet, normalised to text, or one row slot of a declaration.
using PaymentRow = std::array<std::string, 14>;

// What each cell of a PaymentRow holds.
namespace cell {
inline constexpr std::size_t kIdentifier = 0;
inline constexpr std::size_t kIdentifierKind = 1;  // "1".."6": which column held the identifier
inline constexpr std::size_t kText = 2;            // column B, normalised; never empty
inline constexpr std::size_t kLetter = 3;          // "A" or "B"
inline constexpr std::size_t kCode = 4;
inline constexpr std::size_t kNMark = 5;  // "N" or empty
inline constexpr std::size_t kDMark = 6;  // "D" or empty
inline constexpr std::size_t kAmount = 7;
inline constexpr std::size_t kColumnText = 8;
inline constexpr std::size_t kSecondAmount = 9;
inline constexpr std::size_t kFirstExtra = 10;  // cells 10..13: the U sheet's columns C..F
}  // namespace cell

}  // namespace kvd507::rows
