#include "workbook/xls/BiffWorkbook.h"

#include <utility>

#include "workbook/WorkbookError.h"
#include "workbook/xls/BiffError.h"
#include "workbook/xls/BiffSheet.h"

namespace kvd507::workbook::xls {

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

std::unique_ptr<RowSource> BiffWorkbook::openSheet(std::size_t index, std::uint32_t maxColumn) {
  if (index >= globals_.worksheets.size()) {
    throw WorkbookError(ErrorKind::kNoSuchSheet, {fileName_},
                        "the workbook has no worksheet number " + std::to_string(index + 1));
  }
  const auto& sheet = globals_.worksheets[index];
  try {
    return readBiffSheet(stream_, globals_, sheet.offset, maxColumn);
  } catch (BiffError& e) {
    e.setFile(fileName_);
    e.setSheet(sheet.name);
    throw;
  }
}

}  // namespace kvd507::workbook::xls
