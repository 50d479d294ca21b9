#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "errors/Error.h"
#include "intake/SheetLayout.h"
#include "rows/PaymentRow.h"

namespace kvd507::exports {

// Where a declaration row stands in the form: its appendix ("L" or "U"), its page (the main
// page is 1) and its slot on that page.
struct FormSlot {
  std::string appendix;
  std::size_t page = 0;
  std::size_t slot = 0;
};

// The slot of the row at `index` of the L rows, and of the U rows after `lRows` L rows, as the
// declaration writer places them.
FormSlot lSlot(std::size_t index);
FormSlot uSlot(std::size_t index, std::size_t lRows);

// A declaration row that no row of the template gives back: a value in a field the workbook
// has no column for, or one the sheet reader would read as something else. The message names
// the page, the slot and the form's field.
class RowNotInTemplate : public Error {
 public:
  // `field` is the form's field number, 1 to 10 (U: 12 to 15 for the address cells).
  RowNotInTemplate(const std::string& declaration, FormSlot slot, std::size_t field,
                   std::string why);

  const FormSlot& slot() const { return slot_; }
  // In Lithuanian: "3 puslapis, 2 eilutė (L priedas, laukas L5-2): <why>".
  std::string describe() const;

 private:
  FormSlot slot_;
  std::size_t field_;
  std::string why_;
};

// The form's field number of a row cell: cells 0 to 9 are fields 1 to 10, the U row's cells 10
// to 13 are fields 12 to 15.
std::size_t fieldOfCell(std::size_t cell);

// One filled cell of a workbook row: a text, or an amount written as a number.
struct TemplateCell {
  std::uint32_t column = 0;  // 1-based
  std::string text;
  std::optional<double> amount;
};

// The cells of a workbook row that the sheet reader of `layout` reads back as `row`: the name
// with its escapes undone, the identifier in the column of its kind, the amount and code in the
// columns of the row's letter and N mark (a D-marked code with its "D" after it), the rate and
// the withheld tax, and on the U sheet the address cells. Throws RowNotInTemplate when the row
// holds what no workbook row gives.
std::vector<TemplateCell> templateCells(const rows::PaymentRow& row,
                                        const intake::SheetLayout& layout, const FormSlot& slot,
                                        const std::string& declaration);

// The name cell's text as typed: "&amp;" and "&quot;" back to "&" and '"'.
std::string unescapedName(std::string_view name);

}  // namespace kvd507::exports
