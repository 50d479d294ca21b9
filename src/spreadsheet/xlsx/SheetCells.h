#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "spreadsheet/RawCell.h"
#include "spreadsheet/xlsx/CellStyles.h"
#include "spreadsheet/xlsx/SharedStrings.h"
#include "spreadsheet/xlsx/XmlNames.h"
#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::xlsx {

// What every sheet of one workbook reads its cells with.
struct SheetContext {
  std::shared_ptr<const SharedStrings> strings;
  std::shared_ptr<const CellStyles> styles;
  bool date1904 = false;
};

// One attribute of the element being started: its name without prefix, and its value with
// entity and character references decoded and white space normalised as XML does.
struct ElementAttribute {
  std::string_view localName;
  std::string_view value;
};

// The attributes of the element being started, as a parser hands them over: a view of the
// parser's own array, looked up without a call since every cell asks for three.
class ElementAttributes {
 public:
  ElementAttributes(const ElementAttribute* attributes, std::size_t count)
      : attributes_(attributes), count_(count) {}

  // The value of the first attribute with this local name, or nothing when it has none.
  std::optional<std::string_view> find(std::string_view localName) const {
    for (std::size_t i = 0; i < count_; ++i) {
      if (sameShortName(attributes_[i].localName, localName)) return attributes_[i].value;
    }
    return std::nullopt;
  }

 private:
  const ElementAttribute* attributes_;
  std::size_t count_;
};

// Turns the elements of a worksheet part into rows, whatever parser reads the part. The
// parser pauses after each element that makes a row ready (XmlAction::Pause), so that only
// that row is ever held, and stops at the end of the cells (XmlAction::Stop).
class SheetCells {
 public:
  SheetCells(std::string fileName, std::string part, SheetContext context, std::uint32_t maxColumn);

  // Names are local names.
  XmlAction startElement(std::string_view name, const ElementAttributes& attributes);
  XmlAction endElement(std::string_view name);
  void characters(std::string_view text);
  // Whether characters() keeps the text it is given at this point; a parser may skip calling
  // it when not.
  bool collecting() const { return collecting_ != nullptr; }

  // Moves the row made ready into `row`; false when none is.
  bool takeRow(RawRow& row);

  const std::string& fileName() const { return fileName_; }
  const std::string& part() const { return part_; }

 private:
  enum class CellType : std::uint8_t {
    Number,
    SharedString,
    InlineString,
    FormulaString,
    Boolean,
    Error,
    IsoDate
  };

  void startRow(const ElementAttributes& attributes);
  XmlAction endRow();
  void startCell(const ElementAttributes& attributes);
  void endCell();
  void storeValue(RawCell& cell);
  void storeNumber(RawCell& cell, std::string_view text);
  void collectInto(std::string* target);
  // Takes the text over; `text` is left with the cell's old buffer, to be filled again.
  static void storeText(RawCell& cell, std::string& text);

  [[noreturn]] void damaged(std::string cause) const;

  std::string fileName_;
  std::string part_;
  SheetContext context_;
  std::uint32_t maxColumn_;

  // Where the parser is. Depths tell a row or cell apart from same-named elements nested in
  // extensions.
  int depth_ = 0;
  int sheetDataDepth_ = 0;
  int rowDepth_ = 0;
  int cellDepth_ = 0;
  int inlineDepth_ = 0;    // of <is> while in one
  int phoneticDepth_ = 0;  // <rPh> nesting inside <is>
  int collectingDepth_ = 0;

  RawRow row_;
  std::uint32_t lastRow_ = 0;
  std::uint32_t lastColumn_ = 0;     // in the current row
  std::uint32_t filledColumns_ = 0;  // the current row's cells up to the last non-empty one

  // The current cell; `column_` is 0 for a cell right of the limit, which is skipped.
  std::uint32_t column_ = 0;
  CellType type_ = CellType::Number;
  std::uint32_t style_ = 0;
  bool hasFormula_ = false;
  bool hasValue_ = false;
  bool hasInline_ = false;
  std::string value_;
  std::string inline_;
  std::string* collecting_ = nullptr;

  bool rowReady_ = false;
};

}  // namespace kvd507::spreadsheet::xlsx
