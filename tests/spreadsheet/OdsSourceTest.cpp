#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "intake/SheetReader.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/OdsSource.h"
#include "spreadsheet/Workbook.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/ods/CellValue.h"
#include "support/ExpectDamage.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::test {
namespace {

using spreadsheet::CellError;
using spreadsheet::RawCell;
using spreadsheet::RawRow;
using spreadsheet::WorkbookError;

const std::filesystem::path kSaved = dataFile("ods_cell_kinds_saved_by_libreoffice.ods");

constexpr std::string_view kManifest =
    "<?xml version=\"1.0\"?><manifest:manifest "
    "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
    "<manifest:file-entry manifest:full-path=\"/\" "
    "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
    "</manifest:manifest>";

// A content part whose spreadsheet holds `tables` (whole <table:table> elements).
std::string contentXml(std::string_view tables) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
         "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
         "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><office:body><office:spreadsheet>" +
         std::string(tables) + "<table:named-expressions/></office:spreadsheet></office:body>" +
         "</office:document-content>";
}

std::string table(std::string_view name, std::string_view rows) {
  return "<table:table table:name=\"" + std::string(name) +
         "\"><table:table-column table:number-columns-repeated=\"1024\"/>" + std::string(rows) +
         "</table:table>";
}

std::string stringCell(std::string_view paragraphs) {
  return "<table:table-cell office:value-type=\"string\">" + std::string(paragraphs) +
         "</table:table-cell>";
}

XlsxParts odsParts(std::string_view tables) {
  return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
          {"META-INF/manifest.xml", std::string(kManifest)},
          {"content.xml", contentXml(tables)}};
}

std::vector<RawRow> readAll(const std::filesystem::path& file, std::size_t index,
                            std::uint32_t maxColumn) {
  const auto source = spreadsheet::openOdsSource(file);
  const auto rows = source->openSheet(index, maxColumn);
  std::vector<RawRow> all;
  RawRow row;
  while (rows->next(row)) all.push_back(row);
  return all;
}

struct CellCase {
  std::uint32_t row;
  std::uint32_t column;
  std::string text;
};

TEST(OdsSource, EveryValueTypeOfALibreOfficeFileReadsAsTheOtherFormatsPrintIt) {
  auto book = spreadsheet::Workbook::open(kSaved);
  auto sheet = book.sheet("Tipai", 3);
  const std::vector<CellCase> cases = {
      {1, 2, "1234,5"},
      {1, 3, "-1,5E-05"},
      {2, 2, "1,23456789012346E+16"},
      {3, 2, "0,15"},  // a percentage is its number
      {4, 2, "1500,5"},
      {5, 2, "2024-03-01"},
      {6, 2, "2024-03-01 13:30:00"},
      {7, 2, "06:15:30"},
      {8, 2, "1"},
      {8, 3, "0"},
      {9, 2, "pirma\nantra"},
      {10, 2, "a   b"},  // one space written out, two as <text:s text:c="2"/>
      {11, 2, "Ąžuolas ir nuoroda"},
      {14, 2, "ab"},
      {15, 2, "6"},
      {16, 2, "su komentaru"},  // the comment is not the cell's text
      {16, 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + ":" + std::to_string(c.column));
    EXPECT_EQ(sheet.cellText(c.row, c.column, ','), c.text);
  }
}

TEST(OdsSource, RecognisedByContentNotByName) {
  TempDir dir;
  std::filesystem::copy_file(kSaved, dir / "pavadinimas.xlsx");
  auto book = spreadsheet::Workbook::open(dir / "pavadinimas.xlsx");
  EXPECT_EQ(book.sheet("Tipai", 3).cellText(1, 1, ','), "skaičius");

  writeZip(dir / "knyga.ods", minimalWorkbook("<row r=\"1\"><c r=\"A1\"><v>7</v></c></row>"));
  auto xlsx = spreadsheet::Workbook::open(dir / "knyga.ods");
  EXPECT_EQ(xlsx.sheet("Sheet1", 3).cellText(1, 1, ','), "7");
}

