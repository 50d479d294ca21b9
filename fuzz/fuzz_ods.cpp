// Feeds arbitrary bytes to the .ods reader as a workbook file and reads every worksheet to the
// end. Damage must end in WorkbookError, never in a crash, a hang or runaway memory.
// Seeds: fuzz/corpus/ods; dictionary: fuzz/ods.dict.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "workbook/OdsSource.h"
#include "workbook/RowSource.h"
#include "workbook/WorkbookError.h"

namespace {

// The reader opens files by name, so each input goes through one file of this process.
const std::filesystem::path& inputFile() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("fuzz_ods_" + std::to_string(getpid()) + ".ods");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kvd507::workbook;
  {
    std::ofstream out(inputFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // Lower limits than the usual ones keep each run short; the counting is the same.
  xlsx::InflateLimits limits;
  limits.sheetPart = 64 << 20;
  limits.otherPart = 16 << 20;
  limits.total = 128 << 20;
  try {
    const auto book = ods::openOdsSource(inputFile(), limits);
    for (std::size_t i = 0; i < book->sheetNames().size(); ++i) {
      // A narrow and the widest column limit take different paths through the cells.
      for (const std::uint32_t maxColumn : {3u, 16384u}) {
        const auto rows = book->openSheet(i, maxColumn);
        RawRow row;
        // A filled row repeated a million times is handed out a million times, as a reader
        // asking for each of them would get it; a bounded number of rows keeps a run short.
        for (int count = 0; count < 2000 && rows->next(row); ++count) {
        }
      }
    }
  } catch (const WorkbookError&) {
  }
  return 0;
}
