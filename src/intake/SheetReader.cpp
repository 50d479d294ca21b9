#include "intake/SheetReader.h"

#include <array>

#include "intake/MissingSheet.h"
#include "intake/NumberAmount.h"
#include "intake/ReadStops.h"
#include "intake/RowChecks.h"
#include "intake/RowsBelowEnd.h"
#include "rows/Amount.h"
#include "rows/NumberedText.h"
#include "rows/Text.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/SheetBounds.h"
#include "spreadsheet/WorkbookError.h"

namespace kvd507::intake {
namespace {

constexpr std::uint32_t kEmptyRowsThatEndData = 10;
constexpr std::uint32_t kTextColumn = 2;

struct Group {
  const char* letter;
  const char* nMark;
};
// Tried in this order; the first whose rounded amount is above 0 is the row's.
constexpr std::array<Group, 4> kGroups{{{"A", ""}, {"B", ""}, {"A", "N"}, {"B", "N"}}};

// Reads the cells of one row after another and keeps what it read of the row, for the checks
// that follow. Its buffers serve every row of the sheet, so that reading a cell makes no string.
class RowReader {
 public:
  RowReader(spreadsheet::Sheet& sheet, std::uint32_t lastColumn, char decimalSeparator)
      : sheet_(sheet), separator_(decimalSeparator), cells_(lastColumn + 1) {}

  // Forgets the row read before.
  void startRow(std::uint32_t row) {
    row_ = row;
    for (CellRead& cell : cells_) cell.clear();
  }

  const std::string& text(std::uint32_t column) {
    std::string& text = cells_[column].text;
    const std::string_view trimmed =
        rows::trim(sheet_.cellText(row_, column, separator_, scratch_));
    if (!trimmed.empty()) {  // an empty cell's text was cleared with the row
      text.assign(trimmed);
      rows::makeControlsSpaces(text);
    }
    return text;
  }
  // Column B: its text in capitals.
  const std::string& nameText(std::uint32_t column) {
    text(column);
    rows::makeUpperCase(cells_[column].text);
    return cells_[column].text;
  }
  // The amount rounded to cents; 0 for an empty cell, one that is no number or one too large.
  double amount(std::uint32_t column) {
    CellRead& cell = cells_[column];
    if (const std::optional<double> number = sheet_.cellNumber(row_, column)) {
      cell.amount = numberAsAmount(*number, separator_);
    }
    // Read from the text otherwise, and kept with it for the finding a number that reads as no
    // amount gets.
    if (!cell.amount) cell.amount = rows::readAmount(text(column));
    const double amount = cell.amount.value_or(0.0);
    return rows::isTooLarge(amount) ? 0.0 : rows::roundAmount(2, amount);
  }

  // The rate column: its text as any text column's, and for the checks what it reads as and
  // whether it is shown as a percentage. Only this column asks for the cell's format.
  const std::string& rate(std::uint32_t column) {
    const std::string& text = this->text(column);
    CellRead& cell = cells_[column];
    if (text.empty()) return text;
    if (const std::optional<double> number = sheet_.cellNumber(row_, column)) {
      cell.amount = *number;
      cell.percent = sheet_.cellIsPercent(row_, column);
    } else {
      cell.amount = rows::readAmount(text);
    }
    return text;
  }

  const RowCells& cells() const { return cells_; }

