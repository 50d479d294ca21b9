#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <string>
#include <vector>

#include "spreadsheet/Workbook.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/XlsxSource.h"
#include "support/CaseName.h"
#include "support/ExpectDamage.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::test {
namespace {

using spreadsheet::RawCell;
using spreadsheet::RawRow;
using Kind = RawCell::Kind;

// Serial of 2024-03-01 in the 1900 date system.
constexpr double k2024March1 = 45352.0;

std::vector<std::string> sheetNames(const std::filesystem::path& file) {
  return spreadsheet::openXlsxSource(file)->sheetNames();
}

// A workbook the way a spreadsheet application writes it, made with libxlsxwriter.
class XlsxWriterWorkbook : public ::testing::Test {
 protected:
  void SetUp() override {
    lxw_workbook* book = workbook_new(file.c_str());
    ASSERT_NE(book, nullptr);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "KVD507 L");
    lxw_worksheet* second = workbook_add_worksheet(book, "Jono 'A' lapas");
    // A chart sheet between the worksheets must not be listed.
    lxw_chartsheet* chartSheet = workbook_add_chartsheet(book, "Diagrama");
    lxw_chart* chart = workbook_add_chart(book, LXW_CHART_COLUMN);
    chart_add_series(chart, nullptr, "='KVD507 L'!$B$1:$B$2");
    chartsheet_set_chart(chartSheet, chart);
    workbook_add_worksheet(book, "Trečias");

    lxw_format* builtinDate = workbook_add_format(book);
    format_set_num_format_index(builtinDate, 14);
    lxw_format* customDateTime = workbook_add_format(book);
    format_set_num_format(customDateTime, "yyyy-mm-dd hh:mm");
    lxw_format* time = workbook_add_format(book);
    format_set_num_format(time, "[h]:mm:ss");
    lxw_format* money = workbook_add_format(book);
    format_set_num_format(money, "#,##0.00");

    worksheet_write_string(sheet, 0, 0, "Vardenis Pavardenis & Ko", nullptr);
    worksheet_write_number(sheet, 0, 1, 12345678901234567.0, nullptr);
    worksheet_write_number(sheet, 0, 2, 1234.5, money);
    worksheet_write_number(sheet, 0, 3, -1.5e-7, nullptr);
    worksheet_write_string(sheet, 0, 4, "Ąžuolas \"ir\" <šaknys>", nullptr);

    lxw_datetime date = {2024, 3, 1, 0, 0, 0};
    worksheet_write_datetime(sheet, 1, 0, &date, builtinDate);
    lxw_datetime dateTime = {2024, 3, 1, 13, 30, 0};
    worksheet_write_datetime(sheet, 1, 1, &dateTime, customDateTime);
    lxw_datetime duration = {0, 0, 0, 6, 15, 30};
    worksheet_write_datetime(sheet, 1, 2, &duration, time);

    worksheet_write_formula_num(sheet, 2, 0, "=1+2", nullptr, 3);
    worksheet_write_formula_str(sheet, 2, 1, "=\"a\"&\"b\"", nullptr, "ab");
    worksheet_write_boolean(sheet, 2, 2, 1, nullptr);
    worksheet_write_boolean(sheet, 2, 3, 0, nullptr);

    // Far below, past empty rows, and beyond the columns a reader asks for.
    worksheet_write_string(sheet, 999, 1, "far", nullptr);
    worksheet_write_string(sheet, 999, 30, "too far right", nullptr);
    worksheet_write_string(sheet, 1000, 30, "only too far right", nullptr);

    worksheet_write_string(second, 0, 0, "antras", nullptr);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
  }

  TempDir dir;
  std::filesystem::path file = dir / "libxlsxwriter.xlsx";
};

TEST_F(XlsxWriterWorkbook, ListsWorksheetsInOrderWithoutChartSheets) {
  EXPECT_EQ(sheetNames(file), (std::vector<std::string>{"KVD507 L", "Jono 'A' lapas", "Trečias"}));
}

