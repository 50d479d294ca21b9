#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "intake/SheetLayout.h"

namespace kvd507::exports {

// What the template in `sablonas` shows above its data rows, sheet by sheet: the title in A1,
// the column headings of rows 2 to 5 with their merged cells, and each column's width and
// number format. A workbook written from a declaration is laid out the same, so that it reads
// and prints as one the user filled in himself.

// One heading cell; a merged one spans to (lastRow, lastColumn). Rows and columns 1-based.
struct HeadingCell {
  std::uint32_t row;
  std::uint32_t column;
  std::uint32_t lastRow;
  std::uint32_t lastColumn;
  std::string text;

  bool merged() const { return lastRow != row || lastColumn != column; }
};

// How a column's cells show their values.
enum class ColumnFormat {
  kGeneral,  // column A, the row numbers
  kText,     // "@": codes keep their leading zeros
  kDate,     // "yyyy-mm-dd", the birth date column
  kAmount,   // "0.00"
};

struct TemplateColumn {
  double width;
  ColumnFormat format;
};

struct TemplateSheet {
  const intake::SheetLayout* layout;    // where the readers take each value from
  std::string title;                    // A1
  std::vector<HeadingCell> headings;    // rows 2 to 5
  std::vector<TemplateColumn> columns;  // from column A
};

inline constexpr std::uint32_t kTitleRow = 1;
inline constexpr std::uint32_t kLastHeadingRow = 5;
// Rows 3 and 4 hold the long headings, wrapped.
inline constexpr double kTallHeadingRowHeight = 45;

const TemplateSheet& lTemplate();
const TemplateSheet& uTemplate();

}  // namespace kvd507::exports
