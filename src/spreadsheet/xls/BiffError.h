#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "spreadsheet/WorkbookError.h"

namespace kvd507::spreadsheet::xls {

// A BIFF stream that cannot be read: damaged, encrypted or of an older version. Thrown deep
// inside the parser, where the file and sheet are not known, with the offset of the record at
// fault in the stream where there is one; the workbook adds the file and the sheet.
class BiffError : public WorkbookError {
 public:
  BiffError(const std::string& detail, std::optional<std::size_t> recordOffset,
            ErrorKind kind = ErrorKind::kWorkbookDamaged)
      : WorkbookError(kind, place(recordOffset), detail) {}

 private:
  static ErrorPlace place(std::optional<std::size_t> recordOffset) {
    ErrorPlace at;
    if (recordOffset) at.offset = *recordOffset;
    return at;
  }
};

}  // namespace kvd507::spreadsheet::xls
