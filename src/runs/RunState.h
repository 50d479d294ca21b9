#pragma once

namespace kvd507::runs {

// Whether a run that has read the workbook goes on to write the declaration.
enum class WriteMode {
  Always,
  UnlessDataLost,    // not when data was counted as 0, dropped or not read, or no payer chosen
  UnlessAnyFinding,  // not when anything at all was found
  Never,             // only read and report
};

}  // namespace kvd507::runs
