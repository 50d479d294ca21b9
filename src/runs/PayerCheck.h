#pragma once

#include <optional>
#include <string_view>

#include "rows/Finding.h"
#include "rows/Identifiers.h"

namespace kvd507::runs {

// The payer's personal code follows the same rule as a recipient's.
using rows::personalCodeCheckDigitHolds;

// What looks wrong about the payer code the declaration will carry: none chosen (the not-set
// value "lb_kodas"), neither 9 digits (a company) nor 11 (a person), or an 11-digit code whose
// check digit does not hold.
std::optional<rows::Finding> checkPayerCode(std::string_view code);

}  // namespace kvd507::runs
