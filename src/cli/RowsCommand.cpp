#include "cli/RowsCommand.h"

#include <optional>
#include <utility>

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
    return kExitFailure;
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
  return kExitWritten;
}

Command rowsCommand() {
  CommandSpec spec;
  spec.name = "rows";
  spec.operands = "DARBAKNYGĖ";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary =
      "Išveda kiekvieną įrašą, kurį programa perskaito iš darbaknygės: eilutėje \"L\" arba "
      "\"U\" ir 14 langelių, atskirtų tabuliacija (\\, tabuliacija ir eilučių lūžiai rašomi "
      "kaip \\\\, \\t, \\r, \\n).";
  spec.exitStatuses =
      "  0  įrašai išvesti (ir tada, kai skaitymas sustojo ties langeliu, kurio reikšmė neturi "
      "teksto; apie tai įspėjama)\n"
      "  1  darbaknygės nepavyko atidaryti\n"
      "  2  neteisinga komandinė eilutė\n";
  return {std::move(spec),
          [](const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
            return runRowsCommand(arguments.operands.at(0), out, err);
          }};
}

}  // namespace kvd507::cli