TEST_F(XlsxWriterWorkbook, CellsReadAsTheUserSeesThem) {
  auto book = spreadsheet::Workbook::open(file);
  auto sheet = book.sheet("KVD507 L", 22);
  struct Expected {
    std::uint32_t row;
    std::uint32_t column;
    std::string text;
  };
  const std::vector<Expected> cells = {
      {1, 1, "Vardenis Pavardenis & Ko"},
      {1, 2, "1,23456789012346E+16"},
      {1, 3, "1234,5"},
      {1, 4, "-1,5E-07"},
      {1, 5, "Ąžuolas \"ir\" <šaknys>"},
      {1, 6, ""},
      {2, 1, "2024-03-01"},
      {2, 2, "2024-03-01 13:30:00"},
      {2, 3, "06:15:30"},
      {3, 1, "3"},
      {3, 2, "ab"},
      {3, 3, "1"},
      {3, 4, "0"},
      {500, 2, ""},
      {1000, 2, "far"},
      {1000, 31, ""},
      {1001, 31, ""},
  };
  for (const auto& cell : cells) {
    SCOPED_TRACE(spreadsheet::columnName(cell.column) + std::to_string(cell.row));
    EXPECT_EQ(sheet.cellText(cell.row, cell.column, ','), cell.text);
  }
}

TEST_F(XlsxWriterWorkbook, NumbersKeepEveryDigitWritten) {
  // libxlsxwriter writes 16 significant digits.
  const auto rows = readRows(file);
  ASSERT_FALSE(rows.empty());
  ASSERT_GE(rows[0].cells.size(), 4u);
  EXPECT_EQ(rows[0].cells[1].number, 1.234567890123457E+16);
  EXPECT_EQ(rows[0].cells[3].number, -1.5e-7);
}

TEST_F(XlsxWriterWorkbook, RowsRightOfTheLimitAreNotHandedOut) {
  const auto rows = readRows(file, 22);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows.back().number, 1000u);
  EXPECT_EQ(rows.back().cells.size(), 2u);
}

TEST_F(XlsxWriterWorkbook, SheetsWithSpacesAndApostrophesOpenByName) {
  auto book = spreadsheet::Workbook::open(file);
  EXPECT_EQ(book.sheet("Jono 'A' lapas", 22).cellText(1, 1, ','), "antras");
  EXPECT_FALSE(book.hasSheet("Diagrama"));
}

// One cell, as a sheet stores it, against what the reader makes of it.
struct CellCase {
  const char* what;
  std::string cell;  // the <c> element, in row 2 column B
  Kind kind;
  double number = 0.0;
  std::string text = {};
};

void PrintTo(const CellCase& c, std::ostream* out) {
  *out << c.what;
}

class XlsxCell : public ::testing::TestWithParam<CellCase> {};

TEST_P(XlsxCell, Reads) {
  const CellCase& c = GetParam();
  TempDir dir;
  writeZip(dir / "cell.xlsx", minimalWorkbook("<row r=\"2\">" + c.cell + "</row>"));
  const auto rows = readRows(dir / "cell.xlsx");
  if (c.kind == Kind::Empty) {
    EXPECT_TRUE(rows.empty()) << "a row with only empty cells is not handed out";
    return;
  }
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].number, 2u);
  ASSERT_EQ(rows[0].cells.size(), 2u);
  EXPECT_EQ(rows[0].cells[0].kind, Kind::Empty);
  const RawCell& cell = rows[0].cells[1];
  EXPECT_EQ(cell.kind, c.kind);
  EXPECT_EQ(cell.number, c.number);
  EXPECT_EQ(cell.textView(), c.text);
}

