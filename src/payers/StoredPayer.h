#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "payers/PayerLine.h"

namespace kvd507::payers {

// The code shown for a payer whose line has none: the field's own not-set marker.
inline constexpr const char* kNoPayerCode = "lb_kodas";

struct SelectedPayer {
  std::string name;
  std::string code;  // kNoPayerCode when the payer's line has no code

  bool operator==(const SelectedPayer&) const = default;
};

// The payer at a position counted from 0; none when the position names no payer (-1 included).
std::optional<SelectedPayer> payerAt(const std::vector<Payer>& payers, int position);

// The payer that the main window selects at start before the user does anything: the stored
// position applied to the payer list in the program folder as it is now. None when the list is
// missing or the position names none of its payers; the caller then keeps kNoPayerCode and an
// empty name. Failures to read either file are thrown.
std::optional<SelectedPayer> storedPayer(const std::filesystem::path& programFolder);

}  // namespace kvd507::payers
