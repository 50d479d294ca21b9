#include "cli/ReportPrinter.h"

#include <string>

#include "errors/Error.h"

namespace kvd507::cli {

void printSummary(const runs::RunReport& report, char decimalSeparator, std::ostream& out) {
  for (const std::string& line : runs::describeSummary(report.summary, decimalSeparator)) {
    out << line << '\n';
  }
}

void printFindings(const runs::RunReport& report, std::ostream& err) {
  for (const rows::Finding& finding : report.findings) {
    // A cell's text may hold line breaks or tabs; each finding must stay one line.
    err << "kvd507: pastaba: " << oneLine(finding.describe()) << '\n';
  }
}

}  // namespace kvd507::cli
