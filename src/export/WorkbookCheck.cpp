#include "export/WorkbookCheck.h"

#include <functional>

#include "export/TemplateRow.h"
#include "intake/ReadStops.h"
#include "intake/SheetReader.h"
#include "rows/Amount.h"
#include "spreadsheet/Workbook.h"

namespace kvd507::exports {
namespace {

namespace cell = rows::cell;

class NoStatus : public rows::StatusSink {
 public:
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
};

bool sameCell(std::size_t index, const std::string& expected, const std::string& read) {
  if (index == cell::kAmount || index == cell::kSecondAmount) {
    return rows::parseAmount(expected) == rows::parseAmount(read);
  }
  return expected == read;
}

void compare(const rows::RowTable& expected, const rows::RowTable& read,
             const std::string& declaration, const std::function<FormSlot(std::size_t)>& slotOf) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (i >= read.size()) {
      throw RowNotInTemplate(declaration, slotOf(i), fieldOfCell(cell::kText),
                             "darbaknygėje ši eilutė būtų prarasta");
    }
    for (std::size_t c = 0; c < expected[i].size(); ++c) {
      if (sameCell(c, expected[i][c], read[i][c])) continue;
      throw RowNotInTemplate(declaration, slotOf(i), fieldOfCell(c),
                             "darbaknygėje reikšmė „" + expected[i][c] +
                                 "“ būtų perskaityta kaip „" + read[i][c] + "“");
    }
  }
}

}  // namespace

void checkReadsBack(const std::filesystem::path& workbook, const rows::RowTable& lRows,
                    const rows::RowTable& uRows, const std::string& declaration) {
  // The form writes amounts with a comma; the readers print them so.
  constexpr char kSeparator = ',';
  spreadsheet::Workbook book = spreadsheet::Workbook::open(workbook);
  rows::RowTable lRead;
  rows::RowTable uRead;
  NoStatus status;
  intake::ReadStops stops;
  intake::readLSheet(book, lRead, status, kSeparator, stops);
  intake::readUSheet(book, uRead, status, kSeparator, stops);
  if (!stops.stops().empty()) {
    throw Error(ErrorKind::kInternal, ErrorPlace(workbook.string()),
                "the workbook just written has a cell without text");
  }
  const std::size_t lCount = lRows.size();
  compare(lRows, lRead, declaration, [](std::size_t i) { return lSlot(i); });
  compare(uRows, uRead, declaration, [lCount](std::size_t i) { return uSlot(i, lCount); });
}

}  // namespace kvd507::exports