TEST(OdsSource, FormulaErrorsStopTheReaderWithTheErrorShown) {
  for (const auto& [row, shown] : {std::pair{12u, "#DIV/0!"}, std::pair{13u, "#N/A"}}) {
    auto book = spreadsheet::Workbook::open(kSaved);
    auto sheet = book.sheet("Tipai", 3);
    SCOPED_TRACE(row);
    if (const auto e = thrownBy<CellError>([&] { sheet.cellText(row, 2, ','); })) {
      EXPECT_EQ(e->kind(), ErrorKind::kCellErrorValue);
      EXPECT_EQ(e->detail(), shown);
      EXPECT_EQ(e->row(), row);
      EXPECT_EQ(e->column(), 2u);
    }
  }
}

TEST(OdsSource, RepeatedMergedGroupedAndHiddenRowsOfALibreOfficeFile) {
  EXPECT_EQ(spreadsheet::openOdsSource(kSaved)->sheetNames(),
            (std::vector<std::string>{"Tipai", "Kartojasi", "KVD507 L"}));
  const std::vector<RawRow> rows = readAll(kSaved, 1, 4);
  std::vector<std::pair<std::uint32_t, std::vector<std::string>>> seen;
  for (const auto& row : rows) {
    std::vector<std::string> texts;
    for (const auto& cell : row.cells) {
      std::string text;
      EXPECT_TRUE(spreadsheet::cellText(cell, ',', text));
      texts.push_back(text);
    }
    seen.emplace_back(row.number, texts);
  }
  using Texts = std::vector<std::string>;
  const std::vector<std::pair<std::uint32_t, Texts>> expected = {
      {1, {"antraštė"}},       // a header row
      {2, {"tas pats", "7"}},  // the three rows written once as repeated
      {3, {"tas pats", "7"}},
      {4, {"tas pats", "7"}},
      {5, {"x", "x", "x", "x"}},           // one cell repeated over five columns, cut at four
      {7, {"sujungta", "", "", "šalia"}},  // merged over A7:C8: covered cells are empty
      {8, {"", "", "", "po"}},
      {10, {"grupėje"}},     // in a row group
      {11, {"paslėpta"}},    // hidden
      {1000, {"", "toli"}},  // past 988 repeated empty rows
  };
  EXPECT_EQ(seen, expected);
}

TEST(OdsSource, RepeatsAreCountedNotExpanded) {
  TempDir dir;
  const auto file = dir / "repeats.ods";
  const std::string filled =
      "<table:table-row table:number-rows-repeated=\"3\">" + stringCell("<text:p>t</text:p>") +
      "<table:table-cell table:number-columns-repeated=\"16380\" office:value-type=\"float\" "
      "office:value=\"2\"/></table:table-row>";
  const std::string emptyToTheEnd =
      "<table:table-row table:number-rows-repeated=\"1048000\">"
      "<table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>";
  writeZip(file, odsParts(table("A", filled + emptyToTheEnd + "<table:table-row>" +
                                         stringCell("<text:p>po</text:p>") + "</table:table-row>" +
                                         emptyToTheEnd + emptyToTheEnd)));
  const std::vector<RawRow> rows = readAll(file, 0, 22);
  // The filled row comes once, standing for three.
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].number, 1u);
  EXPECT_EQ(rows[0].repeat, 3u);
  ASSERT_EQ(rows[0].cells.size(), 22u);
  EXPECT_EQ(rows[0].cells[0].text, "t");
  EXPECT_EQ(rows[0].cells[21].number, 2.0);
  EXPECT_EQ(rows[1].number, 1048004u);
  EXPECT_EQ(rows[1].repeat, 1u);

  // A sheet hands the repeated row out for each row it stands for.
  auto book = spreadsheet::Workbook::open(file);
  auto sheet = book.sheet("A", 22);
  for (std::uint32_t row = 1; row <= 4; ++row) {
    EXPECT_EQ(sheet.cellText(row, 1, ','), row <= 3 ? "t" : "") << row;
  }
  EXPECT_EQ(sheet.cellText(1048004, 1, ','), "po");
}