const CellCase kCellCases[] = {
    {"shared string", R"(<c r="B2" t="s"><v>0</v></c>)", Kind::Text, 0, "plain"},
    {"rich shared string without its phonetic reading", R"(<c r="B2" t="s"><v>1</v></c>)",
     Kind::Text, 0, "Rich text"},
    {"escaped carriage return in a shared string", R"(<c r="B2" t="s"><v>2</v></c>)", Kind::Text, 0,
     "line\rbreak"},
    {"empty shared string", R"(<c r="B2" t="s"><v>3</v></c>)", Kind::Empty},
    {"shared string that does not exist", R"(<c r="B2" t="s"><v>4</v></c>)", Kind::Error, 0,
     "shared string \"4\" does not exist"},
    {"inline string", R"(<c r="B2" t="inlineStr"><is><t>inline</t></is></c>)", Kind::Text, 0,
     "inline"},
    {"inline rich text without its phonetic reading",
     R"(<c r="B2" t="inlineStr"><is><r><t>a</t></r><r><rPr/><t xml:space="preserve"> b</t></r><rPh sb="0" eb="1"><t>x</t></rPh></is></c>)",
     Kind::Text, 0, "a b"},
    {"escaped underscore keeps a literal escape",
     R"(<c r="B2" t="inlineStr"><is><t>_x005F_x0041_ _x0041_</t></is></c>)", Kind::Text, 0,
     "_x0041_ A"},
    {"escaped character beyond the basic plane",
     R"(<c r="B2" t="inlineStr"><is><t>_xD83D__xDE00_</t></is></c>)", Kind::Text, 0,
     "\xF0\x9F\x98\x80"},
    {"XML escapes", R"(<c r="B2" t="inlineStr"><is><t>A &amp; B &lt;&#x105;&gt;</t></is></c>)",
     Kind::Text, 0, "A & B <ą>"},
    {"formula with a cached string", R"(<c r="B2" t="str"><f>A1&amp;"x"</f><v>yx</v></c>)",
     Kind::Text, 0, "yx"},
    {"formula whose cached string is empty", R"(<c r="B2" t="str"><f>""</f><v></v></c>)",
     Kind::Empty},
    {"formula with a cached number", R"(<c r="B2"><f>1+1</f><v>2</v></c>)", Kind::Number, 2},
    {"formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)",
     R"(<c r="B2"><f>1+1</f></c>)", Kind::Error, 0,
     "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)"},
    {"formula with an empty cached result", R"(<c r="B2"><f>1+1</f><v></v></c>)", Kind::Error, 0,
     "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)"},
    {"shared formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)",
     R"(<c r="B2" t="str"><f t="shared" si="0"/></c>)", Kind::Error, 0,
     "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)"},
    {"cell without a value", R"(<c r="B2" s="1"/>)", Kind::Empty},
    {"true", R"(<c r="B2" t="b"><v>1</v></c>)", Kind::Number, 1},
    {"false", R"(<c r="B2" t="b"><v>0</v></c>)", Kind::Number, 0},
    {"error value", R"(<c r="B2" t="e"><v>#N/A</v></c>)", Kind::Error, 0, "#N/A"},
    {"error value of a formula", R"(<c r="B2" t="e"><f>1/0</f><v>#DIV/0!</v></c>)", Kind::Error, 0,
     "#DIV/0!"},
    {"number", R"(<c r="B2"><v>1234.5</v></c>)", Kind::Number, 1234.5},
    {"number typed n", R"(<c r="B2" t="n"><v>-0.1</v></c>)", Kind::Number, -0.1},
    {"number with an exponent", R"(<c r="B2"><v>1.5E+3</v></c>)", Kind::Number, 1500},
    {"number with a negative exponent", R"(<c r="B2"><v>2.5e-10</v></c>)", Kind::Number, 2.5e-10},
    {"seventeen digits", R"(<c r="B2"><v>0.12345678901234566</v></c>)", Kind::Number,
     0.12345678901234566},
    {"seventeen-digit integer", R"(<c r="B2"><v>12345678901234567</v></c>)", Kind::Number,
     12345678901234567.0},
    {"not a number", R"(<c r="B2"><v>12,5</v></c>)", Kind::Error, 0, "not a number: \"12,5\""},
    {"built-in date format", R"(<c r="B2" s="1"><v>45352</v></c>)", Kind::DateTime, k2024March1},
    {"custom date format", R"(<c r="B2" s="2"><v>45352.5</v></c>)", Kind::DateTime,
     k2024March1 + 0.5},
    {"custom number format", R"(<c r="B2" s="3"><v>45352</v></c>)", Kind::Number, 45352},
    {"style beyond the style list", R"(<c r="B2" s="99"><v>45352</v></c>)", Kind::Number, 45352},
    {"ISO date", R"(<c r="B2" t="d"><v>2024-03-01T12:00:00</v></c>)", Kind::DateTime,
     k2024March1 + 0.5},
    {"ISO date without time", R"(<c r="B2" t="d"><v>1900-01-01</v></c>)", Kind::DateTime, 1},
    {"ISO date after the phantom leap day", R"(<c r="B2" t="d"><v>1900-03-01</v></c>)",
     Kind::DateTime, 61},
    {"ISO time", R"(<c r="B2" t="d"><v>06:00:00</v></c>)", Kind::DateTime, 0.25},
    {"ISO date that is no date", R"(<c r="B2" t="d"><v>2024-02-30</v></c>)", Kind::Text, 0,
     "2024-02-30"},
};

