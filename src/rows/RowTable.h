#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "rows/ChunkedVector.h"
#include "rows/KeyIndex.h"
#include "rows/PaymentRow.h"

namespace kvd507::rows {

// What parseAmount reads from a row's amount and second amount.
using AmountValues = std::array<double, 2>;

// The rows of one appendix, in the order they were added. Once added, a row changes only by
// having another row's amounts merged into it.
//
// The text a table holds is bounded: a workbook can repeat one long shared string in every
// cell of thousands of rows, and a declaration can carry one long value over to every row
// after it, each from a file of a few kilobytes. Real declarations stay far below the bound.
class RowTable {
 public:
  static constexpr std::size_t kDefaultTextLimit = std::size_t{64} << 20;

  RowTable() : RowTable(kDefaultTextLimit) {}
  explicit RowTable(std::size_t textLimit) : textLimit_(textLimit) {}

  void clear();
  // Throws Error (ErrorKind::kTooMuchText, with the limit) when the row would bring the text
  // held past the limit; the table stays as it was. Tells the first earlier row with the same
  // merge key, if there is one: only rows taken over from a declaration are appended without
  // merging, and such a row never receives amounts (see merge()).
  std::optional<std::size_t> append(PaymentRow row);

  // Throws as append() does when text of this size could not be added; changes nothing.
  void reserveText(std::size_t size) const;
  // Appends every row of `other`, in order, leaving it empty. Throws as append() does, before
  // anything is moved, when the rows would not fit.
  void appendAll(RowTable&& other);

  // Adds the new row's amount and second amount into the first row whose merge key
  // (identifier, text, letter, code, N and D marks) equals its own, and tells whether there was
  // one. A key held by several rows (a declaration may hold one twice) gets the amounts once.
  // Sums are printed with `decimalSeparator`.
  bool merge(const PaymentRow& row, char decimalSeparator);
  // merge(), and append() when no row has the key: what a sheet reader does with each row.
  // Tells whether the row was merged.
  bool mergeOrAppend(PaymentRow&& row, char decimalSeparator);
  // The same, for a caller that printed the row's amounts and knows what they read as:
  // `values` must be what countedAmount reads from them.
  bool mergeOrAppend(PaymentRow&& row, const AmountValues& values, char decimalSeparator);

  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }
  // Bytes of text in all cells of all rows.
  std::size_t textSize() const { return textSize_; }
  const PaymentRow& operator[](std::size_t index) const { return rows_[index]; }
  // What countedAmount reads from the amount and the second amount of the row at `index`.
  double amountValue(std::size_t index) const { return amounts_[index][0]; }
  double secondAmountValue(std::size_t index) const { return amounts_[index][1]; }
  using Rows = ChunkedVector<PaymentRow, 512>;
  Rows::const_iterator begin() const { return rows_.begin(); }
  Rows::const_iterator end() const { return rows_.end(); }

 private:
  static std::size_t keyHash(const PaymentRow& row);
  static bool sameKey(const PaymentRow& a, const PaymentRow& b);
  void setCell(PaymentRow& row, std::size_t cell, std::string text);
  static AmountValues valuesOf(const PaymentRow& row);
  // Tells the first earlier row with the row's key, unless the caller knows there is none.
  std::optional<std::size_t> add(PaymentRow&& row, const AmountValues& values, std::size_t size,
                                 std::size_t hash, bool keyIsNew = false);
  std::optional<std::size_t> firstWithKey(std::size_t hash, const PaymentRow& row) const;
  bool mergeInto(std::size_t hash, const PaymentRow& row, const AmountValues& values,
                 char decimalSeparator);

  Rows rows_;
  // What the amount cells of each row read as, so that merging never reads a sum back from
  // the text it printed.
  std::vector<AmountValues> amounts_;
  // Rows by the hash of their merge key, so that keys are never copied: a key can be as long
  // as the row's text. Rows taken over from a declaration may share a key, and different keys
  // may share a hash, so a hash can name several rows: the index gives the latest of them and
  // sameHashBefore_ (one entry per row) the one before it, kNoRow ending the chain. No list is
  // allocated per key. Only the first row of each key is in a chain, so that a declaration
  // holding one key a hundred thousand times costs a merge no more than one holding it once.
  static constexpr std::size_t kNoRow = KeyIndex::kNone;
  KeyIndex byKeyHash_;
  std::vector<std::size_t> sameHashBefore_;
  std::size_t textLimit_;
  std::size_t textSize_ = 0;
};

}  // namespace kvd507::rows
