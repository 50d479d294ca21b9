// Feeds arbitrary bytes to the .xlsx reader as a workbook file and reads every worksheet to the
// end. Damage must end in WorkbookError, never in a crash, a hang or runaway memory.
// Seeds: fuzz/corpus/xlsx.

#include <cstddef>
#include <cstdint>
#include <limits>

#include "ZipWorkbookInput.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/XlsxSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kvd507;
  const auto file = fuzz::writeInputFile(data, size, "xlsx");
  try {
    const auto book = spreadsheet::xlsx::openXlsxSource(file, fuzz::shortRunLimits());
    fuzz::readEverySheet(*book, std::numeric_limits<std::size_t>::max());
  } catch (const spreadsheet::WorkbookError&) {
  }
  return 0;
}