INSTANTIATE_TEST_SUITE_P(Cells, XlsxCell, ::testing::ValuesIn(kCellCases), test::NamedAfterWhat());

TEST(XlsxRows, CellsAndRowsWithoutReferencesFollowThePreviousOne) {
  TempDir dir;
  writeZip(dir / "refs.xlsx",
           minimalWorkbook("<row><c><v>1</v></c><c><v>2</v></c></row>"
                           "<row r=\"4\"><c r=\"C4\"><v>3</v></c><c><v>4</v></c></row>"
                           "<row><c r=\"B5\"/><c><v>5</v></c></row>"));
  const auto rows = readRows(dir / "refs.xlsx");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].number, 1u);
  ASSERT_EQ(rows[0].cells.size(), 2u);
  EXPECT_EQ(rows[0].cells[1].number, 2);
  EXPECT_EQ(rows[1].number, 4u);
  ASSERT_EQ(rows[1].cells.size(), 4u);
  EXPECT_EQ(rows[1].cells[2].number, 3);
  EXPECT_EQ(rows[1].cells[3].number, 4);
  EXPECT_EQ(rows[2].number, 5u);
  ASSERT_EQ(rows[2].cells.size(), 3u);
  EXPECT_EQ(rows[2].cells[2].number, 5);
}

TEST(XlsxRows, EmptyRowsAreSkippedAndTheDimensionIsIgnored) {
  TempDir dir;
  // The dimension claims one cell; the data reaches further.
  writeZip(dir / "rows.xlsx",
           minimalWorkbook("<row r=\"1\"/><row r=\"2\"><c r=\"A2\"/><c r=\"B2\" s=\"1\"/></row>"
                           "<row r=\"7\" spans=\"1:2\"><c r=\"Z7\"><v>9</v></c></row>"
                           "<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row>"));
  const auto rows = readRows(dir / "rows.xlsx");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].number, 7u);
  ASSERT_EQ(rows[0].cells.size(), 26u);
  EXPECT_EQ(rows[0].cells[25].number, 9);
  EXPECT_EQ(rows[1].number, 1048576u);
}

