#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "intake/ReadStops.h"
#include "intake/SheetReader.h"
#include "rows/Amount.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/WorkbookError.h"
#include "support/ExpectDamage.h"
#include "support/MemoryWorkbook.h"

namespace kvd507::intake {
namespace {

using spreadsheet::numberText;
using spreadsheet::RawCell;
using spreadsheet::Workbook;
using test::MemoryWorkbook;
using test::thrownBy;

class RecordingStatus : public rows::StatusSink {
 public:
  void setStatus(std::string_view text) override { texts.emplace_back(text); }
  void processPendingEvents() override { ++events; }
  std::vector<std::string> texts;
  int events = 0;
};

const std::string L = "KVD507 L";
const std::string U = "KVD507 U";

// Puts texts into one row: {column, text} pairs.
void fill(MemoryWorkbook& book, const std::string& sheet, std::uint32_t row,
          std::initializer_list<std::pair<std::uint32_t, std::string>> cells) {
  for (const auto& [column, text] : cells) book.text(sheet, row, column, text);
}

struct Read {
  rows::RowTable table;
  ReadStops stops;
  RecordingStatus status;
};

Read read(const MemoryWorkbook& book, const SheetLayout& layout, char separator = ',') {
  Read result;
  Workbook workbook = book.open();
  readSheet(workbook, layout, result.table, result.status, separator, result.stops);
  return result;
}

rows::PaymentRow expected(std::initializer_list<std::pair<std::size_t, std::string>> cells) {
  rows::PaymentRow row;
  for (const auto& [index, text] : cells) row[index] = text;
  return row;
}

TEST(ReadLSheet, NormalisesARow) {
  MemoryWorkbook book;
  fill(book, L, 6,
       {{2, "  uab a & \"b\" žalias\t"},
        {4, " 123 "},
        {6, "999"},
        {8, "100"},
        {9, "5"},
        {10, "50"},
        {11, "7"},
        {17, "10.5"}});
  const Read r = read(book, kLSheet);
  ASSERT_EQ(r.table.size(), 1u);
  EXPECT_EQ(r.table[0], expected({{0, "123"},
                                  {1, "2"},
                                  {2, "UAB A &amp; &quot;B&quot; ŽALIAS"},
                                  {3, "A"},
                                  {4, "05"},
                                  {7, "100,00"},
                                  {8, "0"},
                                  {9, "10,50"}}));
  EXPECT_TRUE(r.stops.stops().empty());
}

// A declaration can carry line feeds, carriage returns and tabs, but no other control character.
TEST(ReadLSheet, MakesControlCharactersOtherThanLineBreaksAndTabsSpaces) {
  MemoryWorkbook book;
  fill(book, L, 6,
       {{2, std::string("\x01"
                        "a\x02"
                        "b\nc\td\x1F\x7F\x05",
                        11)},
        {4,
         " 1\x0B"
         "2\r3\x1B"},
        {8, "100"},
        {9, "5"}});
  const Read r = read(book, kLSheet);
  ASSERT_EQ(r.table.size(), 1u);
  EXPECT_EQ(r.table[0][rows::cell::kText], "A B\nC\tD \x7F");
  EXPECT_EQ(r.table[0][rows::cell::kIdentifier], "1 2\r3");
}

TEST(ReadLSheet, ChoosesTheFirstGroupAboveZero) {
  struct Case {
    std::string h, j, l, n;  // the four group amounts
    const char* letter;
    const char* nMark;
    const char* code;
    const char* amount;
  };
  const Case cases[] = {
      {"100", "50", "", "", "A", "", "11", "100,00"},
      {"", "50", "", "", "B", "", "22", "50,00"},
      {"-5", "", "20", "", "A", "N", "33", "20,00"},
      {"0", "0", "0", "1,5", "B", "N", "44", "1,50"},
      {"0,004", "0,0049", "", "", "B", "", "22", "0,01"},
      {"12.50", "", "", "", "A", "", "11", "12,50"},  // the other separator still counts
  };
  for (const Case& c : cases) {
    MemoryWorkbook book;
    fill(book, L, 6,
         {{2, "x"},
          {8, c.h},
          {9, "11"},
          {10, c.j},
          {11, "22"},
          {12, c.l},
          {13, "33"},
          {14, c.n},
          {15, "44"},
          {16, "15"}});
    const Read r = read(book, kLSheet);
    ASSERT_EQ(r.table.size(), 1u);
    const rows::PaymentRow& row = r.table[0];
    EXPECT_EQ(row[rows::cell::kLetter], c.letter) << c.h << '/' << c.j << '/' << c.l << '/' << c.n;
    EXPECT_EQ(row[rows::cell::kNMark], c.nMark);
    EXPECT_EQ(row[rows::cell::kCode], c.code);
    EXPECT_EQ(row[rows::cell::kAmount], c.amount);
    EXPECT_EQ(row[rows::cell::kColumnText], "15");
  }
}

TEST(ReadLSheet, NormalisesCodes) {
  struct Case {
    const char* typed;
    const char* code;
    const char* dMark;
  };
  const Case cases[] = {{"5", "05", ""},      {"12D", "12", "D"}, {"123", "12", "D"},
                        {"1234", "1234", ""}, {"12", "12", ""},   {"ą", "0ą", ""},
                        {"ąčę", "ąč", "D"},   {"", "", ""}};
  for (const Case& c : cases) {
    MemoryWorkbook book;
    fill(book, L, 6, {{2, "x"}, {8, "1"}, {9, c.typed}});
    const Read r = read(book, kLSheet);
    ASSERT_EQ(r.table.size(), 1u);
    EXPECT_EQ(r.table[0][rows::cell::kCode], c.code) << c.typed;
    EXPECT_EQ(r.table[0][rows::cell::kDMark], c.dMark) << c.typed;
  }
}

TEST(ReadLSheet, ARowWithoutAGroupCarriesNothingOver) {
  MemoryWorkbook book;
  fill(book, L, 6, {{2, "first"}, {8, "10"}, {9, "12D"}, {12, ""}, {16, "15"}, {17, "3"}});
  fill(book, L, 7, {{2, "second"}, {8, "-1"}, {9, "77"}, {16, "20"}, {17, "4"}});
  fill(book, L, 8, {{2, "third"}});
  const Read r = read(book, kLSheet);
  ASSERT_EQ(r.table.size(), 3u);
  EXPECT_EQ(r.table[1], expected({{2, "SECOND"}, {7, "0"}, {8, "20"}, {9, "0"}}));
  EXPECT_EQ(r.table[2], expected({{2, "THIRD"}, {7, "0"}, {8, "0"}, {9, "0"}}));
}

TEST(ReadLSheet, TenEmptyRowsEndTheData) {
  MemoryWorkbook book;
  fill(book, L, 6, {{2, "a"}, {8, "1"}});
  fill(book, L, 16, {{2, "b"}, {8, "1"}});  // after nine empty rows: still read
  fill(book, L, 20, {{8, "5"}});            // no text: dropped, counts as empty
  fill(book, L, 27, {{2, "c"}, {8, "1"}});  // after ten empty rows: never read
  const Read r = read(book, kLSheet);
  ASSERT_EQ(r.table.size(), 2u);
  EXPECT_EQ(r.table[1][rows::cell::kText], "B");
  EXPECT_EQ(r.status.texts.back(), "Patikriname įrašus: 21");  // row 26
  EXPECT_EQ(r.status.events, 21);
}

TEST(ReadLSheet, AnEmptySheetIsReadUpToItsTenthRow) {
  MemoryWorkbook book;
  book.sheet(L);
  const Read r = read(book, kLSheet);
  EXPECT_TRUE(r.table.empty());
  EXPECT_EQ(r.status.texts.front(), "Patikriname įrašus: 1");
  EXPECT_EQ(r.status.texts.back(), "Patikriname įrašus: 10");
}

TEST(ReadLSheet, MergesRowsWithTheSameKey) {
  MemoryWorkbook book;
  fill(book, L, 6, {{2, "Jonas"}, {3, "380"}, {8, "100,10"}, {9, "10"}, {16, "15"}, {17, "1"}});
  fill(book, L, 7, {{2, "jonas "}, {4, "380"}, {8, "0,90"}, {9, "10"}, {16, "20"}, {17, "2"}});
  fill(book, L, 8, {{2, "Jonas"}, {3, "380"}, {8, "5"}, {9, "11"}});
  const Read r = read(book, kLSheet);
  ASSERT_EQ(r.table.size(), 2u);
  EXPECT_EQ(r.table[0], expected({{0, "380"},
                                  {1, "1"},
                                  {2, "JONAS"},
                                  {3, "A"},
                                  {4, "10"},
                                  {7, "101,00"},
                                  {8, "15"},
                                  {9, "3,00"}}));
}

TEST(ReadLSheet, NumbersAndDatesReadAsTheUserSeesThem) {
  MemoryWorkbook book;
  fill(book, L, 6, {{2, "x"}, {9, "10"}, {16, "15"}});
  book.number(L, 6, 3, 38001010000.0);
  book.number(L, 6, 8, 1234.5);
  book.set(L, 6, 17, RawCell::makeDateTime(2));  // a date where an amount belongs is no amount
  const Read r = read(book, kLSheet, '.');
  ASSERT_EQ(r.table.size(), 1u);
  EXPECT_EQ(r.table[0][rows::cell::kIdentifier], "38001010000");
  EXPECT_EQ(r.table[0][rows::cell::kAmount], "1234.50");
  EXPECT_EQ(r.table[0][rows::cell::kSecondAmount], "0.00");
}

TEST(ReadLSheet, AnAmountReadsFromANumberAsFromItsPrintedText) {
  const double values[] = {1234.5, 0.1 + 0.2, 1.0 / 3.0, -7.25,           0.0,
                           -0.0,   2.675,     1e20,      12345678901234.5};
  for (const char separator : {',', '.'}) {
    for (const double value : values) {
      MemoryWorkbook numbers;
      MemoryWorkbook texts;
      for (MemoryWorkbook* book : {&numbers, &texts}) {
        fill(*book, L, 6, {{2, "x"}, {9, "10"}});
        fill(*book, L, 7, {{2, "x"}, {9, "10"}, {8, "1"}});
      }
      for (const auto& [row, column] : {std::pair{6u, 8u}, {6u, 17u}, {7u, 17u}}) {
        numbers.number(L, row, column, value);
        texts.text(L, row, column, numberText(value, separator));
      }
      const Read fromNumbers = read(numbers, kLSheet, separator);
      const Read fromTexts = read(texts, kLSheet, separator);
      ASSERT_EQ(fromNumbers.table.size(), fromTexts.table.size()) << value;
      for (std::size_t i = 0; i < fromNumbers.table.size(); ++i) {
        const rows::PaymentRow& row = fromNumbers.table[i];
        EXPECT_EQ(row, fromTexts.table[i]) << value << separator;
        // What the table keeps of the amounts is what their texts read as.
        EXPECT_EQ(fromNumbers.table.amountValue(i), rows::parseAmount(row[rows::cell::kAmount]));
        EXPECT_EQ(fromNumbers.table.secondAmountValue(i),
                  rows::parseAmount(row[rows::cell::kSecondAmount]));
      }
    }
  }
}

TEST(ReadLSheet, AFailingCellStopsTheReaderAndSaysWhere) {
  MemoryWorkbook book;
  fill(book, L, 6, {{2, "a"}, {8, "1"}});
  fill(book, L, 7, {{2, "b"}, {8, "1"}});
  book.set(L, 8, 12, RawCell::makeError("#DIV/0!"));
  fill(book, L, 9, {{2, "c"}, {8, "1"}});
  const Read r = read(book, kLSheet);
  EXPECT_EQ(r.table.size(), 2u);
  ASSERT_EQ(r.stops.stops().size(), 1u);
  const rows::Finding& stop = r.stops.stops()[0];
  EXPECT_EQ(stop.kind, rows::Finding::Kind::ReadStopped);
  EXPECT_EQ(stop.sheet, L);
  EXPECT_EQ(stop.row, 8u);
  EXPECT_EQ(stop.column, "L");
  EXPECT_EQ(stop.text,
            "skaitymas sustojo: langelyje yra klaidos reikšmė (#DIV/0!); įrašai žemiau šios vietos "
            "neperskaityti");
  EXPECT_EQ(readStopWarning(stop),
            "skaitymas sustojo: lapas \"KVD507 L\", eilutė 8, stulpelis L: langelyje yra klaidos "
            "reikšmė (#DIV/0!)");
}

// A stop is told once, as a finding; a caller that tells of nothing else keeps the stops alone
// and gives each as a warning of its own.
TEST(ReadStops, KeepOnlyStopsAndSayWhereWhyAndWhatTheCellHolds) {
  struct Case {
    const char* what;
    std::uint32_t column;
    std::string detail;
    std::string warning;
  };
  const std::vector<Case> cases = {
      {"a cell's error value", 12, "#N/A",
       "skaitymas sustojo: lapas \"KVD507 U\", eilutė 9, stulpelis L: priežastis (#N/A)"},
      {"no one cell's, nothing shown", 0, "",
       "skaitymas sustojo: lapas \"KVD507 U\", eilutė 9: priežastis"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReadStops stops;
    stops.add({rows::Finding::Kind::NoAmount, U, 7, "H", "ne sustojimas"});
    stops.add(readStopFinding(U, 9, c.column, "priežastis", c.detail));
    ASSERT_EQ(stops.stops().size(), 1u);
    EXPECT_EQ(stops.stops()[0].kind, rows::Finding::Kind::ReadStopped);
    EXPECT_EQ(readStopWarning(stops.stops()[0]), c.warning);
  }
}

TEST(ReadLSheet, DamageFailsTheReadingInsteadOfStoppingIt) {
  MemoryWorkbook book;
  fill(book, L, 6, {{2, "a"}, {8, "1"}});
  fill(book, L, 7, {{2, "b"}, {8, "1"}});
  book.damage(L, 8);
  Workbook workbook = book.open("damaged.xlsx");
  rows::RowTable table;
  RecordingStatus status;
  if (const auto e = thrownBy([&] { readSheet(workbook, kLSheet, table, status, ','); })) {
    EXPECT_EQ(e->kind(), ErrorKind::kWorkbookDamaged);
    EXPECT_EQ(e->file(), "damaged.xlsx");
    EXPECT_EQ(e->sheet(), L);
    EXPECT_EQ(e->row(), 8u);
  }
}

TEST(ReadLSheet, AWorkbookWithoutTheSheetAddsNothingSilently) {
  MemoryWorkbook book;
  fill(book, U, 6, {{2, "a"}, {13, "1"}});
  const Read r = read(book, kLSheet);
  EXPECT_TRUE(r.table.empty());
  EXPECT_TRUE(r.stops.stops().empty());
  EXPECT_TRUE(r.status.texts.empty());
}

TEST(ReadUSheet, ReadsItsOwnLayout) {
  MemoryWorkbook book;
  fill(book, U, 6,
       {{2, "Ona & co"},
        {3, " lt & x "},
        {4, "d"},
        {5, "e"},
        {6, "f"},
        {12, "LT123"},
        {17, "20"},
        {18, "3"},
        {21, ""},
        {22, "2"}});
  fill(book, U, 7, {{2, "Ona & co"}, {3, "other"}, {12, "LT123"}, {17, "1"}, {18, "03"}});
  const Read r = read(book, kUSheet);
  ASSERT_EQ(r.table.size(), 1u);
  EXPECT_EQ(r.table[0], expected({{0, "LT123"},
                                  {1, "6"},
                                  {2, "ONA &amp; CO"},
                                  {3, "A"},
                                  {4, "03"},
                                  {5, "N"},
                                  {7, "21,00"},
                                  {8, "0"},
                                  {9, "2,00"},
                                  {10, "lt & x"},
                                  {11, "d"},
                                  {12, "e"},
                                  {13, "f"}}));
}

TEST(ReadUSheet, IgnoresTheLSheetColumns) {
  MemoryWorkbook book;
  fill(book, U, 6, {{2, "x"}, {3, "380"}, {8, "7"}, {13, "5"}, {14, "1"}, {23, "9"}});
  const Read r = read(book, kUSheet);
  ASSERT_EQ(r.table.size(), 1u);
  EXPECT_EQ(r.table[0][rows::cell::kIdentifier], "7");
  EXPECT_EQ(r.table[0][rows::cell::kIdentifierKind], "2");
  EXPECT_EQ(r.table[0][rows::cell::kFirstExtra], "380");
  EXPECT_EQ(r.table[0][rows::cell::kAmount], "5,00");
}

}  // namespace
}  // namespace kvd507::intake
