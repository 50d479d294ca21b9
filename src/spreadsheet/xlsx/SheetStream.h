#pragma once

#include <cstdint>
#include <vector>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/xlsx/SheetCells.h"
#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::xlsx {

// The rows of one worksheet part, parsed with expat as the part inflates. Any encoding expat
// knows is read; SheetScan is the faster reader of UTF-8 parts, and this one is the reference
// it is compared with.
class SheetStream : public RowSource, private XmlHandler {
 public:
  SheetStream(ZipEntry entry, SheetContext context, std::uint32_t maxColumn);

  bool next(RawRow& row) override;

 private:
  XmlAction startElement(std::string_view name, const char** attributes) override;
  XmlAction endElement(std::string_view name) override;
  void characters(std::string_view text) override;

  SheetCells cells_;
  std::vector<ElementAttribute> attributes_;  // of the element being started
  bool finished_ = false;
  XmlReader reader_;  // last: it calls back into the members above
};

}  // namespace kvd507::spreadsheet::xlsx
