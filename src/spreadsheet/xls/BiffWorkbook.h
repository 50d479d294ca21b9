#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/xls/BiffGlobals.h"

namespace kvd507::spreadsheet::xls {

// A workbook read from the bytes of its BIFF8 "Workbook" stream, taken out of the compound
// file beforehand. `fileName` names the file in errors.
class BiffWorkbook final : public WorkbookSource {
 public:
  // Reads the sheet list, shared strings and formats. Throws WorkbookError.
  BiffWorkbook(std::string fileName, std::string stream);
  BiffWorkbook(const BiffWorkbook&) = delete;
  BiffWorkbook& operator=(const BiffWorkbook&) = delete;
  // Stops reading a prepared sheet nobody asked for, and waits for it.
  ~BiffWorkbook() override;

  const std::vector<std::string>& sheetNames() const override { return names_; }
  // Reads the whole sheet (within `maxColumn`) at once. Throws WorkbookError naming the sheet
  // when its records are damaged.
  std::unique_ptr<RowSource> openSheet(std::size_t index, std::uint32_t maxColumn) override;
  // Starts reading the sheet on a thread of its own; openSheet() takes what it read, or the
  // failure it met. One sheet at a time: a second call while one is prepared does nothing.
  void prepareSheet(std::string_view name, std::uint32_t maxColumn) override;

 private:
  struct PreparedSheet {
    std::size_t index;
    std::uint32_t maxColumn;
    std::future<std::unique_ptr<RowSource>> rows;
  };

  std::string fileName_;
  std::string stream_;
  BiffGlobals globals_;
  std::vector<std::string> names_;
  std::stop_source stopPreparing_;
  // Last: the reading it waits for uses the members above.
  std::optional<PreparedSheet> prepared_;
};

}  // namespace kvd507::spreadsheet::xls