struct BoundCase {
  const char* what;
  std::string rows;
  ErrorKind kind;  // kInternal: read without an error
};

// Rows and cells claimed past the largest sheet are refused when they hold values in the
// columns read, and cost nothing when they are empty or right of them.
TEST(OdsSource, FilledRowsAndCellsPastTheLargestSheetAreRefused) {
  const std::string x = stringCell("<text:p>X</text:p>");
  const auto rows = [](std::string_view repeat, std::string_view cells) {
    return "<table:table-row table:number-rows-repeated=\"" + std::string(repeat) + "\">" +
           std::string(cells) + "</table:table-row>";
  };
  const auto cells = [](std::string_view repeat, std::string_view value) {
    return "<table:table-cell table:number-columns-repeated=\"" + std::string(repeat) +
           "\" office:value-type=\"string\"><text:p>" + std::string(value) +
           "</text:p></table:table-cell>";
  };
  const std::string emptyCells = "<table:table-cell table:number-columns-repeated=\"30\"/>";
  const std::vector<BoundCase> cases = {
      {"a row repeated a billion times, each with a cell repeated as often",
       rows("999999999", cells("999999999", "X")), ErrorKind::kTooManyColumns},
      {"a filled row repeated a billion times", rows("999999999", cells("22", "X")),
       ErrorKind::kTooManyRows},
      {"a filled row repeated to one past the last row", rows("1048576", "") + rows("1", x),
       ErrorKind::kTooManyRows},
      {"a filled row repeated to the last row", rows("1048575", "") + rows("1", x),
       ErrorKind::kInternal},
      {"a filled cell repeated to one past the last column", rows("1", cells("16385", "X")),
       ErrorKind::kTooManyColumns},
      {"a filled cell repeated to the last column", rows("1", cells("16384", "X")),
       ErrorKind::kInternal},
      {"filled cells past the last column right of those read",
       rows("1", emptyCells + cells("999999999", "X")), ErrorKind::kInternal},
      {"empty rows and cells past both", rows("999999999", emptyCells + cells("999999999", "")),
       ErrorKind::kInternal},
  };
  for (const BoundCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto file = dir / "bounds.ods";
    writeZip(file, odsParts(table("A", c.rows)));
    try {
      readAll(file, 0, 22);
      EXPECT_EQ(c.kind, ErrorKind::kInternal) << "read without an error";
    } catch (const WorkbookError& e) {
      EXPECT_EQ(e.kind(), c.kind) << e.what();
      EXPECT_EQ(e.file(), file.string());
    }
  }
}

class Findings : public rows::FindingSink {
 public:
  void add(rows::Finding finding) override { lines.push_back(finding.describe()); }
  void rowTaken(std::string_view, bool merged) override {
    ++taken;
    if (merged) ++mergedRows;
  }
  std::vector<std::string> lines;
  int taken = 0;
  int mergedRows = 0;
};

class Silent : public rows::StatusSink {
 public:
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
};

