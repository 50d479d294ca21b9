#include "cli/RowsCommand.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "errors/Error.h"
#include "errors/Headlines.h"
#include "intake/ReadStops.h"
#include "intake/SheetReader.h"
#include "rows/RowTable.h"
#include "runs/WorkbookMissing.h"
#include "spreadsheet/DecimalSeparator.h"
#include "spreadsheet/Workbook.h"

namespace kvd507::cli {
namespace {

class SilentStatus : public rows::StatusSink {
 public:
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
};

// The bytes that appendField writes as two, leaves out (control characters: a value holding
// ESC or BEL would drive the terminal it is printed on) or looks at with the next byte (0xC2
// starts the C1 controls). A table, since every byte printed is looked up.
constexpr std::array<bool, 256> kNeedsEscape = [] {
  std::array<bool, 256> table{};
  for (unsigned c = 0; c < 0x20; ++c) table[c] = true;
  table['\\'] = true;
  table[0x7F] = true;
  table[0xC2] = true;
  return table;
}();

// The length of the control character at the start of `text`, or 0: C0 and DEL, and the C1
// controls U+0080 to U+009F (CSI among them) in their UTF-8 form.
std::size_t controlLength(std::string_view text) {
  const auto c = static_cast<unsigned char>(text[0]);
  if (c < 0x20 || c == 0x7F) return 1;
  if (c == 0xC2 && text.size() > 1) {
    const auto next = static_cast<unsigned char>(text[1]);
    if (next >= 0x80 && next <= 0x9F) return 2;
  }
  return 0;
}

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
    cell.remove_prefix(plain);
    std::size_t length = 1;
    switch (cell[0]) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\r':
        line += "\\r";
        break;
      case '\n':
        line += "\\n";
        break;
      default:
        length = controlLength(cell);
        if (length == 0) {  // 0xC2 starting a letter
          line += cell[0];
          length = 1;
        }
        break;
    }
    cell.remove_prefix(length);
  }
}

void printRows(const char* kind, const rows::RowTable& table, std::ostream& out) {
  std::string line;
  for (const rows::PaymentRow& row : table) {
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
  const char separator = spreadsheet::decimalSeparatorFromEnvironment();
  rows::RowTable lRows;
  rows::RowTable uRows;
  intake::ReadStops stops;
  try {
    spreadsheet::Workbook book = spreadsheet::Workbook::open(workbookPath);
    SilentStatus status;
    intake::readLSheet(book, lRows, status, separator, stops);
    intake::readUSheet(book, uRows, status, separator, stops);
  } catch (...) {
    const Error error = currentError();
    err << "kvd507: "
        << oneLine(
               headline::badlyFilledFile(std::filesystem::path(workbookPath).filename().string()) +
               ": " + error.cause(workbookPath))
        << '\n';
    if (verbose && !error.detail().empty()) err << "kvd507: " << oneLine(error.detail()) << '\n';
    return kExitFailure;
  }
  for (const rows::Finding& stop : stops.stops()) {
    err << "kvd507: įspėjimas: " << intake::readStopWarning(stop) << '\n';
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
