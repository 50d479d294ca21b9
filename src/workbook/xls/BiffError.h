#pragma once

#include <stdexcept>
#include <string>

namespace kvd507::workbook::xls {

// A BIFF stream that cannot be read: damaged, encrypted or of an older version. Thrown deep
// inside the parser, where the file and sheet are not known; the workbook turns it into a
// WorkbookError that names them.
class BiffError : public std::runtime_error {
 public:
  explicit BiffError(const std::string& cause) : std::runtime_error(cause) {}
};

}  // namespace kvd507::workbook::xls
