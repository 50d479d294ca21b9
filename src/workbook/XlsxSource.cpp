#include "workbook/XlsxSource.h"

#include "workbook/WorkbookError.h"

namespace kvd507::workbook {

std::unique_ptr<WorkbookSource> openXlsxSource(const std::filesystem::path& file) {
  throw WorkbookError(file.string(), "reading .xlsx files is not built yet");
}

}  // namespace kvd507::workbook
