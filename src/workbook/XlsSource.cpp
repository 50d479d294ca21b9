#include "workbook/XlsSource.h"

#include "workbook/xls/BiffWorkbook.h"
#include "workbook/xls/CompoundFile.h"

namespace kvd507::workbook {

std::unique_ptr<WorkbookSource> openXlsSource(const std::filesystem::path& file) {
  return std::make_unique<xls::BiffWorkbook>(file.string(), xls::readWorkbookStream(file));
}

}  // namespace kvd507::workbook
