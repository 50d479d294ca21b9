#include "SampleDeclarations.h"

#include <cstdio>

namespace kvd507::test {
namespace {

std::string twoDigits(std::size_t number) {
  char text[8];
  std::snprintf(text, sizeof text, "%02zu", number);
  return text;
}

std::string fourDigits(std::size_t number) {
  char text[8];
  std::snprintf(text, sizeof text, "%04zu", number % 10000);
  return text;
}

}  // namespace

rows::PaymentRow makeRow(std::initializer_list<std::string_view> cells) {
  rows::PaymentRow row;
  std::size_t index = 0;
  for (std::string_view cell : cells) row[index++] = cell;
  return row;
}

rows::RowTable makeTable(std::initializer_list<rows::PaymentRow> rows) {
  rows::RowTable table;
  for (const rows::PaymentRow& row : rows) table.append(row);
  return table;
}

SampleDeclaration oneLRow() {
  SampleDeclaration sample;
  sample.file = "declaration_one_l_row.ffdata";
  sample.lRows = makeTable({makeRow(
      {"38501010001", "1", "JONAS JONAITIS", "A", "01", "N", "", "1234.50", "P.1", "10.00"})});
  sample.payerName = " uab \"ąžuolas\" & co ";
  return sample;
}

SampleDeclaration emptyTables() {
  SampleDeclaration sample;
  sample.file = "declaration_empty_tables.ffdata";
  return sample;
}

rows::RowTable numberedLRows(std::size_t count) {
  rows::RowTable table;
  for (std::size_t i = 1; i <= count; ++i) {
    table.append(makeRow({"3800000" + fourDigits(i), "1", "ASMUO " + std::to_string(i),
                          i % 2 != 0 ? "A" : "B", twoDigits(i), i % 3 == 0 ? "N" : "",
                          i % 4 == 0 ? "D" : "", std::to_string(i * 100) + "." + twoDigits(i % 100),
                          "0", std::to_string(i) + ".00"}));
  }
  return table;
}

rows::RowTable numberedURows(std::size_t count) {
  rows::RowTable table;
  for (std::size_t j = 1; j <= count; ++j) {
    table.append(
        makeRow({"LT" + fourDigits(j).substr(1), std::to_string(j),
                 "UŽSIENIO ĮMONĖ " + std::to_string(j), "A", std::to_string(10 + j), "", "",
                 std::to_string(j * 50) + ".25", "0", "0.00", "Vilnius " + std::to_string(j), "LT",
                 "2023-0" + std::to_string(j) + "-01", "Pastaba " + std::to_string(j)}));
  }
  return table;
}

SampleDeclaration twelveLThreeUExtended() {
  SampleDeclaration sample;
  sample.file = "declaration_12_l_3_u_extended.ffdata";
  sample.lRows = numberedLRows(12);
  sample.uRows = numberedURows(3);
  sample.header.id = "987654321";
  sample.header.name = "UAB &quot;SENA&quot;";
  sample.header.year = "2022";
  return sample;
}

SampleDeclaration valuesNeedingEscapes() {
  SampleDeclaration sample;
  sample.file = "declaration_values_needing_escapes.ffdata";
  sample.lRows = makeTable({makeRow(
      {"A<B", "1", "AT&T &amp; CO", "A", "x>y", "", "", "1.5\n2", "line1\r\nline2", "\t3.25"})});
  sample.uRows = makeTable(
      {makeRow({"say \"hi\"", "&#38; &#x26;", "&#0; &BOGUS; &#X110000;", "B", "\xFF\xC3",
                "a\x7F"
                "b",
                "\xEF\xBF\xBF", "0.00", "0", "0.00", "&lt;tag&gt;", "Ąžuolas", "", "&"})});
  sample.payerCode = "12\t34";
  sample.payerName = "a<b & c";
  return sample;
}

}  // namespace kvd507::test
