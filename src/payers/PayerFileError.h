#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "files/FileError.h"
#include "payers/PayerLine.h"

namespace kvd507::payers {

// The payer list cannot be read or written; the message names the file and the cause.
class PayerFileError : public files::FileError {
 public:
  using FileError::FileError;
};

// An empty line in the payer list: loading stops there. The payers above it were loaded and
// travel with the error, so that a caller can still offer them, as the selector always has.
// The cause is the text users of the payer list know from this case: "List index out of
// bounds (0)".
class EmptyPayerLineError : public PayerFileError {
 public:
  EmptyPayerLineError(std::string file, std::size_t line, std::vector<Payer> payersBefore)
      : PayerFileError(std::move(file), "List index out of bounds (0)"),
        line_(line),
        payersBefore_(std::move(payersBefore)) {}

  // 0-based index of the empty line, which is also the number of payers before it.
  std::size_t line() const { return line_; }
  const std::vector<Payer>& payersBefore() const { return payersBefore_; }

 private:
  std::size_t line_;
  std::vector<Payer> payersBefore_;
};

}  // namespace kvd507::payers
