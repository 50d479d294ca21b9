#include "spreadsheet/xlsx/SheetCells.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#include "spreadsheet/SheetBounds.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/EscapedText.h"
#include "spreadsheet/xlsx/IsoDate.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

// The widest sheet any spreadsheet application makes (column XFD).
constexpr std::uint32_t kMaxColumns = 16384;
// A cell holds 32767 characters at most; even fully escaped that is far below this.
constexpr std::size_t kMaxCellText = 4 << 20;
constexpr double k1904Shift = 1462.0;

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

template <typename Number>
bool parseWhole(std::string_view text, Number& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

// Plain decimals as sheets store them ("1234.56", "-7"), without from_chars's generality: with
// fewer than 16 digits and no more than 22 after the point, digits and power of ten are exact
// doubles and one division rounds correctly, so the result is from_chars's to the bit.
bool parseSimpleDecimal(std::string_view text, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++at;
  std::uint64_t digits = 0;
  std::size_t count = 0;
  std::size_t decimals = 0;
  bool point = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c >= '0' && c <= '9') {
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (digits >= 1'000'000'000'000'000) return false;
      ++count;
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (count == 0 || decimals > 22) return false;
  const double magnitude = static_cast<double>(digits) / kPowers[decimals];
  value = negative ? -magnitude : magnitude;
  return true;
}

// The column of a cell reference such as "AB12"; 0 when it has no letters.
std::uint32_t referenceColumn(std::string_view reference) {
  std::uint32_t column = 0;
  for (const char c : reference) {
    std::uint32_t letter;
    if (c >= 'A' && c <= 'Z') {
      letter = static_cast<std::uint32_t>(c - 'A' + 1);
    } else if (c >= 'a' && c <= 'z') {
      letter = static_cast<std::uint32_t>(c - 'a' + 1);
    } else {
      break;
    }
    // Past the widest sheet the exact number no longer matters; it only must not wrap.
    column = std::min(column * 26 + letter, kMaxColumns + 1);
  }
  return column;
}

// Names compared with a length known when compiling, which takes a few instructions instead of
// a call to memcmp: this runs for every element of the sheet.
template <std::size_t N>
bool is(std::string_view name, const char (&expected)[N]) {
  return name.size() == N - 1 && std::memcmp(name.data(), expected, N - 1) == 0;
}

void setError(RawCell& cell, std::string_view what) {
  cell.kind = RawCell::Kind::Error;
  cell.text.assign(what);
}

}  // namespace

SheetCells::SheetCells(std::string fileName, std::string part, SheetContext context,
                       std::uint32_t maxColumn)
    : fileName_(std::move(fileName)),
      part_(std::move(part)),
      context_(std::move(context)),
      maxColumn_(std::min(maxColumn, kMaxColumns)) {}

bool SheetCells::takeRow(RawRow& row) {
  if (!rowReady_) return false;
  rowReady_ = false;
  std::swap(row, row_);
  return true;
}

void SheetCells::damaged(std::string cause) const {
  throw WorkbookError(ErrorKind::kWorkbookDamaged, {fileName_},
                      "the worksheet part " + part_ + " " + std::move(cause));
}

XmlAction SheetCells::startElement(std::string_view name, const ElementAttributes& attributes) {
  ++depth_;
  if (sheetDataDepth_ == 0) {
    if (is(name, "sheetData")) sheetDataDepth_ = depth_;
  } else if (rowDepth_ == 0) {
    if (is(name, "row") && depth_ == sheetDataDepth_ + 1) startRow(attributes);
  } else if (cellDepth_ == 0) {
    if (is(name, "c") && depth_ == rowDepth_ + 1) startCell(attributes);
  } else if (column_ == 0) {
    // a cell right of the limit: nothing of it is kept
  } else if (depth_ == cellDepth_ + 1) {
    if (is(name, "v")) {
      hasValue_ = true;
      collectInto(&value_);
    } else if (is(name, "f")) {
      hasFormula_ = true;
    } else if (is(name, "is")) {
      hasInline_ = true;
      inlineDepth_ = depth_;
    }
  } else if (inlineDepth_ != 0) {
    // Phonetic readings (<rPh>) are a guide for East Asian text, not part of it.
    if (is(name, "rPh")) {
      ++phoneticDepth_;
    } else if (is(name, "t") && phoneticDepth_ == 0) {
      collectInto(&inline_);
    }
  }
  return XmlAction::Continue;
}

XmlAction SheetCells::endElement(std::string_view name) {
  XmlAction action = XmlAction::Continue;
  if (depth_ == collectingDepth_) {
    collecting_ = nullptr;
    collectingDepth_ = 0;
  }
  if (cellDepth_ != 0) {
    if (depth_ == cellDepth_) {
      endCell();
      cellDepth_ = 0;
    } else if (depth_ == inlineDepth_) {
      inlineDepth_ = 0;
      phoneticDepth_ = 0;
    } else if (is(name, "rPh") && phoneticDepth_ > 0) {
      --phoneticDepth_;
    }
  } else if (rowDepth_ != 0) {
    if (depth_ == rowDepth_) {
      rowDepth_ = 0;
      action = endRow();
    }
  } else if (depth_ == sheetDataDepth_) {
    // What follows the cells (merged ranges, page setup...) is of no interest.
    action = XmlAction::Stop;
  }
  --depth_;
  return action;
}

void SheetCells::characters(std::string_view text) {
  if (collecting_ == nullptr) return;
  if (collecting_->size() + text.size() > kMaxCellText) {
    throw WorkbookError(ErrorKind::kCellTooLong, {fileName_, {}, row_.number, column_},
                        "the worksheet part " + part_ + " has a cell in row " +
                            std::to_string(row_.number) + " with more than " +
                            std::to_string(kMaxCellText >> 20) + " MiB of text",
                        kMaxCellText);
  }
  collecting_->append(text);
}

void SheetCells::collectInto(std::string* target) {
  collecting_ = target;
  collectingDepth_ = depth_;
}

void SheetCells::startRow(const ElementAttributes& attributes) {
  rowDepth_ = depth_;
  std::uint32_t number = lastRow_ + 1;
  if (const auto reference = attributes.find("r")) {
    if (!parseWhole(trimmed(*reference), number) || number == 0) {
      damaged("has a row numbered \"" + std::string(*reference) + "\"");
    }
  }
  if (number <= lastRow_) {
    // Rows are handed out in ascending order; one that goes back cannot be placed.
    damaged("lists row " + std::to_string(number) + " after row " + std::to_string(lastRow_));
  }
  lastRow_ = number;
  row_.number = number;
  for (RawCell& cell : row_.cells) cell.clear();
  lastColumn_ = 0;
  filledColumns_ = 0;
}

XmlAction SheetCells::endRow() {
  if (filledColumns_ == 0) return XmlAction::Continue;
  if (row_.number > kMaxSheetRows) {
    throw WorkbookError(ErrorKind::kTooManyRows, {fileName_},
                        "the worksheet part " + part_ + " has a filled row numbered " +
                            std::to_string(row_.number));
  }
  row_.cells.resize(filledColumns_);
  rowReady_ = true;
  return XmlAction::Pause;
}

void SheetCells::startCell(const ElementAttributes& attributes) {
  cellDepth_ = depth_;
  const auto reference = attributes.find("r");
  std::uint32_t column = reference ? referenceColumn(*reference) : 0;
  if (column == 0) column = std::min(lastColumn_ + 1, kMaxColumns + 1);
  lastColumn_ = column;
  column_ = column <= maxColumn_ ? column : 0;
  if (column_ == 0) return;

  type_ = CellType::Number;
  if (const auto type = attributes.find("t")) {
    const std::string_view t(*type);
    if (is(t, "s")) {
      type_ = CellType::SharedString;
    } else if (is(t, "inlineStr")) {
      type_ = CellType::InlineString;
    } else if (is(t, "str")) {
      type_ = CellType::FormulaString;
    } else if (is(t, "b")) {
      type_ = CellType::Boolean;
    } else if (is(t, "e")) {
      type_ = CellType::Error;
    } else if (is(t, "d")) {
      type_ = CellType::IsoDate;
    }
  }
  style_ = 0;
  if (const auto style = attributes.find("s")) {
    if (!parseWhole(trimmed(*style), style_)) style_ = 0;
  }
  hasFormula_ = false;
  hasValue_ = false;
  hasInline_ = false;
  value_.clear();
  inline_.clear();
}

void SheetCells::endCell() {
  if (column_ == 0) return;
  if (row_.cells.size() < column_) row_.cells.resize(column_);
  RawCell& cell = row_.cells[column_ - 1];
  cell.clear();
  storeValue(cell);
  if (cell.kind != RawCell::Kind::Empty) filledColumns_ = std::max(filledColumns_, column_);
}

void SheetCells::storeValue(RawCell& cell) {
  bool hasResult;
  if (type_ == CellType::InlineString) {
    hasResult = hasInline_ || hasValue_;
  } else if (type_ == CellType::FormulaString) {
    // A formula that yields "" is stored with an empty <v>: that is a result.
    hasResult = hasValue_;
  } else {
    hasResult = hasValue_ && !trimmed(value_).empty();
  }
  if (!hasResult) {
    if (hasFormula_)
      setError(cell, "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)");
    return;
  }

  switch (type_) {
    case CellType::Number:
      storeNumber(cell, value_);
      break;
    case CellType::SharedString: {
      std::size_t index = 0;
      if (!parseWhole(trimmed(value_), index) || index >= context_.strings->size()) {
        setError(cell, "shared string \"" + value_ + "\" does not exist");
      } else if (const std::string_view text = context_.strings->at(index); !text.empty()) {
        cell = RawCell::makeSharedText(text);
      }
      break;
    }
    case CellType::InlineString: {
      std::string& text = hasInline_ ? inline_ : value_;
      decodeEscapes(text);
      storeText(cell, text);
      break;
    }
    case CellType::FormulaString:
      decodeEscapes(value_);
      storeText(cell, value_);
      break;
    case CellType::Boolean: {
      const std::string_view text = trimmed(value_);
      if (text == "1" || text == "true") {
        cell.kind = RawCell::Kind::Number;
        cell.number = 1.0;
      } else if (text == "0" || text == "false") {
        cell.kind = RawCell::Kind::Number;
      } else {
        setError(cell, "not a boolean value: \"" + std::string(text) + "\"");
      }
      break;
    }
    case CellType::Error:
      setError(cell, trimmed(value_));
      break;
    case CellType::IsoDate:
      if (const auto serial = isoDateSerial(trimmed(value_))) {
        cell.kind = RawCell::Kind::DateTime;
        cell.number = *serial;
      } else {
        storeText(cell, value_);
      }
      break;
  }
}

void SheetCells::storeNumber(RawCell& cell, std::string_view text) {
  text = trimmed(text);
  // from_chars reads no sign "+" and never looks at the C locale.
  if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  if (!parseSimpleDecimal(text, value) && !parseWhole(text, value)) {
    setError(cell, "not a number: \"" + std::string(text) + "\"");
    return;
  }
  const NumberShape shape = context_.styles->shape(style_);
  if (shape == NumberShape::Date) {
    cell.kind = RawCell::Kind::DateTime;
    cell.number = context_.date1904 ? value + k1904Shift : value;
  } else {
    cell.kind = RawCell::Kind::Number;
    cell.number = value;
    cell.percent = shape == NumberShape::Percent;
  }
}

void SheetCells::storeText(RawCell& cell, std::string& text) {
  if (text.empty()) return;
  cell.kind = RawCell::Kind::Text;
  cell.text.swap(text);
  text.clear();
}

}  // namespace kvd507::spreadsheet::xlsx
