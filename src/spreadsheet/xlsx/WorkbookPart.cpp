#include "spreadsheet/xlsx/WorkbookPart.h"

#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

bool isTrue(const char* value) {
  if (value == nullptr) return false;
  const std::string_view text(value);
  return text == "1" || text == "true";
}

class WorkbookHandler : public XmlHandler {
 public:
  XmlAction startElement(std::string_view name, const char** attributes) override {
    if (name == "sheets") {
      inSheets_ = true;
    } else if (name == "sheet" && inSheets_) {
      const char* sheetName = findAttribute(attributes, "name");
      const char* id = findAttribute(attributes, "id");
      if (sheetName != nullptr && id != nullptr) workbook_.sheets.push_back({sheetName, id});
    } else if (name == "workbookPr") {
      workbook_.date1904 = isTrue(findAttribute(attributes, "date1904"));
    }
    return XmlAction::Continue;
  }
  XmlAction endElement(std::string_view name) override {
    // Nothing after the sheet list matters.
    return name == "sheets" ? XmlAction::Stop : XmlAction::Continue;
  }
  void characters(std::string_view) override {}

  WorkbookPart take() { return std::move(workbook_); }

 private:
  WorkbookPart workbook_;
  bool inSheets_ = false;
};

}  // namespace

WorkbookPart readWorkbookPart(ZipArchive& archive, std::string_view part, std::uint64_t limit) {
  WorkbookHandler handler;
  XmlReader reader(archive.open(part, limit), handler);
  reader.readAll();
  return handler.take();
}

}  // namespace kvd507::spreadsheet::xlsx
