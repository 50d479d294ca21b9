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
  } catch (const BiffError& e) {
    throw WorkbookError(fileName_, e.what());
  }
  for (const auto& sheet : globals_.worksheets) names_.push_back(sheet.name);
}

std::unique_ptr<RowSource> BiffWorkbook::openSheet(std::size_t index, std::uint32_t maxColumn) {
  if (index >= globals_.worksheets.size()) {
    throw WorkbookError(fileName_,
                        "the workbook has no worksheet number " + std::to_string(index + 1));
  }
  const auto& sheet = globals_.worksheets[index];
  try {
    return readBiffSheet(stream_, globals_, sheet.offset, maxColumn);
  } catch (const BiffError& e) {
    throw WorkbookError(fileName_, sheet.name, 0, 0, e.what());
  }
}

}  // namespace kvd507::workbook::xls
