#include "spreadsheet/xlsx/CellStyles.h"

#include <charconv>
#include <string>
#include <unordered_map>

#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

int formatId(const char* text) {
  if (text == nullptr) return 0;
  const std::string_view view(text);
  int id = 0;
  const auto result = std::from_chars(view.data(), view.data() + view.size(), id);
  return result.ec == std::errc() ? id : 0;
}

// Collects the custom formats (<numFmts>) and the number format of each cell style
// (<cellXfs>); the other <xf> lists (cell style templates, differential styles) do not apply
// to cells directly.
class StylesHandler : public XmlHandler {
 public:
  XmlAction startElement(std::string_view name, const char** attributes) override {
    ++depth_;
    if (name == "numFmt") {
      const char* code = findAttribute(attributes, "formatCode");
      if (code != nullptr) {
        customShapes_[formatId(findAttribute(attributes, "numFmtId"))] = numberShapeOfCode(code);
      }
    } else if (name == "cellXfs") {
      cellXfsDepth_ = depth_;
    } else if (name == "xf" && cellXfsDepth_ != 0 && depth_ == cellXfsDepth_ + 1) {
      xfFormats_.push_back(formatId(findAttribute(attributes, "numFmtId")));
    }
    return XmlAction::Continue;
  }

  XmlAction endElement(std::string_view name) override {
    if (name == "cellXfs" && depth_ == cellXfsDepth_) cellXfsDepth_ = 0;
    --depth_;
    return XmlAction::Continue;
  }

  void characters(std::string_view) override {}

  std::vector<NumberShape> styleShapes() const {
    std::vector<NumberShape> shapes;
    shapes.reserve(xfFormats_.size());
    for (const int id : xfFormats_) {
      // A custom format may reuse a built-in number; its code then decides.
      const auto custom = customShapes_.find(id);
      shapes.push_back(custom != customShapes_.end() ? custom->second : builtinNumberShape(id));
    }
    return shapes;
  }

 private:
  int depth_ = 0;
  int cellXfsDepth_ = 0;
  std::unordered_map<int, NumberShape> customShapes_;
  std::vector<int> xfFormats_;
};

}  // namespace

CellStyles CellStyles::read(ZipArchive& archive, std::string_view part, std::uint64_t limit) {
  StylesHandler handler;
  XmlReader reader(archive.open(part, limit), handler);
  reader.readAll();
  CellStyles styles;
  styles.shapes_ = handler.styleShapes();
  return styles;
}

}  // namespace kvd507::spreadsheet::xlsx
