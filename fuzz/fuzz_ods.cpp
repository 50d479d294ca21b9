// Feeds arbitrary bytes to the .ods reader as a workbook file and reads every worksheet to the
// end. Damage must end in WorkbookError, never in a crash, a hang or runaway memory.
// Seeds: fuzz/corpus/ods; dictionary: fuzz/dict/ods.dict.

#include <cstddef>
#include <cstdint>

#include "ZipWorkbookInput.h"
#include "spreadsheet/OdsSource.h"
#include "spreadsheet/WorkbookError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kvd507;
  const auto file = fuzz::writeInputFile(data, size, "ods");
  try {
    const auto book = spreadsheet::ods::openOdsSource(file, fuzz::shortRunLimits());
    // A filled row repeated a million times is handed out once; a bounded number of rows keeps
    // a run short all the same.
    fuzz::readEverySheet(*book, 2000);
  } catch (const spreadsheet::WorkbookError&) {
  }
  return 0;
}
