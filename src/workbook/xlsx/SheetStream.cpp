#include "workbook/xlsx/SheetStream.h"

#include <utility>

namespace kvd507::workbook::xlsx {
namespace {

class ExpatAttributes final : public ElementAttributes {
 public:
  explicit ExpatAttributes(const char** attributes) : attributes_(attributes) {}

  std::optional<std::string_view> find(std::string_view localName) const override {
    if (const char* value = findAttribute(attributes_, localName)) return value;
    return std::nullopt;
  }

 private:
  const char** attributes_;
};

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
  return cells_.startElement(name, ExpatAttributes(attributes));
}

XmlAction SheetStream::endElement(std::string_view name) {
  return cells_.endElement(name);
}

void SheetStream::characters(std::string_view text) {
  cells_.characters(text);
}

}  // namespace kvd507::workbook::xlsx
