#pragma once

#include <algorithm>
#include <vector>

#include "rows/Finding.h"
#include "runs/RunState.h"
#include "runs/RunSummary.h"

namespace kvd507::runs {

// What a run tells beyond its own messages once it has read the workbook: what the declaration
// holds, and what was noticed on the way.
struct RunReport {
  RunSummary summary;
  std::vector<rows::Finding> findings;

  // Some data was counted as 0, dropped or not read.
  bool losesData() const {
    return std::any_of(findings.begin(), findings.end(),
                       [](const rows::Finding& f) { return rows::losesData(f.kind); });
  }
};

// Whether a run writing in `mode` refuses to write with what `report` found.
inline bool stopsWriting(WriteMode mode, const RunReport& report) {
  switch (mode) {
    case WriteMode::Always:
      return false;
    case WriteMode::UnlessDataLost:
      return report.losesData();
    case WriteMode::UnlessAnyFinding:
      return !report.findings.empty();
    case WriteMode::Never:
      return true;
  }
  return true;
}

}  // namespace kvd507::runs
