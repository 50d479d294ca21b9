#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "workbook/RowSource.h"
#include "workbook/xlsx/CellStyles.h"
#include "workbook/xlsx/SharedStrings.h"
#include "workbook/xlsx/XmlReader.h"

namespace kvd507::workbook::xlsx {

// What every sheet of one workbook reads its cells with.
struct SheetContext {
  std::shared_ptr<const SharedStrings> strings;
  std::shared_ptr<const CellStyles> styles;
  bool date1904 = false;
};

// The rows of one worksheet part, parsed as the part inflates: the parser pauses at the end of
// each row worth handing out, so only that row is ever held.
class SheetStream : public RowSource, private XmlHandler {
 public:
  SheetStream(ZipEntry entry, SheetContext context, std::uint32_t maxColumn);

  bool next(RawRow& row) override;

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

  XmlAction startElement(std::string_view name, const char** attributes) override;
  XmlAction endElement(std::string_view name) override;
  void characters(std::string_view text) override;

  void startRow(const char** attributes);
  XmlAction endRow();
  void startCell(const char** attributes);
  void endCell();
  void storeValue(RawCell& cell);
  void storeNumber(RawCell& cell, std::string_view text);
  void collectInto(std::string* target);
  void storeText(RawCell& cell, std::string_view text);

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
  bool finished_ = false;
  XmlReader reader_;  // last: it calls back into the members above
};

}  // namespace kvd507::workbook::xlsx
