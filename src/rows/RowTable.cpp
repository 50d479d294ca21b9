#include "rows/RowTable.h"

#include <array>
#include <functional>
#include <string_view>
#include <utility>

#include "errors/Error.h"
#include "rows/Amount.h"

namespace kvd507::rows {
namespace {

constexpr std::array<std::size_t, 6> kKeyCells{cell::kIdentifier, cell::kText,  cell::kLetter,
                                               cell::kCode,       cell::kNMark, cell::kDMark};

std::size_t textOf(const PaymentRow& row) {
  std::size_t size = 0;
  for (const std::string& text : row) size += text.size();
  return size;
}

}  // namespace

std::size_t RowTable::keyHash(const PaymentRow& row) {
  std::size_t hash = 0;
  for (const std::size_t c : kKeyCells) {
    // Each cell's own hash mixed in turn, so that texts running together ("1" "0" against
    // "10" "") hash apart as a rule; equal hashes are compared cell by cell anyway.
    hash ^=
        std::hash<std::string_view>{}(row[c]) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
  }
  return hash;
}

bool RowTable::sameKey(const PaymentRow& a, const PaymentRow& b) {
  for (const std::size_t c : kKeyCells) {
    if (a[c] != b[c]) return false;
  }
  return true;
}

void RowTable::clear() {
  rows_.clear();
  amounts_.clear();
  byKeyHash_.clear();
  sameHashBefore_.clear();
  textSize_ = 0;
}

void RowTable::reserveText(std::size_t size) const {
  if (size > textLimit_ - textSize_) {
    throw Error(ErrorKind::kTooMuchText, {},
                "the rows would hold over " + std::to_string(textLimit_) + " bytes of text",
                textLimit_);
  }
}

AmountValues RowTable::valuesOf(const PaymentRow& row) {
  return {countedAmount(row[cell::kAmount]), countedAmount(row[cell::kSecondAmount])};
}

std::optional<std::size_t> RowTable::firstWithKey(std::size_t hash, const PaymentRow& row) const {
  for (std::size_t index = byKeyHash_.find(hash); index != kNoRow; index = sameHashBefore_[index]) {
    if (sameKey(rows_[index], row)) return index;
  }
  return std::nullopt;
}

std::optional<std::size_t> RowTable::add(PaymentRow&& row, const AmountValues& values,
                                         std::size_t size, std::size_t hash, bool keyIsNew) {
  const std::optional<std::size_t> first = keyIsNew ? std::nullopt : firstWithKey(hash, row);
  // A later row with a key already held stays out of the chains: merges go to the first.
  sameHashBefore_.push_back(first ? kNoRow : byKeyHash_.add(hash, rows_.size()));
  amounts_.push_back(values);
  rows_.push_back(std::move(row));
  textSize_ += size;
  return first;
}

std::optional<std::size_t> RowTable::append(PaymentRow row) {
  const std::size_t size = textOf(row);
  reserveText(size);
  const std::size_t hash = keyHash(row);
  const AmountValues values = valuesOf(row);
  return add(std::move(row), values, size, hash);
}

void RowTable::appendAll(RowTable&& other) {
  reserveText(other.textSize_);
  amounts_.reserve(rows_.size() + other.rows_.size());
  sameHashBefore_.reserve(rows_.size() + other.rows_.size());
  for (std::size_t index = 0; index < other.rows_.size(); ++index) {
    PaymentRow& row = other.rows_[index];
    const std::size_t size = textOf(row);
    const std::size_t hash = keyHash(row);
    add(std::move(row), other.amounts_[index], size, hash);
  }
  other.clear();
}

void RowTable::setCell(PaymentRow& row, std::size_t cell, std::string text) {
  textSize_ = textSize_ - row[cell].size() + text.size();
  row[cell] = std::move(text);
}

bool RowTable::merge(const PaymentRow& row, char decimalSeparator) {
  return mergeInto(keyHash(row), row, valuesOf(row), decimalSeparator);
}

bool RowTable::mergeOrAppend(PaymentRow&& row, char decimalSeparator) {
  const AmountValues values = valuesOf(row);
  return mergeOrAppend(std::move(row), values, decimalSeparator);
}

bool RowTable::mergeOrAppend(PaymentRow&& row, const AmountValues& values, char decimalSeparator) {
  const std::size_t hash = keyHash(row);
  if (mergeInto(hash, row, values, decimalSeparator)) return true;
  const std::size_t size = textOf(row);
  reserveText(size);
  add(std::move(row), values, size, hash, true);
  return false;
}

bool RowTable::mergeInto(std::size_t hash, const PaymentRow& row, const AmountValues& values,
                         char decimalSeparator) {
  const std::optional<std::size_t> index = firstWithKey(hash, row);
  if (!index) return false;
  PaymentRow& target = rows_[*index];
  // Each sum is printed, and goes on as what its text reads: sums have always been kept as
  // text. They are a few characters long; they are counted but never refused.
  AmountValues& sums = amounts_[*index];
  PrintedAmount sum = printAmount(sums[0] + values[0], decimalSeparator);
  setCell(target, cell::kAmount, std::move(sum.text));
  sums[0] = sum.value;
  PrintedAmount secondSum = printAmount(sums[1] + values[1], decimalSeparator);
  setCell(target, cell::kSecondAmount, std::move(secondSum.text));
  sums[1] = secondSum.value;
  return true;
}

}  // namespace kvd507::rows
