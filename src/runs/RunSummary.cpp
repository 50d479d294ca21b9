#include "runs/RunSummary.h"

#include <map>
#include <string_view>
#include <utility>

#include "rows/Amount.h"

namespace kvd507::runs {
namespace {

std::string count(std::size_t n) {
  return std::to_string(n);
}

void describeSheet(const SheetSummary& sheet, char separator, std::vector<std::string>& lines) {
  const std::string name = sheet.sheet + ": ";
  std::string rows;
  if (sheet.existingRows != 0)
    rows = "iš esamos formos eilučių: " + count(sheet.existingRows) + "; ";
  rows += "iš darbaknygės perskaityta eilučių: " + count(sheet.rowsRead) +
          "; sujungta su ankstesnėmis: " + count(sheet.rowsMerged) +
          "; formoje eilučių: " + count(sheet.rowsWritten) + "; puslapių: " + count(sheet.pages);
  lines.push_back(name + rows);
  if (sheet.rowsWritten == 0) return;
  lines.push_back(
      name + "Išmokos suma: " + rows::formatAmount(sheet.amount, separator) +
      "; Išskaičiuota mokesčio suma: " + rows::formatAmount(sheet.secondAmount, separator));
  for (const SheetSummary::CodeTotal& total : sheet.byCode) {
    lines.push_back(name + codeLabel(total) + ": eilučių: " + count(total.rows) +
                    "; Išmokos suma: " + rows::formatAmount(total.amount, separator));
  }
}

}  // namespace

std::string codeLabel(const SheetSummary::CodeTotal& total) {
  // A row without a payment code still has its letter: "A be kodo".
  if (total.code.empty()) return total.letter.empty() ? "be kodo" : total.letter + " be kodo";
  return total.letter + " " + total.code;
}

SheetSummary summariseTable(std::string sheet, const rows::RowTable& table,
                            std::size_t rowsPerPage) {
  SheetSummary summary;
  summary.sheet = std::move(sheet);
  summary.rowsWritten = table.size();
  summary.pages = (table.size() + rowsPerPage - 1) / rowsPerPage;
  // Keyed by views of the table's cells, which outlive this map: no key is copied per row.
  std::map<std::pair<std::string_view, std::string_view>, SheetSummary::CodeTotal> byCode;
  for (std::size_t index = 0; index < table.size(); ++index) {
    const rows::PaymentRow& row = table[index];
    const double amount = table.amountValue(index);
    summary.amount += amount;
    summary.secondAmount += table.secondAmountValue(index);
    const std::string& letter = row[rows::cell::kLetter];
    const std::string& code = row[rows::cell::kCode];
    const auto [slot, isNew] = byCode.try_emplace({letter, code});
    SheetSummary::CodeTotal& total = slot->second;
    if (isNew) {
      total.letter = letter;
      total.code = code;
    }
    ++total.rows;
    total.amount += amount;
  }
  for (auto& [key, total] : byCode) summary.byCode.push_back(std::move(total));
  return summary;
}

std::vector<std::string> describeSummary(const RunSummary& summary, char decimalSeparator) {
  std::vector<std::string> lines;
  describeSheet(summary.l, decimalSeparator, lines);
  describeSheet(summary.u, decimalSeparator, lines);
  if (summary.amountsNotCounted != 0) {
    lines.push_back("Neįskaičiuota sumų (ne skaičius arba per didelė, laikyta 0): " +
                    count(summary.amountsNotCounted) + "; žr. pastabas");
  }
  lines.push_back("L įrašų: " + count(summary.l.rowsWritten) +
                  ", U įrašų: " + count(summary.u.rowsWritten) +
                  ", puslapių: " + count(summary.pages()) + " (pagrindinis, " +
                  count(summary.l.pages) + " L, " + count(summary.u.pages) + " U)");
  return lines;
}

std::string writtenStatus(const std::filesystem::path& file, const RunSummary& summary) {
  return "Forma įrašyta: " + file.string() + " (L įrašų: " + count(summary.l.rowsWritten) +
         ", U įrašų: " + count(summary.u.rowsWritten) + ", puslapių: " + count(summary.pages()) +
         ")";
}

}  // namespace kvd507::runs