// A row stored once for several is read as the rows it stands for: merged, told about and
// counted towards the end of the data row by row.
TEST(OdsSource, RepeatedRowsAreReadAsTheRowsTheyStandFor) {
  const auto row = [](std::string_view repeat, std::string_view cells) {
    return "<table:table-row table:number-rows-repeated=\"" + std::string(repeat) + "\">" +
           std::string(cells) + "</table:table-row>";
  };
  const std::string empty = "<table:table-cell/>";
  const std::string filled = "<table:table-cell/>" + stringCell("<text:p>Ona</text:p>") +
                             "<table:table-cell table:number-columns-repeated=\"5\"/>"
                             "<table:table-cell office:value-type=\"float\" office:value=\"10\"/>" +
                             stringCell("<text:p>1</text:p>");
  const std::string onlyC = empty + empty + stringCell("<text:p>c</text:p>");
  TempDir dir;
  const auto file = dir / "repeats.ods";
  // Rows 6 to 8 the same payment; 9 to 17 empty (nine: reading goes on); 18 the payment again;
  // 19 and 20 with C only, then eight empty rows: ten with B empty end the data, and the filled
  // row below them is not read.
  writeZip(file, odsParts(table("KVD507 L", row("5", "") + row("3", filled) + row("9", empty) +
                                                row("1", filled) + row("2", onlyC) + row("8", "") +
                                                row("1", filled) + row("999999", ""))));
  auto book = spreadsheet::Workbook::open(file);
  rows::RowTable l;
  Silent status;
  Findings findings;
  intake::readLSheet(book, l, status, ',', findings);  // a stop would be among the findings
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0][rows::cell::kText], "ONA");
  EXPECT_EQ(l[0][rows::cell::kAmount], "40,00");
  EXPECT_EQ(findings.taken, 4);
  EXPECT_EQ(findings.mergedRows, 3);
  std::vector<std::string> expected;
  for (const int r : {6, 7, 8, 18}) {
    expected.push_back("lapas \"KVD507 L\", eilutė " + std::to_string(r) +
                       ", stulpeliai C–G: nenurodytas identifikatorius");
  }
  for (const int r : {19, 20}) {
    expected.push_back("lapas \"KVD507 L\", eilutė " + std::to_string(r) +
                       ", stulpelis B: tuščias, nors kituose stulpeliuose yra duomenų (gal "
                       "sujungti langeliai?); eilutė praleista");
  }
  expected.push_back(
      "lapas \"KVD507 L\", eilutė 29: žemiau dešimties tuščių eilučių, kuriomis skaitymas "
      "baigiasi, yra užpildytų eilučių: 1 (pirmoji – 29); jos neperskaitytos");
  EXPECT_EQ(findings.lines, expected);
}

// Every text a sheet hands on counts, a repeated row's each time: the sheet is refused past
// its bound, naming the row where it got there.
TEST(OdsSource, TheTextOfRepeatedRowsCountsEachTime) {
  TempDir dir;
  const auto file = dir / "long.ods";
  writeZip(file,
           odsParts(table("A", "<table:table-row table:number-rows-repeated=\"1000\">" +
                                   stringCell("<text:p>" + std::string(100, 'y') + "</text:p>") +
                                   "</table:table-row>")));
  auto book = spreadsheet::Workbook::open(file);
  auto sheet = book.sheet("A", 22, 1000);
  for (std::uint32_t row = 1; row <= 10; ++row) EXPECT_EQ(sheet.cellText(row, 1, ',').size(), 100u);
  if (const auto e = thrownBy([&] { sheet.cellText(11, 1, ','); })) {
    EXPECT_EQ(e->kind(), ErrorKind::kSheetTooMuchText);
    EXPECT_EQ(e->row(), 11u);
    EXPECT_EQ(e->cause(), "failas \"" + file.string() +
                              "\", lapas \"A\", eilutė 11: lapo langeliuose iš viso per daug "
                              "teksto (daugiau nei 1000 B)");
  }
}

struct ContentCase {
  const char* what;
  std::string cell;
  RawCell expected;
};

