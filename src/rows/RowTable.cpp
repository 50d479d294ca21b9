#include "rows/RowTable.h"

#include <utility>

#include "rows/Amount.h"

namespace kvd507::rows {

std::string RowTable::mergeKey(const TEilute& row) {
  // Length-prefixed, so that no choice of cell texts can make two different keys collide.
  std::string key;
  for (std::size_t c :
       {cell::kIdentifier, cell::kText, cell::kLetter, cell::kCode, cell::kNMark, cell::kDMark}) {
    key += std::to_string(row[c].size());
    key += ':';
    key += row[c];
  }
  return key;
}

void RowTable::clear() {
  rows_.clear();
  byKey_.clear();
}

void RowTable::append(TEilute row) {
  byKey_[mergeKey(row)].push_back(rows_.size());
  rows_.push_back(std::move(row));
}

bool RowTable::merge(const TEilute& row, char decimalSeparator) {
  const auto found = byKey_.find(mergeKey(row));
  if (found == byKey_.end()) return false;
  const double amount = parseAmount(row[cell::kAmount]);
  const double secondAmount = parseAmount(row[cell::kSecondAmount]);
  for (std::size_t index : found->second) {
    TEilute& target = rows_[index];
    target[cell::kAmount] =
        formatAmount(parseAmount(target[cell::kAmount]) + amount, decimalSeparator);
    target[cell::kSecondAmount] =
        formatAmount(parseAmount(target[cell::kSecondAmount]) + secondAmount, decimalSeparator);
  }
  return true;
}

}  // namespace kvd507::rows
