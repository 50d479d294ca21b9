#include "spreadsheet/XlsSource.h"

#include "spreadsheet/xls/BiffWorkbook.h"
#include "spreadsheet/xls/CompoundFile.h"

namespace kvd507::spreadsheet {

std::unique_ptr<WorkbookSource> openXlsSource(const std::filesystem::path& file) {
  return std::make_unique<xls::BiffWorkbook>(file.string(), xls::readWorkbookStream(file));
}

}  // namespace kvd507::spreadsheet
