#include "cli/RowsCommand.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "errors/Error.h"
#include "rows/RowTable.h"
#include "runs/WorkbookMissing.h"
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

// The bytes that appendField writes as two. A table, since every byte printed is looked up.
constexpr std::array<bool, 256> kNeedsEscape = [] {
  std::array<bool, 256> table{};
  for (const unsigned char c : {'\\', '\t', '\r', '\n'}) table[c] = true;
  return table;
}();

bool needsEscape(char c) {
  return kNeedsEscape[static_cast<unsigned char>(c)];
}

}  // namespace

std::string escapeField(const std::string& cell) {
  std::string field;
  field.reserve(cell.size());
  appendField(field, cell);
  return field;
}

void appendField(std::string& line, std::string_view cell) {
  while (!cell.empty()) {
    // Runs of plain bytes, nearly always the whole cell, are copied at once.
    const auto special = std::find_if(cell.begin(), cell.end(), needsEscape);
    const auto plain = static_cast<std::size_t>(special - cell.begin());
    line.append(cell.substr(0, plain));
    if (plain == cell.size()) return;
    switch (cell[plain]) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\r':
        line += "\\r";
        break;
      default:
        line += "\\n";
        break;
    }
    cell.remove_prefix(plain + 1);
  }
}

void printRows(const char* kind, const rows::RowTable& table, std::ostream& out) {
  std::string line;
  for (const rows::TEilute& row : table) {
    line = kind;
    for (const std::string& cell : row) {
      line += '\t';
      appendField(line, cell);
    }
    line += '\n';
    out << line;
  }
}

int runRowsCommand(const std::string& workbookPath, std::ostream& out, std::ostream& err,
                   bool verbose) {
  if (auto missing = runs::workbookMissing(workbookPath)) {
    err << "kvd507: " << *missing << '\n';
    return kExitFailure;
  }
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
    err << "kvd507: "
        << oneLine("Blogai užpildytas failas " +
                   std::filesystem::path(workbookPath).filename().string() + ": " +
                   error.cause(workbookPath))
        << '\n';
    if (verbose && !error.detail().empty()) err << "kvd507: " << oneLine(error.detail()) << '\n';
    return kExitFailure;
  }
  for (const auto& stop : stops) {
    err << "kvd507: įspėjimas: skaitymas sustojo: " << stop.describe() << '\n';
  }
  printRows("L", lRows, out);
  printRows("U", uRows, out);
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
  spec.options = {verboseOption()};
  spec.exitStatuses =
      "  0  įrašai išvesti (ir tada, kai skaitymas sustojo ties langeliu, kurio reikšmė neturi "
      "teksto; apie tai įspėjama)\n"
      "  1  darbaknygės nepavyko atidaryti arba ji sugadinta\n"
      "  2  neteisinga komandinė eilutė\n";
  return {std::move(spec),
          [](const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
            return runRowsCommand(arguments.operands.at(0), out, err, arguments.has("--verbose"));
          }};
}

}  // namespace kvd507::cli
