#pragma once

#include "errors/Error.h"

namespace kvd507::spreadsheet {

// Anything that goes wrong while reading a workbook: the file cannot be read, or its structure
// is damaged. Carries the place it concerns so that the user can find it: the file always, the
// sheet and row when the failure belongs to one.
class WorkbookError : public Error {
 public:
  using Error::Error;
  explicit WorkbookError(const Error& error) : Error(error) {}
};

// A cell whose value has no text: an error value such as #N/A, or a formula without a result.
// Unlike damage, it ends only the reading of its sheet.
class CellError : public WorkbookError {
 public:
  using WorkbookError::WorkbookError;
};

using kvd507::columnName;

}  // namespace kvd507::spreadsheet
