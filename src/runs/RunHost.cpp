#include "runs/RunHost.h"

namespace kvd507::runs {

void RunHost::showReport(const RunReport& report) {
  for (const rows::Finding& finding : report.findings) {
    if (finding.kind == rows::Finding::Kind::ReadStopped) showWarning(finding.describe());
  }
}

}  // namespace kvd507::runs
