#include "intake/RowChecks.h"

#include <optional>

#include "intake/RecipientChecks.h"
#include "rows/Amount.h"
#include "rows/Text.h"
#include "spreadsheet/WorkbookError.h"

namespace kvd507::intake {
namespace {

constexpr std::uint32_t kGroupCount = 4;

using rows::Finding;

class RowFindings {
 public:
  RowFindings(const SheetLayout& layout, std::uint32_t row, rows::FindingSink& sink)
      : layout_(layout), row_(row), sink_(sink) {}

  void add(Finding::Kind kind, std::string column, std::string text) {
    sink_.add({kind, std::string(layout_.name), row_, std::move(column), std::move(text)});
  }

 private:
  const SheetLayout& layout_;
  std::uint32_t row_;
  rows::FindingSink& sink_;
};

// A cell's text in quotes, cut short when it is too long to read in one line.
std::string quoted(const std::string& text) {
  constexpr std::size_t kShown = 40;
  if (rows::characterCount(text) <= kShown) return "\"" + text + "\"";
  return "\"" + std::string(rows::firstCharacters(text, kShown)) + "…\"";
}

std::uint32_t amountColumn(const SheetLayout& layout, std::uint32_t group) {
  return layout.firstGroupColumn + 2 * group;
}

bool holdsValues(const SheetLayout& layout, const RowCells& cells) {
  for (std::uint32_t column = 3; column <= layout.lastColumn() && column < cells.size(); ++column) {
    if (cells[column].holdsValue()) return true;
  }
  return false;
}

// The rounded amount of a filled amount cell, or nothing (told to `findings`) when the text is
// no number or too large and counts as 0.
std::optional<double> amountOf(const RowCells& cells, std::uint32_t column, char decimalSeparator,
                               RowFindings& findings) {
  const CellRead& cell = cells[column];
  if (!cell.amount) {
    if (!cell.text.empty()) {
      findings.add(Finding::Kind::NotANumber, columnName(column),
                   quoted(cell.text) + " nėra skaičius, suma laikoma 0");
    }
    return std::nullopt;
  }
  if (rows::isTooLarge(*cell.amount)) {
    findings.add(Finding::Kind::AmountTooLarge, columnName(column),
                 "suma " +
                     (cell.text.empty() ? rows::formatAmount(*cell.amount, decimalSeparator)
                                        : quoted(cell.text)) +
                     " per didelė (10^15 ar daugiau), laikoma 0");
    return std::nullopt;
  }
  return rows::roundAmount(2, *cell.amount);
}

std::string amountColumnList(const SheetLayout& layout) {
  std::string list;
  for (std::uint32_t g = 0; g < kGroupCount; ++g) {
    list += (g == 0 ? "" : ", ") + columnName(amountColumn(layout, g));
  }
  return list;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A code the form takes is two digits, once a one-digit code has got its "0" and a third
// character has been made the D mark.
bool isTwoDigits(const std::string& code) {
  return code.size() == 2 && isDigit(code[0]) && isDigit(code[1]);
}

void checkCode(const SheetLayout& layout, const RowCells& cells, const rows::PaymentRow& row,
               std::uint32_t group, RowFindings& findings) {
  const std::uint32_t codeColumn = amountColumn(layout, group) + 1;
  const std::string& code = row[rows::cell::kCode];
  const std::string& typed = cells[codeColumn].text;
  if (code.empty()) {
    findings.add(Finding::Kind::OddCode, columnName(codeColumn), "išmokos kodas tuščias");
  } else if (rows::characterCount(code) != 2) {
    findings.add(Finding::Kind::OddCode, columnName(codeColumn),
                 "išmokos kodas " + quoted(typed) + " nėra dviejų simbolių");
  } else if (!isTwoDigits(code)) {
    findings.add(
        Finding::Kind::OddCode, columnName(codeColumn),
        "išmokos kodas " + quoted(typed) + " nėra du skaitmenys (po jų gali būti raidė D)");
  }
}

// The rate is written as typed; a form that wants 15 must not get 0,15 or 150.
void checkRate(const SheetLayout& layout, const RowCells& cells, RowFindings& findings) {
  const std::uint32_t column = layout.columnTextColumn();
  const CellRead& cell = cells[column];
  if (cell.text.empty()) return;
  if (cell.percent) {
    findings.add(Finding::Kind::PercentRate, columnName(column),
                 "įrašyta " + cell.text + "; tarifas rašomas procentais (pvz., 15)");
  } else if (!cell.amount) {
    findings.add(Finding::Kind::OddRate, columnName(column),
                 "tarifas " + quoted(cell.text) + " nėra skaičius");
  } else if (*cell.amount < 0 || *cell.amount > 100) {
    findings.add(Finding::Kind::OddRate, columnName(column),
                 "tarifas " + cell.text + " nėra nuo 0 iki 100");
  }
}

}  // namespace

void checkRow(const SheetLayout& layout, std::uint32_t rowNumber, const RowCells& cells,
              const rows::PaymentRow& row, char decimalSeparator, rows::FindingSink& sink) {
  RowFindings findings(layout, rowNumber, sink);
  if (cells[2].text.empty()) {
    if (holdsValues(layout, cells)) {
      findings.add(Finding::Kind::RowWithoutText, "B",
                   "tuščias, nors kituose stulpeliuose yra duomenų (gal sujungti langeliai?); "
                   "eilutė praleista");
    }
    return;
  }

  if (row[rows::cell::kIdentifier].empty()) {
    const std::uint32_t first = layout.firstIdentifierColumn;
    findings.add(Finding::Kind::NoIdentifier,
                 columnName(first) + "–" + columnName(first + layout.identifierCount - 1),
                 "nenurodytas identifikatorius");
  }
  checkRecipient(layout, rowNumber, cells, sink);

  std::optional<std::uint32_t> used;
  for (std::uint32_t g = 0; g < kGroupCount; ++g) {
    const std::uint32_t column = amountColumn(layout, g);
    const std::optional<double> amount = amountOf(cells, column, decimalSeparator, findings);
    if (!amount) continue;
    // Printed only for a finding: most rows have none.
    const auto shown = [&] { return rows::formatAmount(*amount, decimalSeparator); };
    if (*amount < 0) {
      findings.add(Finding::Kind::NegativeAmount, columnName(column),
                   "neigiama suma " + shown() + " nenaudojama");
    } else if (*amount > 0 && used) {
      findings.add(Finding::Kind::SeveralGroups, columnName(column),
                   "suma " + shown() + " nenaudojama: eilutėje naudojama tik pirmoji suma (" +
                       columnName(amountColumn(layout, *used)) + ")");
    } else if (*amount > 0) {
      used = g;
    }
  }

  if (used) checkCode(layout, cells, row, *used, findings);
  checkRate(layout, cells, findings);

  const std::uint32_t secondColumn = layout.secondAmountColumn();
  const std::optional<double> second = amountOf(cells, secondColumn, decimalSeparator, findings);
  if (!used) {
    if (second && *second != 0) {
      findings.add(Finding::Kind::SecondAmountUnused, columnName(secondColumn),
                   "suma " + rows::formatAmount(*second, decimalSeparator) +
                       " neįrašyta, nes eilutėje nėra sumos, didesnės už 0");
    }
    findings.add(
        Finding::Kind::NoAmount, {},
        "nėra sumos, didesnės už 0 (" + amountColumnList(layout) + "); eilutė įrašyta su suma 0");
  }
}

}  // namespace kvd507::intake
