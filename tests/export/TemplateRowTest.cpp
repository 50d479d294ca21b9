#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "export/TemplateRow.h"
#include "rows/Text.h"
#include "support/CaseName.h"

namespace kvd507::exports {
namespace {

using intake::kLSheet;
using intake::kUSheet;

// A declaration row by its cells 0 to 9 (and 10 to 13).
rows::PaymentRow row(std::vector<std::string> cells) {
  rows::PaymentRow result;
  for (std::size_t i = 0; i < cells.size(); ++i) result[i] = cells[i];
  return result;
}

struct Case {
  std::string what;
  const intake::SheetLayout* layout;
  rows::PaymentRow row;
  // Filled cells as "column=text" or "column=#amount", in the order written; empty when refused.
  std::vector<std::string> cells;
  std::size_t refusedField = 0;  // the form's field named when refused
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.what;
}

std::vector<std::string> described(const std::vector<TemplateCell>& cells) {
  std::vector<std::string> text;
  for (const TemplateCell& cell : cells) {
    text.push_back(std::to_string(cell.column) + "=" +
                   (cell.amount ? "#" + std::to_string(*cell.amount) : cell.text));
  }
  return text;
}

const std::vector<Case> kCases = {
    {"group A with escaped name",
     &kLSheet,
     row({"38501010001", "1", "UAB &quot;Ą&quot; &amp; CO", "A", "01", "", "", "1234,50", "15",
          "10,00"}),
     {"2=UAB \"Ą\" & CO", "3=38501010001", "8=#1234.500000", "9=01", "17=#10.000000", "16=15"}},
    {"group B N with D mark, identifier of kind 5",
     &kLSheet,
     row({"1980-01-31", "5", "X", "B", "12", "N", "D", "0,01", "0", "0,00"}),
     {"2=X", "7=1980-01-31", "14=#0.010000", "15=12D", "16=0"}},
    {"four-character code stays",
     &kLSheet,
     row({"", "", "X", "A", "1234", "N", "", "5,00", "0", "0,00"}),
     {"2=X", "12=#5.000000", "13=1234", "16=0"}},
    {"no amount: name, identifier and rate only",
     &kLSheet,
     row({"7", "2", "X", "", "", "", "", "0", "0", "0"}),
     {"2=X", "4=7", "16=0"}},
    {"U row with address, identifier of kind 6",
     &kUSheet,
     row({"1990-02-03", "6", "Y", "B", "22", "", "", "2,00", "15", "0,30", "DE", "Str. 1", "Berlin",
          "01000"}),
     {"2=Y", "3=DE", "4=Str. 1", "5=Berlin", "6=01000", "12=1990-02-03", "15=#2.000000", "16=22",
      "22=#0.300000", "21=15"}},
    {"identifier kind 6 on the L sheet",
     &kLSheet,
     row({"1", "6", "X", "A", "01", "", "", "1,00", "0", "0,00"}),
     {},
     2},
    {"identifier without a kind",
     &kLSheet,
     row({"1", "", "X", "A", "01", "", "", "1,00", "0", "0,00"}),
     {},
     2},
    {"kind without an identifier",
     &kUSheet,
     row({"", "3", "X", "A", "01", "", "", "1,00", "0", "0,00"}),
     {},
     2},
    {"letter C", &kLSheet, row({"", "", "X", "C", "01", "", "", "1,00", "0", "0,00"}), {}, 4},
    {"N mark M", &kLSheet, row({"", "", "X", "A", "01", "M", "", "1,00", "0", "0,00"}), {}, 6},
    {"one-character code",
     &kLSheet,
     row({"", "", "X", "A", "5", "", "", "1,00", "0", "0,00"}),
     {},
     5},
    {"three-character code without D",
     &kLSheet,
     row({"", "", "X", "A", "123", "", "", "1,00", "0", "0,00"}),
     {},
     5},
    {"D with a four-character code",
     &kLSheet,
     row({"", "", "X", "A", "1234", "", "D", "1,00", "0", "0,00"}),
     {},
     7},
    {"mark E", &kLSheet, row({"", "", "X", "A", "12", "", "E", "1,00", "0", "0,00"}), {}, 7},
    {"amount no number",
     &kLSheet,
     row({"", "", "X", "A", "12", "", "", "1,0x", "0", "0,00"}),
     {},
     8},
    {"amount of three decimals",
     &kLSheet,
     row({"", "", "X", "A", "12", "", "", "1,005", "0", "0,00"}),
     {},
     8},
    {"negative amount with a code",
     &kLSheet,
     row({"", "", "X", "A", "12", "", "", "-1,00", "0", "0,00"}),
     {},
     8},
    {"tax without amount", &kLSheet, row({"", "", "X", "", "", "", "", "0", "0", "3,00"}), {}, 10},
    {"tax no number", &kUSheet, row({"", "", "X", "A", "12", "", "", "1,00", "0", "abc"}), {}, 10},
};

class TemplateRowTest : public ::testing::TestWithParam<Case> {};

TEST_P(TemplateRowTest, CellsOrRefusal) {
  const Case& c = GetParam();
  const FormSlot slot = c.layout == &kLSheet ? lSlot(13) : uSlot(6, 13);
  if (c.refusedField == 0) {
    EXPECT_EQ(described(templateCells(c.row, *c.layout, slot, "F.ffdata")), c.cells);
    return;
  }
  try {
    templateCells(c.row, *c.layout, slot, "F.ffdata");
    FAIL() << "not refused";
  } catch (const RowNotInTemplate& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kRowNotInTemplate);
    EXPECT_EQ(e.file(), "F.ffdata");
    // L row 14 is slot 4 of page 3; U row 7 after two L pages is slot 2 of page 5.
    const std::string where = c.layout == &kLSheet ? "3 puslapis, 4 eilutė (L priedas, laukas L"
                                                   : "5 puslapis, 2 eilutė (U priedas, laukas U";
    const std::string slotNumber = c.layout == &kLSheet ? "4" : "2";
    EXPECT_TRUE(
        e.describe().starts_with(where + std::to_string(c.refusedField) + "-" + slotNumber + "): "))
        << e.describe();
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, TemplateRowTest, ::testing::ValuesIn(kCases),
                         test::NamedAfterWhat());

TEST(UnescapedName, UndoesWhatTheReaderEscapes) {
  for (const std::string typed : {"A & B", "\"Q\"", "&amp;", "&quot;x", "a&b\"c&&", ""}) {
    EXPECT_EQ(unescapedName(rows::escapeName(typed)), typed);
  }
}

TEST(FormSlots, FollowThePagesOfTheForm) {
  EXPECT_EQ(lSlot(0).page, 2u);
  EXPECT_EQ(lSlot(9).slot, 10u);
  EXPECT_EQ(lSlot(10).page, 3u);
  EXPECT_EQ(uSlot(0, 0).page, 2u);
  EXPECT_EQ(uSlot(0, 11).page, 4u);
  EXPECT_EQ(uSlot(5, 11).page, 5u);
  EXPECT_EQ(uSlot(5, 11).slot, 1u);
  EXPECT_EQ(fieldOfCell(9), 10u);
  EXPECT_EQ(fieldOfCell(10), 12u);
}

}  // namespace
}  // namespace kvd507::exports
