#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::intake {

// The finding of a sheet whose reading stopped at a cell without text, such as one holding the
// error value #N/A: where (`column` 0 when no one cell is to blame), why, and what the cell holds
// instead (`detail`, may be empty). The rows below it are not read.
rows::Finding readStopFinding(std::string sheet, std::uint32_t row, std::uint32_t column,
                              const std::string& cause, const std::string& detail);

// What such a finding says as a warning of its own, for a caller that lists the rows read and
// tells of no other finding: "skaitymas sustojo: ", the place, the cause and the cell's value.
std::string readStopWarning(const rows::Finding& stop);

// Keeps the findings of sheets whose reading stopped, and no other.
class ReadStops : public rows::FindingSink {
 public:
  void add(rows::Finding finding) override;
  void rowTaken(std::string_view, bool) override {}

  const std::vector<rows::Finding>& stops() const { return stops_; }

 private:
  std::vector<rows::Finding> stops_;
};

}  // namespace kvd507::intake