TEST(XlsxRows, CellsRightOfTheLimitAreDropped) {
  TempDir dir;
  writeZip(dir / "wide.xlsx", minimalWorkbook("<row r=\"1\"><c r=\"A1\"><v>1</v></c>"
                                              "<c r=\"C1\"><v>3</v></c><c r=\"XFD1\"><v>4</v></c>"
                                              "<c r=\"ZZZZZZZZ1\"><v>5</v></c><c><v>6</v></c></row>"
                                              "<row r=\"2\"><c r=\"D2\"><v>1</v></c></row>"));
  const auto rows = readRows(dir / "wide.xlsx", 3);
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_EQ(rows[0].cells.size(), 3u);
  EXPECT_EQ(rows[0].cells[2].number, 3);

  EXPECT_TRUE(readRows(dir / "wide.xlsx", 0).empty());
}

TEST(XlsxRows, CellsOfARowReplaceThoseOfTheRowBefore) {
  // Rows are handed out into the same RawRow; nothing of a wide row may leak into the next.
  TempDir dir;
  writeZip(
      dir / "reuse.xlsx",
      minimalWorkbook("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"E1\"><v>5</v></c></row>"
                      "<row r=\"2\"><c r=\"B2\"><v>2</v></c></row>"));
  const auto source = spreadsheet::openXlsxSource(dir / "reuse.xlsx");
  const auto rows = source->openSheet(0, 10);
  RawRow row;
  ASSERT_TRUE(rows->next(row));
  EXPECT_EQ(row.cells.size(), 5u);
  ASSERT_TRUE(rows->next(row));
  EXPECT_EQ(row.number, 2u);
  ASSERT_EQ(row.cells.size(), 2u);
  EXPECT_EQ(row.cells[0].kind, Kind::Empty);
  EXPECT_EQ(row.cells[0].text, "");
  EXPECT_EQ(row.cells[1].number, 2);
  EXPECT_FALSE(rows->next(row));
  EXPECT_FALSE(rows->next(row));
}

TEST(XlsxRows, RowsGoingBackAreDamage) {
  TempDir dir;
  writeZip(dir / "order.xlsx", minimalWorkbook("<row r=\"5\"><c><v>1</v></c></row>"
                                               "<row r=\"3\"><c><v>2</v></c></row>"));
  auto book = spreadsheet::Workbook::open(dir / "order.xlsx");
  auto sheet = book.sheet("Sheet1", 5);
  EXPECT_EQ(sheet.cellText(5, 1, ','), "1");
  if (const auto e = thrownBy([&] { sheet.cellText(6, 1, ','); })) {
    EXPECT_EQ(e->sheet(), "Sheet1");
    EXPECT_NE(e->detail().find("row 3 after row 5"), std::string::npos) << e->what();
  }
}

TEST(XlsxDates, Date1904WorkbooksAreShiftedToThe1900System) {
  struct Case {
    const char* workbookPr;
    double serial;
  };
  const Case cases[] = {
      {R"(<workbookPr date1904="1"/>)", 45352 - 1462},
      {R"(<workbookPr date1904="true"/>)", 45352 - 1462},
      {R"(<workbookPr date1904="false"/>)", 45352},
      {R"(<workbookPr date1904="0"/>)", 45352},
      {R"(<workbookPr/>)", 45352},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.workbookPr);
    TempDir dir;
    auto parts = minimalWorkbook(
        "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>" + std::to_string(c.serial) +
        "</v></c><c r=\"B1\"><v>7</v></c><c r=\"C1\" t=\"d\"><v>2024-03-01</v></c></row>");
    auto& book = parts["xl/workbook.xml"];
    book.replace(book.find("<workbookPr/>"), 13, c.workbookPr);
    writeZip(dir / "dates.xlsx", parts);
    auto workbook = spreadsheet::Workbook::open(dir / "dates.xlsx");
    auto sheet = workbook.sheet("Sheet1", 3);
    EXPECT_EQ(sheet.cellText(1, 1, ','), "2024-03-01");
    EXPECT_EQ(sheet.cellText(1, 2, ','), "7") << "plain numbers are not shifted";
    EXPECT_EQ(sheet.cellText(1, 3, ','), "2024-03-01") << "ISO dates are not shifted";
  }
}

