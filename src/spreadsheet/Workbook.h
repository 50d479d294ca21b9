#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/RawCell.h"
#include "spreadsheet/SheetBounds.h"

namespace kvd507::spreadsheet {

class WorkbookSource;
class RowSource;
class Sheet;

// An open workbook file, .xlsx, .xls or .ods, recognised by its content.
class Workbook {
 public:
  // Throws WorkbookError naming the file when it cannot be opened as a workbook.
  static Workbook open(const std::filesystem::path& file);
  // A workbook read by an already open source; `fileName` names it in errors.
  static Workbook fromSource(std::string fileName, std::shared_ptr<WorkbookSource> source);

  Workbook(Workbook&&) noexcept;
  Workbook& operator=(Workbook&&) noexcept;
  ~Workbook();

  const std::string& fileName() const { return fileName_; }

  // The worksheet with exactly this name. Cells right of `maxColumn` read as empty. Throws
  // WorkbookError when there is no such worksheet. The sheet hands on no more than `textLimit`
  // bytes of text in all (see kMaxSheetText).
  Sheet sheet(std::string_view name, std::uint32_t maxColumn,
              std::size_t textLimit = kMaxSheetText);
  // Says that sheet(name, maxColumn) will be asked for later, after other sheets are read, so
  // that a .xls sheet can be read meanwhile. Changes nothing that sheet() gives or throws.
  void prepareSheet(std::string_view name, std::uint32_t maxColumn);
  // An .ods workbook names its sheets inside the part that holds their cells, so looking one
  // up reads that part up to it, and throws WorkbookError when it is damaged before.
  bool hasSheet(std::string_view name) const;
  // Worksheet names in workbook order.
  const std::vector<std::string>& sheetNames() const;

 private:
  Workbook(std::string fileName, std::shared_ptr<WorkbookSource> source);

  std::string fileName_;
  std::shared_ptr<WorkbookSource> source_;
};

// One worksheet of an open workbook, read from the top down: rows are asked for in
// non-decreasing order, which lets the file be streamed instead of held whole.
class Sheet {
 public:
  Sheet(Sheet&&) noexcept;
  Sheet& operator=(Sheet&&) noexcept;
  ~Sheet();

  const std::string& name() const { return name_; }

  // The text of the cell at 1-based (row, column), numbers printed with `decimalSeparator`.
  // Throws CellError for an error value, WorkbookError when the file is damaged.
  std::string cellText(std::uint32_t row, std::uint32_t column, char decimalSeparator);
  // The same text without making a string for it, for a reader that looks at every cell: the
  // text of a cell that holds text is viewed where the row keeps it, valid until another row
  // is asked for; any other text is made in `scratch`.
  std::string_view cellText(std::uint32_t row, std::uint32_t column, char decimalSeparator,
                            std::string& scratch);
  // The value of a cell that holds a number (not a date or time); nothing for any other cell.
  std::optional<double> cellNumber(std::uint32_t row, std::uint32_t column);
  // Whether the cell holds a number its format shows as a percentage (0.15 as "15%").
  bool cellIsPercent(std::uint32_t row, std::uint32_t column) {
    const RawCell& cell = this->cell(row, column);
    return cell.kind == RawCell::Kind::Number && cell.percent;
  }

 private:
  friend class Workbook;
  Sheet(std::string fileName, std::string name, std::shared_ptr<WorkbookSource> workbook,
        std::unique_ptr<RowSource> rows, std::uint32_t maxColumn, std::size_t textLimit);

  // Every cell of a row after its first asks for the row in hand: answered here, inline.
  const RawRow& row(std::uint32_t number) {
    if (number == lastAsked_) return current_.holds(number) ? current_ : empty_;
    return advanceTo(number);
  }
  const RawRow& advanceTo(std::uint32_t number);
  // Counts the text of the row in hand once more, as handed on for row `number`; throws
  // WorkbookError past the text limit.
  void countText(std::uint32_t number);
  // The cell at (row, column); an empty one where the row has none or the column is past the
  // limit.
  const RawCell& cell(std::uint32_t row, std::uint32_t column);

  std::string fileName_;
  std::string name_;
  std::shared_ptr<WorkbookSource> workbook_;  // keeps what `rows_` reads from alive
  std::unique_ptr<RowSource> rows_;
  std::uint32_t maxColumn_;
  std::size_t textLimit_;
  RawRow current_;  // the last row handed out by `rows_`
  std::uint32_t lastAsked_ = 0;
  bool exhausted_ = false;
  // The text of the row in hand within the column limit, once counted; and of all rows handed on.
  std::optional<std::size_t> currentText_;
  std::size_t textHandedOn_ = 0;
  RawRow empty_;
  RawCell emptyCell_;
};

}  // namespace kvd507::spreadsheet
