#include "gui/DeclarationTables.h"

#include <string>

#include "declaration/XmlText.h"
#include "rows/Amount.h"

namespace kvd507::gui {
namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

// The table's field for every cell the reading keeps: L1..L10; U1..U10 and U12..U15.
std::vector<int> fieldNumbers(bool u) {
  std::vector<int> numbers;
  for (int n = 1; n <= 10; ++n) numbers.push_back(n);
  if (u) {
    for (int n = 12; n <= 15; ++n) numbers.push_back(n);
  }
  return numbers;
}

QString fieldTitle(const QString& field, int number) {
  switch (number) {
    case 3:
      return field + "\nGavėjas";
    case 5:
      return field + "\nIšmokos kodas";
    case 8:
      return field + "\nIšmokos suma";
    case 10:
      return field + "\nIšskaičiuota mokesčio suma";
    default:
      return field;
  }
}

AppendixTable appendix(const runs::DeclarationContent& content, bool u) {
  AppendixTable table;
  const QString letter = u ? "U" : "L";
  table.title = "KVD507" + letter;
  table.headers << "Puslapis"
                << "Vieta";
  table.shortHeaders << "Psl."
                     << "Vt.";
  table.rightAligned = {true, true};
  table.widths = {4, 4};
  const std::vector<int> numbers = fieldNumbers(u);
  for (const int number : numbers) {
    const QString field = letter + QString::number(number);
    table.headers << fieldTitle(field, number);
    table.shortHeaders << field;
    table.rightAligned.push_back(number == 8 || number == 10);
    table.widths.push_back(number == 3                   ? 22
                           : number == 1                 ? 11
                           : number == 8 || number == 10 ? 9
                                                         : 5);
  }
  const rows::RowTable& rows = u ? content.uRows : content.lRows;
  for (std::size_t index = 0; index < rows.size(); ++index) {
    const runs::RowPlace place =
        u ? runs::uRowPlace(index, content.lRows.size()) : runs::lRowPlace(index);
    QStringList line{QString::number(place.page), QString::number(place.slot)};
    const rows::TEilute& row = rows[index];
    for (std::size_t cell = 0; cell < numbers.size(); ++cell) {
      // The name as the form shows it, its references decoded.
      line << q(cell == rows::cell::kText ? declaration::decodeXmlText(row[cell]) : row[cell]);
    }
    table.rows.push_back(line);
  }
  return table;
}

void sheetTotals(const runs::SheetSummary& sheet, char separator, std::vector<QString>& lines) {
  lines.push_back(q(sheet.sheet + ": eilučių " + std::to_string(sheet.rowsWritten) + ", puslapių " +
                    std::to_string(sheet.pages) + "; Išmokos suma: " +
                    rows::formatAmount(sheet.amount, separator) + "; Išskaičiuota mokesčio suma: " +
                    rows::formatAmount(sheet.secondAmount, separator)));
  for (const runs::SheetSummary::CodeTotal& total : sheet.byCode) {
    const std::string which = total.letter.empty() && total.code.empty()
                                  ? std::string("be kodo")
                                  : total.letter + " " + total.code;
    lines.push_back(q("    " + which + ": eilučių " + std::to_string(total.rows) +
                      "; Išmokos suma: " + rows::formatAmount(total.amount, separator)));
  }
}

}  // namespace

AppendixTable lAppendix(const runs::DeclarationContent& content) {
  return appendix(content, false);
}

AppendixTable uAppendix(const runs::DeclarationContent& content) {
  return appendix(content, true);
}

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
