// What the .xlsx and .ods targets share: both readers open files by name, unpack with the same
// limits and hand out rows the same way.

#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/xlsx/InflateLimits.h"

namespace kvd507::fuzz {

// Writes the input to this process's own file with the given extension and returns its path.
inline std::filesystem::path writeInputFile(const std::uint8_t* data, std::size_t size,
                                            const std::string& extension) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("fuzz_" + extension + "_" + std::to_string(getpid()) + "." + extension);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return file;
}

// Lower limits than the usual ones keep each run short; the counting is the same.
inline spreadsheet::xlsx::InflateLimits shortRunLimits() {
  spreadsheet::xlsx::InflateLimits limits;
  limits.sheetPart = 64 << 20;
  limits.otherPart = 16 << 20;
  limits.total = 128 << 20;
  return limits;
}

// Reads up to `maxRows` rows of every worksheet, once with a narrow and once with the widest
// column limit, which take different paths through the cells.
inline void readEverySheet(spreadsheet::WorkbookSource& book, std::size_t maxRows) {
  for (std::size_t i = 0; i < book.sheetNames().size(); ++i) {
    for (const std::uint32_t maxColumn : {3u, 16384u}) {
      const auto rows = book.openSheet(i, maxColumn);
      spreadsheet::RawRow row;
      for (std::size_t count = 0; count < maxRows && rows->next(row); ++count) {
      }
    }
  }
}

}  // namespace kvd507::fuzz