 private:
  spreadsheet::Sheet& sheet_;
  std::uint32_t row_ = 0;
  char separator_;
  RowCells cells_;
  std::string scratch_;
};

// A one-character code gets a leading "0"; a three-character code loses its third character,
// which marks the payment with "D".
void normaliseCode(std::string& code, std::string& dMark) {
  if (rows::characterCount(code) == 1) code.insert(0, "0");
  if (rows::characterCount(code) == 3) {
    code = std::string(rows::firstCharacters(code, 2));
    dMark = "D";
  }
}

// Also sets `values` to what the row's amount cells read as.
rows::PaymentRow readRow(RowReader& read, const SheetLayout& layout, std::string rowText,
                         char separator, rows::AmountValues& values) {
  rows::PaymentRow row;
  row[rows::cell::kText] = std::move(rowText);

  for (std::uint32_t i = 0; i < layout.extraCount; ++i) {
    row[rows::cell::kFirstExtra + i] = read.text(layout.firstExtraColumn + i);
  }
  for (std::uint32_t i = 0; i < layout.identifierCount; ++i) {
    const std::string& identifier = read.text(layout.firstIdentifierColumn + i);
    if (row[rows::cell::kIdentifier].empty() && !identifier.empty()) {
      row[rows::cell::kIdentifier] = identifier;
      row[rows::cell::kIdentifierKind] = std::to_string(i + 1);
    }
  }

  std::array<double, 4> amounts{};
  std::array<const std::string*, 4> codes{};  // kept by the reader until the next row
  for (std::size_t g = 0; g < kGroups.size(); ++g) {
    const std::uint32_t column = layout.firstGroupColumn + 2 * static_cast<std::uint32_t>(g);
    amounts[g] = read.amount(column);
    codes[g] = &read.text(column + 1);
  }
  const std::string& columnText = read.rate(layout.columnTextColumn());
  const double secondAmount = read.amount(layout.secondAmountColumn());

  if (columnText.empty()) {
    row[rows::cell::kColumnText] = "0";
  } else {
    row[rows::cell::kColumnText] = columnText;
  }
  row[rows::cell::kAmount] = "0";
  row[rows::cell::kSecondAmount] = "0";
  values = {0.0, 0.0};
  for (std::size_t g = 0; g < kGroups.size(); ++g) {
    if (!(amounts[g] > 0)) continue;
    std::string code = *codes[g];
    std::string dMark;
    normaliseCode(code, dMark);
    row[rows::cell::kLetter] = kGroups[g].letter;
    row[rows::cell::kCode] = std::move(code);
    row[rows::cell::kNMark] = kGroups[g].nMark;
    row[rows::cell::kDMark] = std::move(dMark);
    rows::PrintedAmount amount = rows::printAmount(amounts[g], separator);
    rows::PrintedAmount second = rows::printAmount(secondAmount, separator);
    row[rows::cell::kAmount] = std::move(amount.text);
    row[rows::cell::kSecondAmount] = std::move(second.text);
    values = {amount.value, second.value};
    break;
  }
  return row;
}

}  // namespace

void readSheet(spreadsheet::Workbook& workbook, const SheetLayout& layout, rows::RowTable& table,
               rows::StatusSink& status, char decimalSeparator, rows::FindingSink& findings) {
  if (!workbook.hasSheet(layout.name)) {
    findings.add(
        missingSheetFinding(layout.name, workbook.sheetNames(), {kLSheet.name, kUSheet.name}));
    return;
  }
  // Damage met on opening (shared strings, styles) names the sheet but no row.
  spreadsheet::Sheet sheet = workbook.sheet(layout.name, layout.lastColumn());
  RowReader read(sheet, layout.lastColumn(), decimalSeparator);
  rows::NumberedText statusText("Patikriname įrašus: ", "");
  std::uint32_t rowNumber = kFirstDataRow;
  try {
    std::uint32_t emptyRun = 0;
    bool end = false;
    while (!end) {
      status.setStatus(statusText(rowNumber - kFirstDataRow + 1));
      status.processPendingEvents();

      read.startRow(rowNumber);
      const std::string& text = read.nameText(kTextColumn);
      emptyRun = text.empty() ? emptyRun + 1 : 0;
      if (emptyRun == kEmptyRowsThatEndData) end = true;

      rows::AmountValues values{};
      rows::PaymentRow row =
          readRow(read, layout, rows::escapeName(text), decimalSeparator, values);
      checkRow(layout, rowNumber, read.cells(), row, decimalSeparator, findings);
      if (!text.empty()) {
        const bool merged = table.mergeOrAppend(std::move(row), values, decimalSeparator);
        findings.rowTaken(layout.name, merged);
      }
      ++rowNumber;
    }
    lookBelowEnd(sheet, layout, rowNumber, decimalSeparator, findings);
  } catch (const spreadsheet::CellError& e) {
    findings.add(readStopFinding(std::string(layout.name), e.row() != 0 ? e.row() : rowNumber,
                                 e.column(), reasonText(e.kind(), e.limit()), e.detail()));
  } catch (Error& e) {
    // Damage is no cell's fault: the file cannot be trusted past it, nor the rows read before.
    if (e.file().empty()) e.setFile(workbook.fileName());
    if (e.sheet().empty()) e.setSheet(std::string(layout.name));
    if (e.row() == 0 && !spreadsheet::isSheetWide(e.kind())) e.setRow(rowNumber);
    throw;
  }
}

}  // namespace kvd507::intake
