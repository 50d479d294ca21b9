#pragma once

#include <string>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::runs {

// The findings as a table to paste into a spreadsheet or a letter: a header line "Lapas",
// "Eilutė", "Stulpelis", "Pastaba", then one line per finding, the fields separated by TAB.
// TABs and line breaks inside a field become spaces, so that every finding stays one line.
std::string findingsAsTable(const std::vector<rows::Finding>& findings);

}  // namespace kvd507::runs
