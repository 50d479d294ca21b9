#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::intake {

// Names in `present` that look like `wanted` typed differently or renamed ("KVD507 L (2023)",
// "kvd507l"), leaving out the names in `taken`, which some reader reads already.
std::vector<std::string> closeSheetNames(std::string_view wanted,
                                         const std::vector<std::string>& present,
                                         const std::vector<std::string_view>& taken);

// The finding for a worksheet the workbook does not have: it names the sheets it does have and
// those whose name is close to the one wanted.
rows::Finding missingSheetFinding(std::string_view wanted, const std::vector<std::string>& present,
                                  const std::vector<std::string_view>& taken);

}  // namespace kvd507::intake
