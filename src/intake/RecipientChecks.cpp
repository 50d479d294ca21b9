#include "intake/RecipientChecks.h"

#include <optional>
#include <string>

#include "rows/Identifiers.h"
#include "rows/Text.h"
#include "spreadsheet/WorkbookError.h"
#include "text/Clock.h"

namespace kvd507::intake {
namespace {

using rows::Finding;

// On both sheets the identification columns start with the personal code and the company code
// and end with the date of birth.
constexpr std::uint32_t kPersonalCode = 0;
constexpr std::uint32_t kCompanyCode = 1;

std::string quoted(const std::string& text) {
  return rows::quotedValue(text);
}

}  // namespace

void checkRecipient(const SheetLayout& layout, std::uint32_t rowNumber, const RowCells& cells,
                    rows::FindingSink& findings) {
  const auto add = [&](Finding::Kind kind, std::uint32_t column, std::string text) {
    findings.add({kind, std::string(layout.name), rowNumber, columnName(column), std::move(text)});
  };
  const rows::CalendarDate today = text::today();
  const std::uint32_t first = layout.firstIdentifierColumn;
  const std::uint32_t birthDate = first + layout.identifierCount - 1;
  std::string filled;
  std::uint32_t filledCount = 0;
  for (std::uint32_t column = first; column <= birthDate; ++column) {
    const std::string& text = cells[column].text;
    if (text.empty()) continue;
    filled += (filledCount++ == 0 ? "" : ", ") + columnName(column);
    std::optional<std::string> fault;
    if (column == first + kPersonalCode) {
      if ((fault = rows::personalCodeFault(text, today))) {
        add(Finding::Kind::OddPersonalCode, column, "asmens kodas " + quoted(text) + ": " + *fault);
      }
    } else if (column == first + kCompanyCode) {
      if ((fault = rows::companyCodeFault(text))) {
        add(Finding::Kind::OddCompanyCode, column, "įmonės kodas " + quoted(text) + ": " + *fault);
      }
    } else if (column == birthDate) {
      if ((fault = rows::birthDateFault(text, today))) {
        add(Finding::Kind::OddBirthDate, column, "gimimo data " + quoted(text) + ": " + *fault);
      }
    }
  }
  if (filledCount > 1) {
    findings.add({Finding::Kind::SeveralIdentifiers, std::string(layout.name), rowNumber,
                  columnName(first) + "–" + columnName(birthDate),
                  "užpildyti keli identifikavimo stulpeliai (" + filled +
                      "); formoje naudojamas tik pirmasis"});
  }
}

}  // namespace kvd507::intake
