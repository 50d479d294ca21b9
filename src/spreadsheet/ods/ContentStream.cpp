#include "spreadsheet/ods/ContentStream.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "spreadsheet/SheetBounds.h"
#include "spreadsheet/WorkbookError.h"

namespace kvd507::spreadsheet::ods {
namespace {

using xlsx::XmlAction;

// A cell holds 32767 characters at most; a row of them stays far below these.
constexpr std::size_t kMaxCellText = 4 << 20;
constexpr std::size_t kMaxRowText = 64 << 20;
// Counting stops here, far past any sheet, so that sums of repeat counts cannot wrap.
constexpr std::uint64_t kCountCap = std::uint64_t{1} << 40;

// A repeat count such as number-rows-repeated; 1 when absent or not a positive number.
std::uint64_t repeatCount(const char** attributes, std::string_view name) {
  const char* text = xlsx::findAttribute(attributes, name);
  if (text == nullptr) return 1;
  const std::string_view value(text);
  std::uint64_t count = 0;
  const auto result = std::from_chars(value.data(), value.data() + value.size(), count);
  if (result.ec == std::errc::result_out_of_range) return kCountCap;
  if (result.ec != std::errc() || count == 0) return 1;
  return std::min(count, kCountCap);
}

bool isRowGroup(std::string_view name) {
  return name == "table-row-group" || name == "table-header-rows" || name == "table-rows";
}

}  // namespace

ContentStream::ContentStream(xlsx::ZipEntry entry)
    : fileName_(entry.fileName()), part_(entry.part()), reader_(std::move(entry), *this) {}

void ContentStream::damaged(std::string cause) const {
  throw WorkbookError(ErrorKind::kWorkbookDamaged, {fileName_},
                      "the content part " + part_ + " " + std::move(cause));
}

void ContentStream::tooLong(std::size_t limit, std::string what) const {
  const auto row = static_cast<std::uint32_t>(std::min(nextRowNumber_, kMaxSheetRows));
  throw WorkbookError(ErrorKind::kCellTooLong, {fileName_, {}, row, cellFirst_},
                      "the content part " + part_ + " has " + std::move(what), limit);
}

void ContentStream::setMaxColumn(std::uint32_t maxColumn) {
  maxColumn_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(maxColumn, kMaxSheetColumns));
}

std::optional<std::string> ContentStream::nextTable() {
  rowPending_ = false;
  if (!tableFound_) {
    if (tableDepth_ != 0) skipping_ = true;
    // Whatever happens below, the current table is no longer at its start.
    rowsStarted_ = true;
  }
  while (!tableFound_) {
    if (finished_) return std::nullopt;
    if (reader_.step() == xlsx::XmlReader::Progress::Finished) finished_ = true;
  }
  tableFound_ = false;
  return std::move(tableName_);
}

bool ContentStream::nextRow(RawRow& row) {
  for (;;) {
    if (rowPending_) {
      rowPending_ = false;
      std::swap(row, row_);
      return true;
    }
    if (tableEnded_ || tableFound_ || finished_ || tablesFound_ == 0) return false;
    if (reader_.step() == xlsx::XmlReader::Progress::Finished) finished_ = true;
  }
}

XmlAction ContentStream::startElement(std::string_view name, const char** attributes) {
  ++depth_;
  if (ignoredDepth_ != 0) return XmlAction::Continue;
  if (spreadsheetDepth_ == 0) {
    if (name == "spreadsheet") spreadsheetDepth_ = depth_;
  } else if (tableDepth_ == 0) {
    if (name == "table" && depth_ == spreadsheetDepth_ + 1) return startTable(attributes);
  } else if (!skipping_) {
    if (cellDepth_ != 0) {
      startInCell(name, attributes);
    } else {
      startInTable(name, attributes);
    }
  }
  return XmlAction::Continue;
}

XmlAction ContentStream::startTable(const char** attributes) {
  tableDepth_ = depth_;
  containerDepth_ = depth_;
  outerContainers_.clear();
  const char* tableName = xlsx::findAttribute(attributes, "name");
  tableName_ = tableName != nullptr ? tableName : "";
  ++tablesFound_;
  tableFound_ = true;
  tableEnded_ = false;
  rowsStarted_ = false;
  skipping_ = false;
  nextRowNumber_ = 1;
  tableTextBytes_ = 0;
  return XmlAction::Pause;
}

