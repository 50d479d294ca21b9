#include "spreadsheet/OdsSource.h"

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/ods/ContentStream.h"
#include "spreadsheet/ods/Package.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet {
namespace ods {
namespace {

constexpr std::string_view kSpreadsheetType = "application/vnd.oasis.opendocument.spreadsheet";
constexpr std::string_view kTemplateType =
    "application/vnd.oasis.opendocument.spreadsheet-template";
constexpr std::string_view kContentPart = "content.xml";

class OdsWorkbook;

// The rows of one table, read from a stream that the workbook lends; the stream goes back to
// the workbook afterwards, so that finding the next table goes on from where the rows ended
// instead of parsing the part again from its start.
class OdsRows : public RowSource {
 public:
  OdsRows(OdsWorkbook& workbook, std::unique_ptr<ContentStream> stream)
      : workbook_(workbook), stream_(std::move(stream)) {}
  ~OdsRows() override;

  bool next(RawRow& row) override { return stream_->nextRow(row); }

 private:
  OdsWorkbook& workbook_;
  std::unique_ptr<ContentStream> stream_;
};

// All sheets are tables in the one content part, in document order. Their names are found as
// they are asked for, by the same stream that then reads their rows: a workbook whose first
// sheet is read before the second is looked up is parsed once.
class OdsWorkbook : public WorkbookSource {
 public:
  OdsWorkbook(const std::filesystem::path& file, const xlsx::InflateLimits& limits)
      : limits_(limits), archive_(file, limits.total) {
    const auto type = packageMediaType(archive_);
    if (!type) {
      throw WorkbookError(ErrorKind::kNotAWorkbook, {archive_.fileName()},
                          "the zip archive has no mimetype entry: not an "
                          "OpenDocument spreadsheet");
    }
    if (*type != kSpreadsheetType && *type != kTemplateType) {
      throw WorkbookError(
          ErrorKind::kNotAWorkbook, {archive_.fileName()},
          "an OpenDocument file of another kind (" + *type + "), not a spreadsheet");
    }
    if (isEncrypted(archive_, limits_.otherPart)) {
      throw WorkbookError(ErrorKind::kWorkbookEncrypted, {archive_.fileName()},
                          "the spreadsheet is saved with a password (encrypted); save it again "
                          "without one");
    }
    // Reads up to the first table: a content part that is not even well-formed up to there
    // fails here, as a damaged workbook part of an .xlsx does.
    findMore(1);
  }

  const std::vector<std::string>& sheetNames() const override {
    findMore(std::numeric_limits<std::size_t>::max());
    return names_;
  }

  std::optional<std::size_t> findSheet(std::string_view name) const override {
    for (std::size_t i = 0;; ++i) {
      if (i == names_.size() && !findMore(i + 1)) return std::nullopt;
      if (names_[i] == name) return i;
    }
  }

  std::unique_ptr<RowSource> openSheet(std::size_t index, std::uint32_t maxColumn) override {
    if (!findMore(index + 1)) {
      throw WorkbookError(ErrorKind::kNoSuchSheet, {archive_.fileName()},
                          "the workbook has no worksheet number " + std::to_string(index + 1));
    }
    std::unique_ptr<ContentStream> stream;
    if (spare_ && spare_->tablesFound() == index + 1 && spare_->atTableStart()) {
      stream = std::move(spare_);
    } else if (spare_ && spare_->tablesFound() <= index) {
      stream = std::move(spare_);
      advance(*stream, index + 1);
    } else {
      stream = freshStream();
      advance(*stream, index + 1);
    }
    stream->setMaxColumn(maxColumn);
    return std::make_unique<OdsRows>(*this, std::move(stream));
  }

  // A stream that a table's rows no longer need, kept when it has come further than the spare.
  void giveBack(std::unique_ptr<ContentStream> stream) {
    if (!spare_ || stream->tablesFound() > spare_->tablesFound()) spare_ = std::move(stream);
  }

 private:
  std::unique_ptr<ContentStream> freshStream() const {
    return std::make_unique<ContentStream>(archive_.open(kContentPart, limits_.sheetPart));
  }

  // Moves `stream` on until it has found `count` tables; their names are learnt on the way.
  bool advance(ContentStream& stream, std::size_t count) const {
    while (stream.tablesFound() < count) {
      auto name = stream.nextTable();
      if (!name) {
        complete_ = true;
        return false;
      }
      if (names_.size() < stream.tablesFound()) names_.push_back(std::move(*name));
    }
    return true;
  }

  // Makes sure that the names of the first `count` tables are known, if there are so many.
  bool findMore(std::size_t count) const {
    if (names_.size() >= count) return true;
    if (complete_) return false;
    // The spare has found every name known so far and goes on from there; a fresh stream (when
    // the spare is lent out for a table's rows) passes over the known ones again.
    if (!spare_) spare_ = freshStream();
    return advance(*spare_, count);
  }

  xlsx::InflateLimits limits_;
  mutable xlsx::ZipArchive archive_;
  mutable std::vector<std::string> names_;
  mutable bool complete_ = false;
  mutable std::unique_ptr<ContentStream> spare_;
};

OdsRows::~OdsRows() {
  workbook_.giveBack(std::move(stream_));
}

}  // namespace

std::unique_ptr<WorkbookSource> openOdsSource(const std::filesystem::path& file,
                                              const xlsx::InflateLimits& limits) {
  return std::make_unique<OdsWorkbook>(file, limits);
}

}  // namespace ods

std::unique_ptr<WorkbookSource> openOdsSource(const std::filesystem::path& file) {
  return ods::openOdsSource(file, xlsx::InflateLimits());
}

bool isOpenDocumentFile(const std::filesystem::path& file) {
  return ods::isOpenDocument(file);
}

}  // namespace kvd507::spreadsheet
