#include "cli/RowsCommand.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "errors/Error.h"
#include "rows/RowTable.h"
#include "workbook/DecimalSeparator.h"
#include "workbook/SheetReader.h"
#include "workbook/Workbook.h"

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
  rows::RowTable lRows;
  rows::RowTable uRows;
  std::vector<workbook::ReadStop> stops;
  try {
    workbook::Workbook book = workbook::Workbook::open(workbookPath);
    SilentStatus status;
    for (auto stop : {workbook::ReadLSheet(book, lRows, status, separator),
                      workbook::ReadUSheet(book, uRows, status, separator)}) {
      if (stop) stops.push_back(std::move(*stop));
    }
  } catch (...) {
    const Error error = currentError();
    err << "kvd507: Blogai užpildytas failas "
        << std::filesystem::path(workbookPath).filename().string() << ": "
        << error.cause(workbookPath) << '\n';
    if (!error.detail().empty()) err << "kvd507: " << error.detail() << '\n';
    return 1;
  }
  for (const auto& stop : stops) {
    err << "kvd507: įspėjimas: skaitymas sustojo: " << stop.describe() << '\n';
  }
  printTable("L", lRows, out);
  printTable("U", uRows, out);
  return 0;
}

}  // namespace kvd507::cli
