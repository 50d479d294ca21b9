#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::runs {

// How much a finding weighs for the user deciding whether to write: what concerns a whole sheet
// or the end of reading comes first, then what loses data, then the rest.
enum class FindingWeight {
  WholeSheet = 0,  // a sheet missing, reading stopped, filled rows below the end
  DataLost = 1,    // counted as 0, dropped or not read (what a strict run refuses)
  Other = 2,
};

FindingWeight findingWeight(rows::Finding::Kind kind);

// The findings of one kind, in the order noticed.
struct FindingGroup {
  rows::Finding::Kind kind = rows::Finding::Kind::NotANumber;
  FindingWeight weight = FindingWeight::Other;
  std::string title;      // what the kind means, in Lithuanian
  std::size_t count = 0;  // how many were found, those left out of `findings` included
  std::vector<rows::Finding> findings;
};

// The findings grouped by kind, heaviest first; groups of the same weight in the order their
// first finding was noticed.
std::vector<FindingGroup> groupFindings(const std::vector<rows::Finding>& findings);

// The title of a kind's group, in Lithuanian.
std::string findingTitle(rows::Finding::Kind kind);

// How many findings were made: those kept, and those counted in their place.
std::size_t countFindings(const std::vector<rows::Finding>& findings);

}  // namespace kvd507::runs
