#include "spreadsheet/xlsx/SharedStrings.h"

#include <limits>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/EscapedText.h"
#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

// Gathers each <si>: its plain <t>, or the <t> of its rich text runs joined. Phonetic
// readings (<rPh>) are a guide for East Asian text, not part of it.
class SharedStringsHandler : public XmlHandler {
 public:
  explicit SharedStringsHandler(SharedStrings& table) : table_(table) {}

  XmlAction startElement(std::string_view name, const char**) override {
    if (name == "si") {
      inItem_ = true;
      item_.clear();
    } else if (inItem_ && name == "rPh") {
      ++phoneticDepth_;
    } else if (inItem_ && name == "t" && phoneticDepth_ == 0) {
      inText_ = true;
    }
    return XmlAction::Continue;
  }

  XmlAction endElement(std::string_view name) override {
    if (name == "t") {
      inText_ = false;
    } else if (name == "rPh" && phoneticDepth_ > 0) {
      --phoneticDepth_;
    } else if (name == "si" && inItem_) {
      decodeEscapes(item_);
      table_.add(item_);
      inItem_ = false;
    }
    return XmlAction::Continue;
  }

  void characters(std::string_view text) override {
    if (inText_) item_ += text;
  }

 private:
  SharedStrings& table_;
  std::string item_;
  bool inItem_ = false;
  bool inText_ = false;
  int phoneticDepth_ = 0;
};

}  // namespace

SharedStrings SharedStrings::read(ZipArchive& archive, std::string_view part, std::uint64_t limit) {
  SharedStrings table;
  SharedStringsHandler handler(table);
  XmlReader reader(archive.open(part, limit), handler);
  reader.readAll();
  table.text_.shrink_to_fit();
  table.ends_.shrink_to_fit();
  return table;
}

std::string_view SharedStrings::at(std::size_t index) const {
  const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
  return std::string_view(text_).substr(begin, ends_[index] - begin);
}

void SharedStrings::add(std::string_view text) {
  if (text_.size() + text.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw WorkbookError(ErrorKind::kWorkbookTooLarge, {}, "shared strings beyond 4 GiB",
                        std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1);
  }
  text_ += text;
  ends_.push_back(static_cast<std::uint32_t>(text_.size()));
}

}  // namespace kvd507::spreadsheet::xlsx
