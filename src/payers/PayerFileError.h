#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "errors/Error.h"
#include "payers/PayerLine.h"

namespace kvd507::payers {

// The payer list cannot be read or written.
class PayerFileError : public Error {
 public:
  using Error::Error;
  explicit PayerFileError(const Error& error) : Error(error) {}
};

// An empty line in the payer list: loading stops there. The payers above it were loaded and
// travel with the error, so that a caller can still offer them, as the selector always has.
// The detail is the text users of the payer list know from this case: "List index out of
// bounds (0)".
class EmptyPayerLineError : public PayerFileError {
 public:
  EmptyPayerLineError(std::string file, std::size_t line, std::vector<Payer> payersBefore)
      : PayerFileError(ErrorKind::kEmptyPayerLine,
                       {std::move(file), {}, static_cast<std::uint32_t>(line + 1)},
                       "List index out of bounds (0)"),
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
