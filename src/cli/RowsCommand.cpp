#include "cli/RowsCommand.h"

#include <optional>

#include "rows/RowTable.h"
#include "workbook/DecimalSeparator.h"
#include "workbook/SheetReader.h"
#include "workbook/Workbook.h"
#include "workbook/WorkbookError.h"

namespace kvd507::cli {
namespace {

class SilentStatus : public rows::StatusSink {
 public:
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
};

void printTable(const char* kind, const rows::RowTable& table, std::ostream& out) {
  std::string line;
  for (const rows::TEilute& row : table) {
    line = kind;
    for (const std::string& cell : row) {
      line += '\t';
      line += escapeField(cell);
    }
    line += '\n';
    out << line;
  }
}

}  // namespace

std::string escapeField(const std::string& cell) {
  std::string field;
  field.reserve(cell.size());
  for (char c : cell) {
    switch (c) {
      case '\\':
        field += "\\\\";
        break;
      case '\t':
        field += "\\t";
        break;
      case '\r':
        field += "\\r";
        break;
      case '\n':
        field += "\\n";
        break;
      default:
        field += c;
    }
  }
  return field;
}

int runRowsCommand(const std::string& workbookPath, std::ostream& out, std::ostream& err) {
  const char separator = workbook::decimalSeparatorFromEnvironment();
  std::optional<workbook::Workbook> book;
  try {
    book.emplace(workbook::Workbook::open(workbookPath));
  } catch (const workbook::WorkbookError& e) {
    err << "kvd507: " << e.what() << '\n';
    return 1;
  }
  SilentStatus status;
  rows::RowTable lRows;
  rows::RowTable uRows;
  for (const auto& stop : {workbook::ReadLSheet(*book, lRows, status, separator),
                           workbook::ReadUSheet(*book, uRows, status, separator)}) {
    if (stop) err << "kvd507: įspėjimas: skaitymas sustojo: " << stop->describe() << '\n';
  }
  printTable("L", lRows, out);
  printTable("U", uRows, out);
  return 0;
}

}  // namespace kvd507::cli
