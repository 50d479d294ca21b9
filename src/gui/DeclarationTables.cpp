#include "gui/DeclarationTables.h"

#include <string>

#include "rows/Amount.h"

namespace kvd507::gui {
namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

void sheetTotals(const runs::SheetSummary& sheet, char separator, std::vector<QString>& lines) {
  lines.push_back(q(sheet.sheet + ": eilučių " + std::to_string(sheet.rowsWritten) + ", puslapių " +
                    std::to_string(sheet.pages) + "; Išmokos suma: " +
                    rows::formatAmount(sheet.amount, separator) + "; Išskaičiuota mokesčio suma: " +
                    rows::formatAmount(sheet.secondAmount, separator)));
  for (const runs::SheetSummary::CodeTotal& total : sheet.byCode) {
    const std::string which = runs::codeLabel(total);
    lines.push_back(q("    " + which + ": eilučių " + std::to_string(total.rows) +
                      "; Išmokos suma: " + rows::formatAmount(total.amount, separator)));
  }
}

}  // namespace

std::vector<QString> totalsLines(const runs::DeclarationContent& content, char decimalSeparator) {
  std::vector<QString> lines;
  sheetTotals(content.summary.l, decimalSeparator, lines);
  sheetTotals(content.summary.u, decimalSeparator, lines);
  return lines;
}

std::vector<QString> findingLines(const runs::DeclarationContent& content) {
  std::vector<QString> lines;
  for (const rows::Finding& finding : content.findings) lines.push_back(q(finding.describe()));
  if (lines.empty()) lines.emplace_back("Pastabų nėra.");
  return lines;
}

}  // namespace kvd507::gui
