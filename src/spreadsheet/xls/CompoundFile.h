#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace kvd507::spreadsheet::xls {

// Larger than any workbook this program has reason to read; a bound on what a damaged or
// hostile file can make it allocate.
inline constexpr std::size_t kMaxWorkbookStream = std::size_t{512} << 20;

// The bytes of the BIFF8 "Workbook" stream of a compound file. Throws WorkbookError naming
// the file when it is not a readable compound file, holds no such stream, holds an Excel
// 5.0/95 workbook instead or is an encrypted .xlsx file.
std::string readWorkbookStream(const std::filesystem::path& file);

}  // namespace kvd507::spreadsheet::xls
