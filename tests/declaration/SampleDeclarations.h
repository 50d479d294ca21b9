#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "declaration/DeclarationHeader.h"
#include "rows/PaymentRow.h"
#include "rows/RowTable.h"

namespace kvd507::test {

// A row from its first cells; the rest stay empty.
rows::PaymentRow makeRow(std::initializer_list<std::string_view> cells);

rows::RowTable makeTable(std::initializer_list<rows::PaymentRow> rows);

// The inputs behind the expected files of tests/data/declaration_*.ffdata, with the payer and
// year the host answers and the header of the declaration being extended, if any.
struct SampleDeclaration {
  std::string file;
  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;
  std::string payerCode = "123456789";
  std::string payerName = "UAB PAVYZDYS";
  std::string year = "2023";
};

SampleDeclaration oneLRow();
SampleDeclaration emptyTables();
SampleDeclaration twelveLThreeUExtended();
SampleDeclaration valuesNeedingEscapes();

// Rows as the worksheet readers would give them, many pages of them.
rows::RowTable numberedLRows(std::size_t count);
rows::RowTable numberedURows(std::size_t count);

}  // namespace kvd507::test
