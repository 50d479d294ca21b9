#include "spreadsheet/ods/Package.h"

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/XmlReader.h"

namespace kvd507::spreadsheet::ods {
namespace {

constexpr std::string_view kMimetypeEntry = "mimetype";
constexpr std::string_view kManifestEntry = "META-INF/manifest.xml";
constexpr std::size_t kMaxMediaType = 256;

class ManifestHandler : public xlsx::XmlHandler {
 public:
  xlsx::XmlAction startElement(std::string_view name, const char**) override {
    if (name != "encryption-data") return xlsx::XmlAction::Continue;
    encrypted_ = true;
    return xlsx::XmlAction::Stop;
  }
  xlsx::XmlAction endElement(std::string_view) override { return xlsx::XmlAction::Continue; }
  void characters(std::string_view) override {}

  bool encrypted() const { return encrypted_; }

 private:
  bool encrypted_ = false;
};

}  // namespace

std::optional<std::string> packageMediaType(xlsx::ZipArchive& archive) {
  if (!archive.contains(kMimetypeEntry)) return std::nullopt;
  xlsx::ZipEntry entry = archive.open(kMimetypeEntry, kMaxMediaType);
  std::string type(kMaxMediaType, '\0');
  std::size_t size = 0;
  while (size < type.size()) {
    const std::size_t got = entry.read(type.data() + size, type.size() - size);
    if (got == 0) break;
    size += got;
  }
  type.resize(size);
  while (!type.empty() && (type.back() == '\n' || type.back() == '\r' || type.back() == ' ')) {
    type.pop_back();
  }
  return type;
}

bool isEncrypted(xlsx::ZipArchive& archive, std::uint64_t limit) {
  if (!archive.contains(kManifestEntry)) return false;
  ManifestHandler handler;
  xlsx::XmlReader reader(archive.open(kManifestEntry, limit), handler);
  reader.readAll();
  return handler.encrypted();
}

bool isOpenDocument(const std::filesystem::path& file) {
  std::optional<xlsx::ZipArchive> archive;
  try {
    archive.emplace(file, kMaxMediaType);
  } catch (const WorkbookError&) {
    return false;  // the .xlsx reader says what is wrong with the zip archive
  }
  if (!archive->contains(kMimetypeEntry)) return false;
  try {
    return packageMediaType(*archive)->starts_with("application/vnd.oasis.opendocument.");
  } catch (const WorkbookError&) {
    return true;  // a damaged mimetype entry: the .ods reader tells
  }
}

}  // namespace kvd507::spreadsheet::ods
