#include "spreadsheet/Workbook.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "files/RegularFile.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/OdsSource.h"
#include "spreadsheet/ReadAheadRows.h"
#include "spreadsheet/RowSource.h"
#include "spreadsheet/SheetBounds.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/XlsSource.h"
#include "spreadsheet/XlsxSource.h"

namespace kvd507::spreadsheet {
namespace {

enum class FileKind { Zip, CompoundFile, Other };

FileKind sniff(const std::filesystem::path& file) {
  std::array<unsigned char, 8> head{};
  std::size_t got = 0;
  try {
    files::RegularFile in(file);
    got = in.readUpTo(head.data(), head.size());
  } catch (const Error& e) {
    throw WorkbookError(e);
  }
  static constexpr std::array<unsigned char, 4> kZip{'P', 'K', 3, 4};
  static constexpr std::array<unsigned char, 8> kCompound{0xD0, 0xCF, 0x11, 0xE0,
                                                          0xA1, 0xB1, 0x1A, 0xE1};
  if (got >= 4 && std::equal(kZip.begin(), kZip.end(), head.begin())) return FileKind::Zip;
  if (got == 8 && head == kCompound) return FileKind::CompoundFile;
  return FileKind::Other;
}

}  // namespace

Workbook Workbook::open(const std::filesystem::path& file) {
  std::shared_ptr<WorkbookSource> source;
  switch (sniff(file)) {
    case FileKind::Zip:
      // Both kinds are zip archives; an OpenDocument package says what it is in its first entry.
      source = isOpenDocumentFile(file) ? openOdsSource(file) : openXlsxSource(file);
      break;
    case FileKind::CompoundFile:
      // Encrypted .xlsx files are compound files too; the .xls reader tells them apart.
      source = openXlsSource(file);
      break;
    case FileKind::Other:
      throw WorkbookError(ErrorKind::kNotAWorkbook, {file.string()},
                          "not a workbook (neither .xlsx, .xls nor .ods)");
  }
  return {file.string(), std::move(source)};
}

Workbook Workbook::fromSource(std::string fileName, std::shared_ptr<WorkbookSource> source) {
  return {std::move(fileName), std::move(source)};
}

Workbook::Workbook(std::string fileName, std::shared_ptr<WorkbookSource> source)
    : fileName_(std::move(fileName)), source_(std::move(source)) {}
Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;
Workbook::~Workbook() = default;

bool Workbook::hasSheet(std::string_view name) const {
  return source_->findSheet(name).has_value();
}

const std::vector<std::string>& Workbook::sheetNames() const {
  return source_->sheetNames();
}

void Workbook::prepareSheet(std::string_view name, std::uint32_t maxColumn) {
  source_->prepareSheet(name, maxColumn);
}

Sheet Workbook::sheet(std::string_view name, std::uint32_t maxColumn, std::size_t textLimit) {
  std::unique_ptr<RowSource> rows;
  try {
    const auto index = source_->findSheet(name);
    if (!index) {
      throw WorkbookError(ErrorKind::kNoSuchSheet, {fileName_, std::string(name)},
                          "the workbook has no such worksheet");
    }
    rows = std::make_unique<ReadAheadRows>(source_->openSheet(*index, maxColumn));
  } catch (Error& e) {
    if (e.file().empty()) e.setFile(fileName_);
    if (e.sheet().empty()) e.setSheet(std::string(name));
    throw;
  }
  return {fileName_, std::string(name), source_, std::move(rows), maxColumn, textLimit};
}

Sheet::Sheet(std::string fileName, std::string name, std::shared_ptr<WorkbookSource> workbook,
             std::unique_ptr<RowSource> rows, std::uint32_t maxColumn, std::size_t textLimit)
    : fileName_(std::move(fileName)),
      name_(std::move(name)),
      workbook_(std::move(workbook)),
      rows_(std::move(rows)),
      maxColumn_(maxColumn),
      textLimit_(textLimit) {}
Sheet::Sheet(Sheet&&) noexcept = default;
Sheet& Sheet::operator=(Sheet&&) noexcept = default;
Sheet::~Sheet() {
  rows_.reset();  // before the workbook it reads from
}

const RawRow& Sheet::advanceTo(std::uint32_t number) {
  if (number < lastAsked_) throw std::logic_error("worksheet rows must be read from the top down");
  lastAsked_ = number;
  // A row that stands for several (RawRow::repeat) stays in hand until the last of them.
  while (!exhausted_ && current_.number + (current_.repeat - 1) < number) {
    try {
      currentText_.reset();
      if (!rows_->next(current_)) {
        exhausted_ = true;
        current_.cells.clear();
      }
    } catch (Error& e) {
      exhausted_ = true;
      // Give the damage the sheet's name and the row being looked for.
      if (e.file().empty()) e.setFile(fileName_);
      if (e.sheet().empty()) e.setSheet(name_);
      if (e.row() == 0 && !isSheetWide(e.kind())) e.setRow(number);
      throw;
    }
  }
  if (!current_.holds(number)) return empty_;
  countText(number);
  return current_;
}

void Sheet::countText(std::uint32_t number) {
  if (!currentText_) {
    std::size_t bytes = 0;
    const std::size_t columns = std::min<std::size_t>(current_.cells.size(), maxColumn_);
    for (std::size_t c = 0; c < columns; ++c) {
      const RawCell& cell = current_.cells[c];
      if (cell.kind == RawCell::Kind::Text) bytes += cell.textView().size();
    }
    currentText_ = bytes;
  }
  textHandedOn_ += *currentText_;
  if (textHandedOn_ > textLimit_) {
    exhausted_ = true;
    throw WorkbookError(ErrorKind::kSheetTooMuchText, {fileName_, name_, number},
                        "the sheet's cells hand on more than " + std::to_string(textLimit_) +
                            " bytes of text, repeated rows and shared strings counted each time",
                        textLimit_);
  }
}

const RawCell& Sheet::cell(std::uint32_t row, std::uint32_t column) {
  const RawRow& cells = this->row(row);
  if (column == 0 || column > maxColumn_ || column > cells.cells.size()) return emptyCell_;
  return cells.cells[column - 1];
}

std::string Sheet::cellText(std::uint32_t row, std::uint32_t column, char decimalSeparator) {
  std::string scratch;
  return std::string(cellText(row, column, decimalSeparator, scratch));
}

std::string_view Sheet::cellText(std::uint32_t row, std::uint32_t column, char decimalSeparator,
                                 std::string& scratch) {
  const RawCell& cell = this->cell(row, column);
  // Most cells a reader asks for hold text or nothing.
  if (cell.kind == RawCell::Kind::Text) return cell.textView();
  if (cell.kind == RawCell::Kind::Empty) return {};
  if (!spreadsheet::cellText(cell, decimalSeparator, scratch)) {
    // Error values are what a spreadsheet shows for them: "#N/A", "#DIV/0!", ...
    const ErrorKind kind =
        cell.text.starts_with('#') ? ErrorKind::kCellErrorValue : ErrorKind::kCellWithoutText;
    throw CellError(kind, {fileName_, name_, row, column}, cell.text);
  }
  return scratch;
}

std::optional<double> Sheet::cellNumber(std::uint32_t row, std::uint32_t column) {
  const RawCell& cell = this->cell(row, column);
  if (cell.kind != RawCell::Kind::Number) return std::nullopt;
  return cell.number;
}

}  // namespace kvd507::spreadsheet