TEST(XlsxDates, WithoutAStylesPartNoNumberIsADate) {
  TempDir dir;
  auto parts = minimalWorkbook("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>45352</v></c></row>");
  parts.erase("xl/styles.xml");
  writeZip(dir / "nostyles.xlsx", parts);
  const auto rows = readRows(dir / "nostyles.xlsx");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].cells[0].kind, Kind::Number);
}

// Part layouts and spellings that other writers produce.
struct LayoutCase {
  const char* what;
  XlsxParts parts;
};

XlsxParts withReplaced(XlsxParts parts, const std::string& part, std::string_view from,
                       std::string_view to) {
  std::string& text = parts.at(part);
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return parts;
}

XlsxParts renamed(XlsxParts parts, const std::string& from, const std::string& to) {
  auto node = parts.extract(from);
  node.key() = to;
  parts.insert(std::move(node));
  return parts;
}

const std::string kRows =
    "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
    "<row r=\"2\"><c r=\"B2\" s=\"1\"><v>45352</v></c></row>";

std::vector<LayoutCase> layoutCases() {
  const XlsxParts plain = minimalWorkbook(kRows);
  std::vector<LayoutCase> cases;
  cases.push_back({"usual", plain});

  XlsxParts prefixed = plain;
  for (const char* part :
       {"xl/worksheets/sheet1.xml", "xl/workbook.xml", "xl/styles.xml", "xl/sharedStrings.xml"}) {
    std::string& text = prefixed[part];
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      out += text[i];
      if (text[i] == '<' && i + 1 < text.size() && text[i + 1] != '?') {
        if (text[i + 1] == '/') {
          out += '/';
          ++i;
        }
        out += "x:";
      }
    }
    text = withReplaced({{"p", out}}, "p", "xmlns=", "xmlns:x=").at("p");
  }
  cases.push_back({"x: prefixes", prefixed});

  XlsxParts strict = plain;
  for (auto& [name, text] : strict) {
    text = withReplaced({{"p", text}}, "p",
                        "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
                        "http://purl.oclc.org/ooxml/officeDocument/relationships")
               .at("p");
    text = withReplaced({{"p", text}}, "p",
                        "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                        "http://purl.oclc.org/ooxml/spreadsheetml/main")
               .at("p");
  }
  cases.push_back({"strict namespaces", strict});

  cases.push_back(
      {"absolute targets",
       withReplaced(withReplaced(plain, "xl/_rels/workbook.xml.rels", "Target=\"", "Target=\"/xl/"),
                    "_rels/.rels", "Target=\"xl", "Target=\"/xl")});

  cases.push_back(
      {"upper-case part names",
       renamed(renamed(renamed(plain, "xl/worksheets/sheet1.xml", "XL/Worksheets/Sheet1.XML"),
                       "xl/sharedStrings.xml", "xl/SharedStrings.xml"),
               "xl/workbook.xml", "xl/Workbook.xml")});

  XlsxParts elsewhere =
      renamed(renamed(renamed(renamed(renamed(plain, "xl/workbook.xml", "wb/book.xml"),
                                      "xl/_rels/workbook.xml.rels", "wb/_rels/book.xml.rels"),
                              "xl/worksheets/sheet1.xml", "sheets/one.xml"),
                      "xl/styles.xml", "wb/styles.xml"),
              "xl/sharedStrings.xml", "wb/sharedStrings.xml");
  elsewhere = withReplaced(elsewhere, "_rels/.rels", "xl/workbook.xml", "wb/book.xml");
  elsewhere = withReplaced(elsewhere, "wb/_rels/book.xml.rels", "worksheets/sheet1.xml",
                           "./../sheets/one.xml");
  cases.push_back({"workbook part found through the package relationships", elsewhere});

  XlsxParts noPackageRels = plain;
  noPackageRels.erase("_rels/.rels");
  cases.push_back({"no package relationships", noPackageRels});

  XlsxParts noStyleRels =
      withReplaced(plain, "xl/_rels/workbook.xml.rels", "/styles\"", "/unknown\"");
  noStyleRels =
      withReplaced(noStyleRels, "xl/_rels/workbook.xml.rels", "/sharedStrings\"", "/unknown\"");
  cases.push_back({"styles and strings found by their usual names", noStyleRels});

  XlsxParts spaced = withReplaced(plain, "xl/_rels/workbook.xml.rels", "worksheets/sheet1.xml",
                                  "worksheets/sheet%201.xml");
  cases.push_back(
      {"escaped target", renamed(spaced, "xl/worksheets/sheet1.xml", "xl/worksheets/sheet 1.xml")});

  cases.push_back({"UTF-16 part", plain});
  std::string& utf16 = cases.back().parts["xl/worksheets/sheet1.xml"];
  std::string wide = "\xFF\xFE";
  const std::string declared = withReplaced({{"p", utf16}}, "p", "UTF-8", "UTF-16").at("p");
  for (const char c : declared) {
    wide += c;
    wide += '\0';
  }
  utf16 = wide;
  return cases;
}

