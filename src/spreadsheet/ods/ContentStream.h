#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/RawCell.h"
#include "spreadsheet/ods/CellValue.h"
#include "spreadsheet/xlsx/XmlReader.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::ods {

// The tables of an OpenDocument spreadsheet's content part, parsed as the part inflates. All
// tables live in this one part, so the stream moves through them in document order: it finds
// the next table, then hands out that table's rows one at a time, and the parser pauses in
// between, so that no more than one row is ever held.
//
// Repeated rows and cells (number-rows-repeated, number-columns-repeated) are counted, never
// expanded: an application writes its last empty row repeated to the end of the sheet, and
// an empty cell repeated to the last column. A filled row is handed out once with its repeat
// count; filled rows or cells claimed past the largest sheet are refused as soon as they are
// read.
class ContentStream : private xlsx::XmlHandler {
 public:
  explicit ContentStream(xlsx::ZipEntry entry);

  // Skips what is left of the current table and returns the name of the next one, or nothing
  // when the spreadsheet has no more tables. Throws WorkbookError when the part is damaged.
  std::optional<std::string> nextTable();

  // How many tables have been found so far; the current table is the last of them.
  std::size_t tablesFound() const { return tablesFound_; }
  // Whether the current table has just been found, and none of its rows read or skipped yet.
  bool atTableStart() const { return tablesFound_ > 0 && !rowsStarted_; }

  // Cells right of `maxColumn` are never kept. Set before the current table's first row.
  void setMaxColumn(std::uint32_t maxColumn);

  // Fills `row` with the next row of the current table that has a cell with a value up to the
  // column limit and returns true; returns false at the end of the table. Throws
  // WorkbookError when the part is damaged.
  bool nextRow(RawRow& row);

 private:
  xlsx::XmlAction startElement(std::string_view name, const char** attributes) override;
  xlsx::XmlAction endElement(std::string_view name) override;
  void characters(std::string_view text) override;

  xlsx::XmlAction startTable(const char** attributes);
  void startInTable(std::string_view name, const char** attributes);
  void startInCell(std::string_view name, const char** attributes);
  void startRow(const char** attributes);
  xlsx::XmlAction endRow();
  void startCell(const char** attributes, bool covered);
  void endCell();
  void appendText(std::string_view text);

  [[noreturn]] void damaged(std::string cause) const;
  [[noreturn]] void tooLong(std::size_t limit, std::string what) const;

  std::string fileName_;
  std::string part_;
  std::uint32_t maxColumn_ = 0;

  // Where the parser is. Depths of 0 mean "not inside one".
  int depth_ = 0;
  int spreadsheetDepth_ = 0;
  int tableDepth_ = 0;
  int containerDepth_ = 0;  // the table or the row group whose children are rows
  std::vector<int> outerContainers_;
  int rowDepth_ = 0;
  int cellDepth_ = 0;
  int paragraphDepth_ = 0;
  int ignoredDepth_ = 0;  // an element whose content is of no interest (comments, columns...)

  std::size_t tablesFound_ = 0;
  std::string tableName_;
  bool tableFound_ = false;  // found and not yet handed out by nextTable
  bool tableEnded_ = false;
  bool rowsStarted_ = false;
  bool skipping_ = false;  // the rest of the current table is being passed over
  bool finished_ = false;

  // Rows and columns are counted in 64 bits: repeat counts come from the file and may be huge.
  std::uint64_t nextRowNumber_ = 1;
  std::uint64_t rowRepeat_ = 1;
  std::uint64_t nextColumn_ = 1;
  std::uint32_t filledColumns_ = 0;
  std::size_t rowTextBytes_ = 0;
  std::size_t tableTextBytes_ = 0;
  RawRow row_;
  bool rowPending_ = false;  // row_ is ready to be handed out

  // The current cell: kept when `cellFirst_` is not 0.
  std::uint32_t cellFirst_ = 0;
  std::uint32_t cellCount_ = 0;
  std::uint64_t cellLast_ = 0;  // the last column the file repeats it to
  CellAttributes cell_;
  std::string text_;
  bool paragraphStarted_ = false;
  bool lastWasSpace_ = false;

  xlsx::XmlReader reader_;  // last: it calls back into the members above
};

}  // namespace kvd507::spreadsheet::ods
