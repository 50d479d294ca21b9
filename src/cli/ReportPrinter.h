#pragma once

#include <ostream>

#include "runs/RunReport.h"

namespace kvd507::cli {

// The run's summary, one line each.
void printSummary(const runs::RunReport& report, char decimalSeparator, std::ostream& out);

// The findings, one line each: "kvd507: pastaba: lapas "KVD507 L", eilutė 7, stulpelis H: ...".
void printFindings(const runs::RunReport& report, std::ostream& err);

}  // namespace kvd507::cli
