#include "spreadsheet/xls/BiffWorkbook.h"

#include <utility>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xls/BiffError.h"
#include "spreadsheet/xls/BiffSheet.h"

namespace kvd507::spreadsheet::xls {

BiffWorkbook::BiffWorkbook(std::string fileName, std::string stream)
    : fileName_(std::move(fileName)), stream_(std::move(stream)) {
  try {
    globals_ = readBiffGlobals(stream_);
  } catch (BiffError& e) {
    e.setFile(fileName_);
    throw;
  }
  for (const auto& sheet : globals_.worksheets) names_.push_back(sheet.name);
}

BiffWorkbook::~BiffWorkbook() {
  stopPreparing_.request_stop();
  prepared_.reset();  // the future of std::async waits for its thread
}

void BiffWorkbook::prepareSheet(std::string_view name, std::uint32_t maxColumn) {
  if (prepared_) return;
  const auto index = findSheet(name);
  if (!index) return;
  const std::uint32_t offset = globals_.worksheets[*index].offset;
  try {
    // The stream and the globals are only read from here on, by any thread.
    prepared_ = PreparedSheet{*index, maxColumn,
                              std::async(std::launch::async, [this, offset, maxColumn,
                                                              stop = stopPreparing_.get_token()] {
                                return readBiffSheet(stream_, globals_, offset, maxColumn, stop);
                              })};
  } catch (...) {
    // No thread or memory to spare: the sheet is read when it is opened, as without the hint.
  }
}

std::unique_ptr<RowSource> BiffWorkbook::openSheet(std::size_t index, std::uint32_t maxColumn) {
  if (index >= globals_.worksheets.size()) {
    throw WorkbookError(ErrorKind::kNoSuchSheet, {fileName_},
                        "the workbook has no worksheet number " + std::to_string(index + 1));
  }
  const auto& sheet = globals_.worksheets[index];
  try {
    if (prepared_ && prepared_->index == index && prepared_->maxColumn == maxColumn) {
      std::future<std::unique_ptr<RowSource>> rows = std::move(prepared_->rows);
      prepared_.reset();
      return rows.get();
    }
    return readBiffSheet(stream_, globals_, sheet.offset, maxColumn);
  } catch (BiffError& e) {
    e.setFile(fileName_);
    e.setSheet(sheet.name);
    throw;
  }
}

}  // namespace kvd507::spreadsheet::xls
