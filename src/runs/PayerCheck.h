#pragma once

#include <optional>
#include <string_view>

#include "rows/Finding.h"

namespace kvd507::runs {

// True when the last digit of an 11-digit personal code is the check digit the public rule
// gives: the first ten digits weighted 1..9,1, modulo 11; a remainder of 10 is tried again
// with weights 3..9,1,2,3, and a second 10 means 0.
bool personalCodeCheckDigitHolds(std::string_view code);

// What looks wrong about the payer code the declaration will carry: none chosen (the not-set
// value "lb_kodas"), neither 9 digits (a company) nor 11 (a person), or an 11-digit code whose
// check digit does not hold.
std::optional<rows::Finding> checkPayerCode(std::string_view code);

}  // namespace kvd507::runs
