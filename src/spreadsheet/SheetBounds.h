#pragma once

#include <cstddef>
#include <cstdint>

#include "errors/Error.h"

namespace kvd507::spreadsheet {

// The largest sheet a spreadsheet application saves by default: rows 1 to 1,048,576, columns A
// to XFD. A file that claims filled rows or cells past them was not saved by one; it is refused
// rather than read, since its claims may cost far more than its bytes.
inline constexpr std::uint64_t kMaxSheetRows = 1048576;
inline constexpr std::uint64_t kMaxSheetColumns = 16384;

// All the text one sheet hands to its reader, every repeated row and every shared string counted
// as often as it is handed on. A template of a million rows of a hundred characters stays far
// below it; a small file that repeats long texts is refused when it gets there.
inline constexpr std::size_t kMaxSheetText = std::size_t{256} << 20;

// Whether an error concerns the size of a sheet as a whole, which no one row is to blame for.
inline bool isSheetWide(ErrorKind kind) {
  return kind == ErrorKind::kTooManyRows;
}

}  // namespace kvd507::spreadsheet