TEST(XlsxLayout, ReadsWhateverWriterMadeTheParts) {
  for (const auto& c : layoutCases()) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    writeZip(dir / "layout.xlsx", c.parts);
    try {
      auto book = spreadsheet::Workbook::open(dir / "layout.xlsx");
      ASSERT_TRUE(book.hasSheet("Sheet1"));
      auto sheet = book.sheet("Sheet1", 5);
      EXPECT_EQ(sheet.cellText(1, 1, ','), "plain");
      EXPECT_EQ(sheet.cellText(2, 2, ','), "2024-03-01");
    } catch (const spreadsheet::WorkbookError& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

TEST(XlsxLayout, ListsOnlyWorksheetsWithTheirDecodedNames) {
  TempDir dir;
  XlsxParts parts = minimalWorkbook(kRows);
  const std::string rel(kRelationshipNamespace);
  parts["xl/workbook.xml"] =
      "<workbook xmlns=\"" + std::string(kMainNamespace) + "\" xmlns:r=\"" + rel +
      "\"><sheets><sheet name=\"Chart\" sheetId=\"1\" r:id=\"rId4\"/>"
      "<sheet name=\"A &amp; B&apos;s &quot;lapas&quot;\" sheetId=\"2\" r:id=\"rId1\"/>"
      "<sheet name=\"Dialog\" sheetId=\"3\" r:id=\"rId5\"/>"
      "<sheet name=\"Macro\" sheetId=\"4\" r:id=\"rId6\"/>"
      "<sheet name=\"Dangling\" sheetId=\"5\" r:id=\"rId9\"/>"
      "<sheet name=\"Hidden one\" sheetId=\"6\" state=\"hidden\" r:id=\"rId7\"/>"
      "</sheets></workbook>";
  parts["xl/_rels/workbook.xml.rels"] =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"" +
      rel +
      "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
      "<Relationship Id=\"rId4\" Type=\"" +
      rel +
      "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/>"
      "<Relationship Id=\"rId5\" Type=\"" +
      rel +
      "/dialogsheet\" Target=\"dialogsheets/sheet1.xml\"/>"
      "<Relationship Id=\"rId6\" "
      "Type=\"http://schemas.microsoft.com/office/2006/relationships/xlMacrosheet\" "
      "Target=\"macrosheets/sheet1.xml\"/>"
      "<Relationship Id=\"rId7\" Type=\"" +
      rel +
      "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
      "</Relationships>";
  writeZip(dir / "names.xlsx", parts);
  EXPECT_EQ(sheetNames(dir / "names.xlsx"),
            (std::vector<std::string>{"A & B's \"lapas\"", "Hidden one"}));
}

}  // namespace
}  // namespace kvd507::test
