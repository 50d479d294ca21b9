#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "rows/Finding.h"
#include "rows/PaymentRow.h"

namespace kvd507::declaration {

// Where a row slot of a declaration stands: the worksheet its rows come from, the letter of its
// fields, the slot's number as the field names give it ("3" of "L10-3"), and its page (the main
// page is 1).
struct SlotPlace {
  std::string_view sheet;
  char field;
  std::string_view slot;
  std::uint32_t page;
};

// Whether any cell of the row holds a value.
bool holdsValues(const rows::PaymentRow& row);

// What reading a declaration notices about its rows: a slot with values but no name (dropped),
// an amount that is no number or too large (counted as 0), a row whose key an earlier row holds
// (workbook rows merge only into the first). Kept until the whole file has been read, since a
// file that is refused tells nothing else; of each kind only the first kMaxKept with their text,
// the rest counted, so that a file whose every row is odd costs no more than one with a thousand.
class SlotFindings {
 public:
  static constexpr std::size_t kMaxKept = 1000;

  void slotWithoutName(const SlotPlace& place);
  void checkAmounts(const SlotPlace& place, const rows::PaymentRow& row);
  void repeatedRow(const SlotPlace& place, const rows::PaymentRow& row, std::uint32_t firstPage);

  // Hands every finding to `sink`, the counted ones as findings of their kind without a text.
  void tell(rows::FindingSink& sink);

 private:
  void add(rows::Finding::Kind kind, const SlotPlace& place, std::size_t cell, std::string text);

  std::vector<rows::Finding> kept_;
  std::map<rows::Finding::Kind, std::size_t> seen_;
};

}  // namespace kvd507::declaration
