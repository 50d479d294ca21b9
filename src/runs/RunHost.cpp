#include "runs/RunHost.h"

#include <string>

namespace kvd507::runs {

void RunHost::showReport(const RunReport& report) {
  // All stops in one message, one line each, so that a run with two stops asks for one click.
  std::string text;
  for (const rows::Finding& finding : report.findings) {
    if (finding.kind != rows::Finding::Kind::ReadStopped) continue;
    if (!text.empty()) text += '\n';
    text += finding.describe();
  }
  if (!text.empty()) showWarning(text);
}

}  // namespace kvd507::runs
