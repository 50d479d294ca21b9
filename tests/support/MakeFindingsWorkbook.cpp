// Writes tests/data/findings_one_of_each_kind.xlsx: a filled template whose every row but the
// first of each sheet holds one thing a run tells about, one row per kind that rows can give.
// scripts/make-findings-one-of-each-kind also saves it as .ods and .xls through LibreOffice.
//
// usage: make_findings_workbook OUTPUT.xlsx

#include <exception>
#include <iostream>

#include "spreadsheet/RawCell.h"
#include "support/MemoryWorkbook.h"

namespace {

using kvd507::spreadsheet::RawCell;
using kvd507::test::MemoryWorkbook;

const std::string L = "KVD507 L";
const std::string U = "KVD507 U";

// A payment in group 1 (H, I) with a rate, to a recipient with a valid personal code.
void payment(MemoryWorkbook& b, std::uint32_t row, const std::string& name,
             const std::string& personalCode) {
  b.text(L, row, 2, name).text(L, row, 3, personalCode);
  b.number(L, row, 8, 10).text(L, row, 9, "01").number(L, row, 16, 15).number(L, row, 17, 1.5);
}

MemoryWorkbook everyKind() {
  MemoryWorkbook b;
  b.sheet(L).sheet(U);
  b.text(L, 1, 1, "KVD507 L priedas").text(U, 1, 1, "KVD507 U priedas");

  // Row 6: nothing to tell.
  payment(b, 6, "Jonas Petraitis", "38001010015");
  // Row 7: an amount typed with its currency; the one beside it is used.
  b.text(L, 7, 2, "Ona Kazlauskienė").text(L, 7, 4, "302345678").text(L, 7, 8, "12,50 EUR");
  b.number(L, 7, 10, 50).text(L, 7, 11, "02").text(L, 7, 16, "15");
  // Row 8: no amount, but a second amount.
  b.text(L, 8, 2, "Petras Vaitkus").text(L, 8, 3, "37002020029").number(L, 8, 17, 5);
  // Row 9: amounts in two groups.
  payment(b, 9, "Rasa Vilkienė", "49112240455");
  b.number(L, 9, 10, 20).text(L, 9, 11, "02");
  // Row 10: a negative amount before the one used.
  payment(b, 10, "Tomas Šimkus", "39002280088");
  b.number(L, 10, 8, -5).number(L, 10, 12, 10).text(L, 10, 13, "03");
  // Row 11: column B left empty.
  b.text(L, 11, 3, "38001010009").number(L, 11, 8, 7).text(L, 11, 9, "01");
  // Row 12: no identifier.
  payment(b, 12, "Be kodo", "");
  b.text(L, 12, 3, "");
  // Row 13: a code of letters.
  payment(b, 13, "Kodas raidėmis", "48505121231");
  b.text(L, 13, 9, "AB");
  // Row 14: a personal code whose check digit is wrong.
  payment(b, 14, "Klaidingas kodas", "38001010000");
  // Row 15: a company code of 8 digits.
  payment(b, 15, "UAB Trumpas", "");
  b.text(L, 15, 3, "").text(L, 15, 4, "12345678");
  // Row 16: a date of birth that does not exist.
  payment(b, 16, "Be datos", "");
  b.text(L, 16, 3, "").text(L, 16, 7, "1985-02-30");
  // Row 17: a personal code and a date of birth (a date cell, 1960-01-02).
  payment(b, 17, "Du stulpeliai", "46001020307");
  b.set(L, 17, 7, RawCell::makeDateTime(21917));
  // Row 18: the rate typed as 15 % in a percentage cell.
  payment(b, 18, "Procentai", "45512310046");
  b.percent(L, 18, 16, 0.15);
  // Row 19: a rate above 100.
  payment(b, 19, "Per didelis tarifas", "38404040405");
  b.number(L, 19, 16, 150);
  // Rows 20 to 29 are empty and end the reading; row 31 is not read.
  b.text(L, 31, 2, "Vėliau").number(L, 31, 8, 5).text(L, 31, 9, "01");

  // The U sheet: a foreign recipient and one known by the date of birth (1987-11-23).
  b.text(U, 6, 2, "Jānis Bērziņš").text(U, 6, 3, "LV").text(U, 6, 4, "Brīvības iela 10-5");
  b.text(U, 6, 5, "Rīga").text(U, 6, 6, "LV-1010").text(U, 6, 10, "LV12038512345");
  b.number(U, 6, 13, 1800).text(U, 6, 14, "01").number(U, 6, 21, 15).number(U, 6, 22, 270);
  b.text(U, 7, 2, "Olga Petrova").text(U, 7, 3, "UA").set(U, 7, 12, RawCell::makeDateTime(32104));
  b.number(U, 7, 19, 450).text(U, 7, 20, "5");
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_findings_workbook OUTPUT.xlsx\n";
    return 2;
  }
  try {
    everyKind().saveXlsx(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "make_findings_workbook: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
