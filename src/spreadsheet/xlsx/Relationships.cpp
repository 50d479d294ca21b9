#include "spreadsheet/xlsx/Relationships.h"

#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

std::string_view folderOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

std::string relationshipsPart(std::string_view source) {
  const std::string_view folder = folderOf(source);
  return std::string(folder) + "_rels/" + std::string(source.substr(folder.size())) + ".rels";
}

class RelationshipsHandler : public XmlHandler {
 public:
  explicit RelationshipsHandler(std::string_view source) : source_(source) {}

  XmlAction startElement(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return XmlAction::Continue;
    const char* id = findAttribute(attributes, "Id");
    const char* type = findAttribute(attributes, "Type");
    const char* target = findAttribute(attributes, "Target");
    const char* mode = findAttribute(attributes, "TargetMode");
    if (id == nullptr || type == nullptr || target == nullptr) return XmlAction::Continue;
    Relationship relationship{
        id, type, {}, mode != nullptr && std::string_view(mode) == "External"};
    relationship.target =
        relationship.external ? std::string(target) : resolveTarget(source_, target);
    relationships_.push_back(std::move(relationship));
    return XmlAction::Continue;
  }
  XmlAction endElement(std::string_view) override { return XmlAction::Continue; }
  void characters(std::string_view) override {}

  std::vector<Relationship> take() { return std::move(relationships_); }

 private:
  std::string_view source_;
  std::vector<Relationship> relationships_;
};

}  // namespace

bool Relationship::isKind(std::string_view kind) const {
  const std::size_t slash = type.rfind('/');
  return slash != std::string::npos && std::string_view(type).substr(slash + 1) == kind;
}

std::vector<Relationship> readRelationships(ZipArchive& archive, std::string_view source,
                                            std::uint64_t limit) {
  const std::string part = relationshipsPart(source);
  if (!archive.contains(part)) return {};
  RelationshipsHandler handler(source);
  XmlReader reader(archive.open(part, limit), handler);
  reader.readAll();
  return handler.take();
}

std::string resolveTarget(std::string_view source, std::string_view target) {
  std::string path;
  if (target.empty() || target.front() != '/') path = folderOf(source);
  path += target;
  // Drop "." and resolve ".." segments; a ".." above the root stays at the root.
  std::vector<std::string_view> segments;
  std::string_view rest = path;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      continue;
    }
    segments.push_back(segment);
  }
  std::string resolved;
  for (const auto segment : segments) {
    if (!resolved.empty()) resolved += '/';
    resolved += segment;
  }
  return resolved;
}

}  // namespace kvd507::spreadsheet::xlsx
