#include "workbook/XlsSource.h"

#include "workbook/WorkbookError.h"

namespace kvd507::workbook {

std::unique_ptr<WorkbookSource> openXlsSource(const std::filesystem::path& file) {
  throw WorkbookError(file.string(), "reading .xls files is not built yet");
}

}  // namespace kvd507::workbook
