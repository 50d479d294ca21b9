#pragma once

#include <cstdint>

#include "intake/RowChecks.h"
#include "intake/SheetLayout.h"
#include "rows/Finding.h"

namespace kvd507::intake {

// Tells `findings` what a reviewer would send back about a row's recipient: a personal code
// ("Asmens kodas") that is not 11 digits, starts with other than 1 to 6, holds no real date of
// birth or fails its check digit; a company code ("Įmonės kodas") that is not 9 digits; a date
// of birth ("Gimimo data") that is no date, is still to come or is before 1900; and more than
// one identification column filled, of which only the first is used. The other identification
// columns (taxpayer codes, a document number) have no rule to check.
void checkRecipient(const SheetLayout& layout, std::uint32_t rowNumber, const RowCells& cells,
                    rows::FindingSink& findings);

}  // namespace kvd507::intake
