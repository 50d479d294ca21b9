#pragma once

#include <cstdint>
#include <memory>
#include <stop_token>
#include <string_view>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/xls/BiffGlobals.h"

namespace kvd507::spreadsheet::xls {

// Reads the worksheet whose records start at `offset` of a BIFF8 stream and hands out its
// rows. The cells of a BIFF sheet need not come in row order, so they are all read (those
// within `maxColumn`) and sorted before the first row is handed out; a cell stored twice
// reads as the later one. `globals` must outlive the result. Throws BiffError when the
// sheet's records are damaged. Once `stop` is requested it gives up and returns nothing.
std::unique_ptr<RowSource> readBiffSheet(std::string_view stream, const BiffGlobals& globals,
                                         std::uint32_t offset, std::uint32_t maxColumn,
                                         const std::stop_token& stop = {});

}  // namespace kvd507::spreadsheet::xls
