#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "workbook/RowSource.h"
#include "workbook/xls/BiffGlobals.h"

namespace kvd507::workbook::xls {

// A workbook read from the bytes of its BIFF8 "Workbook" stream, taken out of the compound
// file beforehand. `fileName` names the file in errors.
class BiffWorkbook final : public WorkbookSource {
 public:
  // Reads the sheet list, shared strings and formats. Throws WorkbookError.
  BiffWorkbook(std::string fileName, std::string stream);

  const std::vector<std::string>& sheetNames() const override { return names_; }
  // Reads the whole sheet (within `maxColumn`) at once. Throws WorkbookError naming the sheet
  // when its records are damaged.
  std::unique_ptr<RowSource> openSheet(std::size_t index, std::uint32_t maxColumn) override;

 private:
  std::string fileName_;
  std::string stream_;
  BiffGlobals globals_;
  std::vector<std::string> names_;
};

}  // namespace kvd507::workbook::xls