void ContentStream::startInTable(std::string_view name, const char** attributes) {
  if (rowDepth_ == 0) {
    if (depth_ != containerDepth_ + 1) return;
    if (name == "table-row") {
      startRow(attributes);
    } else if (isRowGroup(name)) {
      // Grouped, header and hidden rows are rows like the others.
      outerContainers_.push_back(containerDepth_);
      containerDepth_ = depth_;
    } else {
      // Column definitions, shapes, named ranges and the like.
      ignoredDepth_ = depth_;
    }
  } else if (depth_ == rowDepth_ + 1 && name == "table-cell") {
    startCell(attributes, false);
  } else if (depth_ == rowDepth_ + 1 && name == "covered-table-cell") {
    // A cell hidden under a merged one reads as empty, as it shows.
    startCell(attributes, true);
  } else {
    ignoredDepth_ = depth_;
  }
}

void ContentStream::startInCell(std::string_view name, const char** attributes) {
  const bool note = paragraphDepth_ != 0 && (name == "annotation" || name == "note");
  if (cellFirst_ == 0 || note) {
    ignoredDepth_ = depth_;
  } else if (paragraphDepth_ == 0) {
    if (depth_ == cellDepth_ + 1 && (name == "p" || name == "h")) {
      // Paragraphs are the cell's lines.
      if (paragraphStarted_) appendText("\n");
      paragraphStarted_ = true;
      paragraphDepth_ = depth_;
      lastWasSpace_ = true;
    } else {
      // Comments (office:annotation), pictures and other things anchored to the cell.
      ignoredDepth_ = depth_;
    }
  } else if (name == "s") {
    const std::uint64_t count = repeatCount(attributes, "c");
    if (count > kMaxCellText) tooLong(kMaxCellText, "a cell with more than 4 MiB of spaces");
    appendText(std::string(static_cast<std::size_t>(count), ' '));
    lastWasSpace_ = false;
  } else if (name == "tab") {
    appendText("\t");
    lastWasSpace_ = false;
  } else if (name == "line-break") {
    appendText("\n");
    lastWasSpace_ = false;
  }
  // Anything else (text:span, text:a, fields) is flattened into its text.
}

XmlAction ContentStream::endElement(std::string_view) {
  XmlAction action = XmlAction::Continue;
  if (ignoredDepth_ != 0) {
    if (depth_ == ignoredDepth_) ignoredDepth_ = 0;
  } else if (depth_ == paragraphDepth_) {
    paragraphDepth_ = 0;
  } else if (depth_ == cellDepth_) {
    endCell();
    cellDepth_ = 0;
  } else if (depth_ == rowDepth_) {
    rowDepth_ = 0;
    action = endRow();
  } else if (depth_ == tableDepth_) {
    tableDepth_ = 0;
    tableEnded_ = true;
    skipping_ = false;
    action = XmlAction::Pause;
  } else if (tableDepth_ != 0 && depth_ == containerDepth_) {
    containerDepth_ = outerContainers_.back();
    outerContainers_.pop_back();
  } else if (depth_ == spreadsheetDepth_) {
    // What follows the tables (database ranges, named expressions...) is of no interest.
    action = XmlAction::Stop;
  }
  --depth_;
  return action;
}

void ContentStream::characters(std::string_view text) {
  if (paragraphDepth_ == 0 || ignoredDepth_ != 0 || cellFirst_ == 0) return;
  // Runs of white space in a paragraph show as one space; the file spells further spaces,
  // tabs and line breaks out as elements.
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
      lastWasSpace_ = false;
      continue;
    }
    appendText(text.substr(start, i - start));
    if (!lastWasSpace_) appendText(" ");
    lastWasSpace_ = true;
    start = i + 1;
  }
  appendText(text.substr(start));
}

void ContentStream::appendText(std::string_view text) {
  if (text_.size() + text.size() > kMaxCellText) {
    tooLong(kMaxCellText,
            "a cell with more than " + std::to_string(kMaxCellText >> 20) + " MiB of text");
  }
  text_.append(text);
}