TEST(OdsSource, CellContentAsWritten) {
  const auto cell = [](std::string attributes, std::string content = "") {
    return "<table:table-cell " + attributes + ">" + content + "</table:table-cell>";
  };
  const std::vector<ContentCase> cases = {
      {"tab, line break and spaces",
       stringCell("<text:p>a<text:tab/>b<text:line-break/>c "
                  "<text:s text:c=\"2\"/>d</text:p>"),
       RawCell::makeText("a\tb\nc   d")},
      {"white space in the file collapses", stringCell("<text:p>a \n\t b</text:p>"),
       RawCell::makeText("a b")},
      {"paragraphs and headings", stringCell("<text:p>1</text:p><text:h>2</text:h><text:p/>"),
       RawCell::makeText("1\n2\n")},
      {"spans and links",
       stringCell("<text:p><text:span>Ą<text:span>ž</text:span></text:span>"
                  "<text:a>uolas</text:a></text:p>"),
       RawCell::makeText("Ąžuolas")},
      {"comment left out",
       stringCell(
           "<office:annotation><text:p>ne</text:p></office:annotation><text:p>taip</text:p>"),
       RawCell::makeText("taip")},
      {"string value over the paragraphs",
       cell("office:value-type=\"string\" office:string-value=\"vertė\"",
            "<text:p>rodoma</text:p>"),
       RawCell::makeText("vertė")},
      {"formula without a value", cell("table:formula=\"of:=1+1\""),
       RawCell::makeError(
           "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)")},
      {"formula with an empty number",
       cell("table:formula=\"of:=1+1\" office:value-type=\"float\""),
       RawCell::makeError(
           "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)")},
      {"number that is none", cell("office:value-type=\"float\" office:value=\"1,5\""),
       RawCell::makeError("not a number: \"1,5\"")},
      {"error without text", cell("office:value-type=\"float\" calcext:value-type=\"error\""),
       RawCell::makeError("error value")},
      {"date before 1900 as written",
       cell("office:value-type=\"date\" office:date-value=\"1899-12-31\""),
       RawCell::makeText("1899-12-31")},
      {"a day and a half", cell("office:value-type=\"time\" office:time-value=\"PT36H\""),
       RawCell::makeDateTime(1.5)},
      {"covered cell with content",
       "<table:covered-table-cell office:value-type=\"float\" office:value=\"1\"/>", RawCell()},
      {"no type, only text", cell("", "<text:p>be tipo</text:p>"), RawCell::makeText("be tipo")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto file = dir / "cell.ods";
    writeZip(file, odsParts(table("A", "<table:table-row>" + stringCell("<text:p>x</text:p>") +
                                           c.cell + "</table:table-row>")));
    const auto rows = readAll(file, 0, 5);
    ASSERT_EQ(rows.size(), 1u);
    const RawCell got = rows[0].cells.size() > 1 ? rows[0].cells[1] : RawCell();
    EXPECT_EQ(got.kind, c.expected.kind);
    EXPECT_EQ(got.text, c.expected.text);
    EXPECT_DOUBLE_EQ(got.number, c.expected.number);
  }
}

TEST(OdsSource, Durations) {
  const std::vector<std::pair<std::string_view, std::optional<double>>> cases = {
      {"PT12H30M00S", 12.5 / 24}, {"PT0H0M1.5S", 1.5 / 86400}, {"P1DT6H", 1.25},
      {"-PT6H", -0.25},           {"PT", std::nullopt},        {"P1Y", std::nullopt},
      {"12:30:00", std::nullopt}, {"PT5", std::nullopt},       {"PT1H1H", 2.0 / 24},
  };
  for (const auto& [text, days] : cases) {
    SCOPED_TRACE(text);
    const auto got = spreadsheet::ods::durationDays(text);
    ASSERT_EQ(got.has_value(), days.has_value());
    if (days) {
      EXPECT_DOUBLE_EQ(*got, *days);
    }
  }
}

TEST(OdsSource, SheetsFoundByExactNameInAnyOrder) {
  TempDir dir;
  const auto file = dir / "order.ods";
  const auto oneRow = [](std::string_view text) {
    return "<table:table-row>" + stringCell("<text:p>" + std::string(text) + "</text:p>") +
           "</table:table-row>";
  };
  writeZip(file, odsParts(table("KVD507 U", oneRow("u")) + table("kvd507 l", oneRow("mažosios")) +
                          table("KVD507 L", oneRow("l"))));
  auto book = spreadsheet::Workbook::open(file);
  EXPECT_FALSE(book.hasSheet("KVD507"));
  // Read in the order the sheet readers use, which is not the file's, then again.
  for (const char* name : {"KVD507 L", "KVD507 U", "KVD507 L", "kvd507 l"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(book.hasSheet(name));
    auto sheet = book.sheet(name, 2);
    const std::string expected = name == std::string("KVD507 L")   ? "l"
                                 : name == std::string("KVD507 U") ? "u"
                                                                   : "mažosios";
    EXPECT_EQ(sheet.cellText(1, 1, ','), expected);
  }
}

}  // namespace
}  // namespace kvd507::test
