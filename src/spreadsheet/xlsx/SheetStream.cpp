#include "spreadsheet/xlsx/SheetStream.h"

#include <utility>

#include "spreadsheet/xlsx/XmlNames.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

// Expat's attributes, a null-terminated array of names and values, as SheetCells takes them.
void collectAttributes(const char** attributes, std::vector<ElementAttribute>& out) {
  out.clear();
  for (; attributes[0] != nullptr; attributes += 2) {
    out.push_back({localName(attributes[0]), attributes[1]});
  }
}

}  // namespace

SheetStream::SheetStream(ZipEntry entry, SheetContext context, std::uint32_t maxColumn)
    : cells_(entry.fileName(), entry.part(), std::move(context), maxColumn),
      reader_(std::move(entry), *this) {}

bool SheetStream::next(RawRow& row) {
  if (finished_) return false;
  for (;;) {
    const XmlReader::Progress progress = reader_.step();
    if (cells_.takeRow(row)) return true;
    if (progress == XmlReader::Progress::Finished) {
      finished_ = true;
      return false;
    }
  }
}

XmlAction SheetStream::startElement(std::string_view name, const char** attributes) {
  collectAttributes(attributes, attributes_);
  return cells_.startElement(name, ElementAttributes(attributes_.data(), attributes_.size()));
}

XmlAction SheetStream::endElement(std::string_view name) {
  return cells_.endElement(name);
}

void SheetStream::characters(std::string_view text) {
  cells_.characters(text);
}

}  // namespace kvd507::spreadsheet::xlsx