void ContentStream::startRow(const char** attributes) {
  rowDepth_ = depth_;
  rowsStarted_ = true;
  rowRepeat_ = repeatCount(attributes, "number-rows-repeated");
  // The cells are emptied rather than dropped, so that their text keeps its memory.
  for (RawCell& cell : row_.cells) {
    cell.kind = RawCell::Kind::Empty;
    cell.number = 0.0;
    cell.text.clear();
  }
  filledColumns_ = 0;
  rowTextBytes_ = 0;
  nextColumn_ = 1;
}

XmlAction ContentStream::endRow() {
  const std::uint64_t first = nextRowNumber_;
  nextRowNumber_ = std::min(nextRowNumber_ + rowRepeat_, kCountCap);
  if (filledColumns_ == 0) return XmlAction::Continue;
  if (first + rowRepeat_ - 1 > kMaxSheetRows) {
    // Refused before any of it is handed out: a reader would go through every one of its rows.
    throw WorkbookError(ErrorKind::kTooManyRows, {fileName_},
                        "the content part " + part_ + " has a filled row repeated " +
                            std::to_string(rowRepeat_) + " times from row " +
                            std::to_string(first));
  }
  row_.cells.resize(filledColumns_);
  row_.number = static_cast<std::uint32_t>(first);
  row_.repeat = static_cast<std::uint32_t>(rowRepeat_);
  rowPending_ = true;
  return XmlAction::Pause;
}

void ContentStream::startCell(const char** attributes, bool covered) {
  cellDepth_ = depth_;
  const std::uint64_t first = nextColumn_;
  const std::uint64_t repeat = repeatCount(attributes, "number-columns-repeated");
  nextColumn_ = std::min(nextColumn_ + repeat, kCountCap);
  cellLast_ = nextColumn_ - 1;
  cellFirst_ = 0;
  if (covered || first > maxColumn_) return;
  cellFirst_ = static_cast<std::uint32_t>(first);
  cellCount_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(repeat, maxColumn_ - first + 1));
  cell_.read(attributes);
  text_.clear();
  paragraphStarted_ = false;
}

void ContentStream::endCell() {
  if (cellFirst_ == 0) return;
  RawCell cell = cellValue(cell_, std::move(text_));
  text_.clear();
  if (cell.kind == RawCell::Kind::Empty) return;
  if (cellLast_ > kMaxSheetColumns) {
    const auto row = static_cast<std::uint32_t>(std::min(nextRowNumber_, kMaxSheetRows));
    throw WorkbookError(ErrorKind::kTooManyColumns, {fileName_, {}, row},
                        "the content part " + part_ + " has a filled cell repeated to column " +
                            std::to_string(cellLast_));
  }
  rowTextBytes_ += cell.text.size() * cellCount_;
  if (rowTextBytes_ > kMaxRowText) {
    tooLong(kMaxRowText,
            "a row with more than " + std::to_string(kMaxRowText >> 20) + " MiB of text");
  }
  // Counted spaces make much text of few bytes; what the table makes is held to what a sheet may
  // hand on, so that the rows read ahead of the reader stay within it too.
  tableTextBytes_ += cell.text.size() * cellCount_;
  if (tableTextBytes_ > kMaxSheetText) {
    const auto row = static_cast<std::uint32_t>(std::min(nextRowNumber_, kMaxSheetRows));
    throw WorkbookError(ErrorKind::kSheetTooMuchText, {fileName_, {}, row},
                        "the content part " + part_ + " has a table with more than " +
                            std::to_string(kMaxSheetText >> 20) + " MiB of text",
                        kMaxSheetText);
  }
  const std::uint32_t last = cellFirst_ + cellCount_ - 1;
  if (row_.cells.size() < last) row_.cells.resize(last);
  for (std::uint32_t c = cellFirst_; c < last; ++c) row_.cells[c - 1] = cell;
  row_.cells[last - 1] = std::move(cell);
  filledColumns_ = std::max(filledColumns_, last);
}

}  // namespace kvd507::spreadsheet::ods
