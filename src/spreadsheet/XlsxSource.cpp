#include "spreadsheet/XlsxSource.h"

#include <optional>
#include <string>
#include <vector>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/CellStyles.h"
#include "spreadsheet/xlsx/InflateLimits.h"
#include "spreadsheet/xlsx/Relationships.h"
#include "spreadsheet/xlsx/SharedStrings.h"
#include "spreadsheet/xlsx/SheetScan.h"
#include "spreadsheet/xlsx/WorkbookPart.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet {
namespace xlsx {
namespace {

constexpr std::string_view kDefaultWorkbookPart = "xl/workbook.xml";

const Relationship* findKind(const std::vector<Relationship>& relationships,
                             std::string_view kind) {
  for (const auto& relationship : relationships) {
    if (!relationship.external && relationship.isKind(kind)) return &relationship;
  }
  return nullptr;
}

const Relationship* findId(const std::vector<Relationship>& relationships, std::string_view id) {
  for (const auto& relationship : relationships) {
    if (relationship.id == id) return &relationship;
  }
  return nullptr;
}

class XlsxWorkbook : public WorkbookSource {
 public:
  XlsxWorkbook(const std::filesystem::path& file, const InflateLimits& limits)
      : limits_(limits), archive_(file, limits.total) {
    workbookPart_ = findWorkbookPart();
    const WorkbookPart workbook = readWorkbookPart(archive_, workbookPart_, limits_.otherPart);
    date1904_ = workbook.date1904;
    const auto relationships = readRelationships(archive_, workbookPart_, limits_.otherPart);
    for (const auto& sheet : workbook.sheets) {
      // Chart sheets, dialog sheets and macro sheets have cells of no interest.
      const Relationship* target = findId(relationships, sheet.relationshipId);
      if (target == nullptr || target->external || !target->isKind("worksheet")) continue;
      names_.push_back(sheet.name);
      sheetParts_.push_back(target->target);
    }
    stringsPart_ = partOfKind(relationships, "sharedStrings", "sharedStrings.xml");
    stylesPart_ = partOfKind(relationships, "styles", "styles.xml");
  }

  const std::vector<std::string>& sheetNames() const override { return names_; }

  std::unique_ptr<RowSource> openSheet(std::size_t index, std::uint32_t maxColumn) override {
    if (index >= sheetParts_.size()) {
      throw WorkbookError(ErrorKind::kNoSuchSheet, {archive_.fileName()},
                          "the workbook has no worksheet number " + std::to_string(index + 1));
    }
    loadContext();
    return std::make_unique<SheetScan>(archive_, sheetParts_[index], limits_.sheetPart, context_,
                                       maxColumn);
  }

 private:
  std::string findWorkbookPart() const {
    const auto relationships = readRelationships(archive_, "", limits_.otherPart);
    if (const Relationship* document = findKind(relationships, "officeDocument")) {
      if (archive_.contains(document->target)) return document->target;
    }
    if (archive_.contains(kDefaultWorkbookPart)) return std::string(kDefaultWorkbookPart);
    throw WorkbookError(ErrorKind::kNotAWorkbook, {archive_.fileName()},
                        "the zip archive holds no workbook part: not an .xlsx workbook");
  }

  // The part a relationship of the workbook names, or the usual name beside the workbook part
  // when the relationship is missing.
  std::optional<std::string> partOfKind(const std::vector<Relationship>& relationships,
                                        std::string_view kind, std::string_view usualName) const {
    if (const Relationship* found = findKind(relationships, kind)) {
      if (archive_.contains(found->target)) return found->target;
    }
    std::string usual = resolveTarget(workbookPart_, usualName);
    if (archive_.contains(usual)) return usual;
    return std::nullopt;
  }

  void loadContext() {
    if (context_.strings) return;
    context_.styles = std::make_shared<const CellStyles>(
        stylesPart_ ? CellStyles::read(archive_, *stylesPart_, limits_.otherPart) : CellStyles());
    context_.strings = std::make_shared<const SharedStrings>(
        stringsPart_ ? SharedStrings::read(archive_, *stringsPart_, limits_.otherPart)
                     : SharedStrings());
    context_.date1904 = date1904_;
  }

  InflateLimits limits_;
  mutable ZipArchive archive_;
  std::string workbookPart_;
  bool date1904_ = false;
  std::vector<std::string> names_;
  std::vector<std::string> sheetParts_;
  std::optional<std::string> stringsPart_;
  std::optional<std::string> stylesPart_;
  SheetContext context_;
};

}  // namespace

std::unique_ptr<WorkbookSource> openXlsxSource(const std::filesystem::path& file,
                                               const InflateLimits& limits) {
  return std::make_unique<XlsxWorkbook>(file, limits);
}

}  // namespace xlsx

std::unique_ptr<WorkbookSource> openXlsxSource(const std::filesystem::path& file) {
  return xlsx::openXlsxSource(file, xlsx::InflateLimits());
}

}  // namespace kvd507::spreadsheet
