#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/RawCell.h"

namespace kvd507::spreadsheet {

// The rows of one worksheet, read front to back. Where the format allows (.xlsx), an
// implementation streams and holds no more of the sheet than the row it is handing out; a
// .xls sheet is small enough to be held as the cells it keeps.
class RowSource {
 public:
  virtual ~RowSource() = default;

  // Fills `row` with the next row that has at least one cell within the column limit given
  // when the sheet was opened, in ascending row order, and returns true; returns false at the
  // end of the sheet. A row the file stores once for several (RawRow::repeat) is filled once.
  // Throws WorkbookError when the file is damaged.
  virtual bool next(RawRow& row) = 0;
};

// One open workbook file of a particular kind.
class WorkbookSource {
 public:
  virtual ~WorkbookSource() = default;

  // Worksheet names in workbook order. Chart sheets and macro sheets are not listed.
  virtual const std::vector<std::string>& sheetNames() const = 0;

  // The index into sheetNames() of the worksheet with exactly this name. A source that finds
  // its sheets as it reads may stop looking once it has found this one.
  virtual std::optional<std::size_t> findSheet(std::string_view name) const {
    const auto& names = sheetNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return i;
    }
    return std::nullopt;
  }

  // Opens the worksheet at `index` into sheetNames(). Cells right of `maxColumn` are never
  // handed out (and need not be kept). The source stays valid while this object lives.
  virtual std::unique_ptr<RowSource> openSheet(std::size_t index, std::uint32_t maxColumn) = 0;

  // Says that the worksheet with this name is to be opened later, with this column limit, so
  // that a source which reads a sheet whole before its first row may read it meanwhile, on a
  // thread of its own. Nothing is reported here: what that reading meets, failure included,
  // comes out of openSheet() as if it had been met there.
  virtual void prepareSheet(std::string_view /*name*/, std::uint32_t /*maxColumn*/) {}
};

}  // namespace kvd507::spreadsheet
