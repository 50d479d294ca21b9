// Feeds arbitrary bytes to the .xls reader as the Workbook stream of a compound file and reads
// every worksheet to the end. Damage must end in WorkbookError, never in a crash or a hang.
// Seeds: fuzz/corpus/xls.

#include <cstddef>
#include <cstdint>
#include <string>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xls/BiffWorkbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kvd507::spreadsheet;
  try {
    xls::BiffWorkbook book("fuzz.xls", std::string(reinterpret_cast<const char*>(data), size));
    for (std::size_t i = 0; i < book.sheetNames().size(); ++i) {
      // A narrow and the widest column limit take different paths through the records.
      for (const std::uint32_t maxColumn : {3u, 256u}) {
        auto rows = book.openSheet(i, maxColumn);
        RawRow row;
        while (rows->next(row)) {
        }
      }
    }
  } catch (const WorkbookError&) {
  }
  return 0;
}
