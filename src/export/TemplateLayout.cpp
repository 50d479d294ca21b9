#include "export/TemplateLayout.h"

#include <array>

namespace kvd507::exports {
namespace {

using intake::SheetLayout;

constexpr std::string_view kIdentifiersHeading =
    "Gavėjo identifikavimas (pildomas vienas stulpelis)";
constexpr std::array<std::string_view, 4> kGroupHeadings{
    "A", "B", "A, N — nuo kurios mokestis neišskaičiuotas",
    "B, N — nuo kurios mokestis neišskaičiuotas"};

// The heading cells of a sheet, from the columns its reader reads: both sheets are built the
// same way, the U sheet with the recipient's address columns and one identifier more.
std::vector<HeadingCell> headingsFor(const SheetLayout& layout,
                                     const std::vector<std::string_view>& extraHeadings,
                                     const std::vector<std::string_view>& identifierHeadings) {
  std::vector<HeadingCell> cells;
  auto spanning = [&cells](std::uint32_t column, std::string_view text) {
    cells.push_back({2, column, 4, column, std::string(text)});
  };
  spanning(1, "Eil. Nr.");
  spanning(2, "Gavėjo vardas, pavardė / pavadinimas");
  if (layout.extraCount != 0) {
    const std::uint32_t first = layout.firstExtraColumn;
    cells.push_back({2, first, 2, first + layout.extraCount - 1, "Gavėjo duomenys"});
    for (std::uint32_t i = 0; i < layout.extraCount; ++i) {
      cells.push_back({3, first + i, 4, first + i, std::string(extraHeadings[i])});
    }
  }
  const std::uint32_t firstIdentifier = layout.firstIdentifierColumn;
  cells.push_back({2, firstIdentifier, 2, firstIdentifier + layout.identifierCount - 1,
                   std::string(kIdentifiersHeading)});
  for (std::uint32_t i = 0; i < layout.identifierCount; ++i) {
    cells.push_back(
        {3, firstIdentifier + i, 4, firstIdentifier + i, std::string(identifierHeadings[i])});
  }
  const std::uint32_t firstGroup = layout.firstGroupColumn;
  cells.push_back({2, firstGroup, 2, firstGroup + 7, "Išmokos"});
  for (std::uint32_t g = 0; g < 4; ++g) {
    const std::uint32_t amount = firstGroup + 2 * g;
    cells.push_back({3, amount, 3, amount + 1, std::string(kGroupHeadings[g])});
    cells.push_back({4, amount, 4, amount, "Išmokos suma, Eur"});
    cells.push_back({4, amount + 1, 4, amount + 1, "Išmokos kodas"});
  }
  spanning(layout.columnTextColumn(), "Mokesčio tarifas, proc.");
  spanning(layout.secondAmountColumn(), "Išskaičiuota mokesčio suma, Eur");
  for (std::uint32_t column = 1; column <= layout.lastColumn(); ++column) {
    cells.push_back({kLastHeadingRow, column, kLastHeadingRow, column, std::to_string(column)});
  }
  return cells;
}

// Widths as the template has them; formats follow from what each column holds.
std::vector<TemplateColumn> columnsFor(const SheetLayout& layout,
                                       const std::vector<double>& widths) {
  std::vector<TemplateColumn> columns;
  const std::uint32_t dateColumn = layout.firstIdentifierColumn + layout.identifierCount - 1;
  for (std::uint32_t column = 1; column <= widths.size(); ++column) {
    ColumnFormat format = ColumnFormat::kText;
    const bool groupAmount = column >= layout.firstGroupColumn &&
                             column < layout.firstGroupColumn + 8 &&
                             (column - layout.firstGroupColumn) % 2 == 0;
    if (column == 1) {
      format = ColumnFormat::kGeneral;
    } else if (column == dateColumn) {
      format = ColumnFormat::kDate;
    } else if (groupAmount || column == layout.secondAmountColumn()) {
      format = ColumnFormat::kAmount;
    }
    columns.push_back({widths[column - 1], format});
  }
  return columns;
}

}  // namespace

const TemplateSheet& lTemplate() {
  static const TemplateSheet sheet{
      &intake::kLSheet,
      "KVD507 L priedas — išmokos ir išskaičiuotas mokestis",
      headingsFor(intake::kLSheet, {},
                  {"Asmens kodas", "Įmonės kodas", "Mokesčių mokėtojo kodas",
                   "Užsienio valstybės mokesčių mokėtojo kodas", "Gimimo data"}),
      columnsFor(intake::kLSheet, {7, 40, 14, 13, 15, 19, 12, 13, 9, 13, 9, 13, 9, 13, 9, 10, 14}),
  };
  return sheet;
}

const TemplateSheet& uTemplate() {
  static const TemplateSheet sheet{
      &intake::kUSheet,
      "KVD507 U priedas — išmokos ir išskaičiuotas mokestis",
      headingsFor(intake::kUSheet,
                  {"Valstybės kodas", "Adresas", "Miestas / vietovė", "Pašto kodas"},
                  {"Asmens kodas", "Įmonės kodas", "Mokesčių mokėtojo kodas",
                   "Užsienio valstybės mokesčių mokėtojo kodas", "Asmens dokumento numeris",
                   "Gimimo data"}),
      columnsFor(intake::kUSheet, {7,  40, 10, 30, 16, 11, 14, 13, 15, 19, 15,
                                   12, 13, 9,  13, 9,  13, 9,  13, 9,  10, 14}),
  };
  return sheet;
}

}  // namespace kvd507::exports
