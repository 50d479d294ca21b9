#include <gsf/gsf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BiffStreamBuilder.h"
#include "intake/ReadStops.h"
#include "intake/SheetReader.h"
#include "spreadsheet/Workbook.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/XlsSource.h"
#include "spreadsheet/xls/BiffValues.h"
#include "spreadsheet/xls/BiffWorkbook.h"
#include "support/ExpectDamage.h"
#include "support/TempDir.h"

namespace kvd507::test {
namespace {

using spreadsheet::RawCell;
using spreadsheet::RawRow;
using spreadsheet::WorkbookError;
using spreadsheet::WorkbookSource;
using spreadsheet::xls::BiffWorkbook;
using B = BiffStreamBuilder;

// A run's status, for the tests that read whole sheets and do not look at it.
struct SilentStatus : rows::StatusSink {
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
};

constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kRString = 0x00D6;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kShrFmla = 0x04BC;
constexpr std::uint16_t kBlank = 0x0201;
constexpr std::uint16_t kMulBlank = 0x00BE;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kFilePass = 0x002F;

// A cell as one line of text, so that tables of expected cells stay short and a mismatch
// shows both sides plainly.
std::string describe(const RawCell& cell) {
  char number[40];
  std::snprintf(number, sizeof number, "%.15g", cell.number);
  switch (cell.kind) {
    case RawCell::Kind::Empty:
      return "empty";
    case RawCell::Kind::Text:
      return "text " + std::string(cell.textView());
    case RawCell::Kind::Number:
      return std::string("number ") + number;
    case RawCell::Kind::DateTime:
      return std::string("date ") + number;
    case RawCell::Kind::Error:
      return "error " + cell.text;
  }
  return "?";
}

// Every non-empty cell of a sheet by 1-based (row, column), checking on the way that rows
// come in ascending order and hold nothing right of `maxColumn`.
std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> cells(WorkbookSource& source,
                                                                     std::size_t sheet,
                                                                     std::uint32_t maxColumn = 30) {
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> found;
  auto rows = source.openSheet(sheet, maxColumn);
  RawRow row;
  std::uint32_t previous = 0;
  while (rows->next(row)) {
    EXPECT_GT(row.number, previous);
    EXPECT_LE(row.cells.size(), maxColumn);
    EXPECT_FALSE(row.cells.empty()) << "row " << row.number;
    previous = row.number;
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
      if (row.cells[c].kind == RawCell::Kind::Empty) continue;
      found[{row.number, static_cast<std::uint32_t>(c + 1)}] = describe(row.cells[c]);
    }
  }
  return found;
}

std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> cellsOf(
    std::string stream, std::uint32_t maxColumn = 30) {
  BiffWorkbook book("test.xls", std::move(stream));
  return cells(book, 0, maxColumn);
}

// The error message of reading all of sheet 0 of a stream, or "" when it reads.
std::string failure(std::string stream) {
  try {
    BiffWorkbook book("damaged.xls", std::move(stream));
    for (std::size_t i = 0; i < book.sheetNames().size(); ++i) cells(book, i);
  } catch (const WorkbookError& e) {
    EXPECT_EQ(e.file(), "damaged.xls");
    return e.detail();
  }
  return "";
}

// A compound file holding the given streams, as Excel and encrypting tools write them.
void writeCompoundFile(const std::filesystem::path& file,
                       const std::vector<std::pair<std::string, std::string>>& streams) {
  GError* error = nullptr;
  GsfOutput* out = gsf_output_stdio_new(file.c_str(), &error);
  ASSERT_NE(out, nullptr);
  GsfOutfile* root = gsf_outfile_msole_new(out);
  for (const auto& [name, bytes] : streams) {
    GsfOutput* child = gsf_outfile_new_child(root, name.c_str(), FALSE);
    gsf_output_write(child, bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
    gsf_output_close(child);
    g_object_unref(child);
  }
  gsf_output_close(GSF_OUTPUT(root));
  g_object_unref(root);  // closing it closed `out` as well
  g_object_unref(out);
}

// --- Files written by a spreadsheet application --------------------------------------------

TEST(XlsFile, ListsWorksheetsInOrderWithHiddenOnesAndOddNames) {
  auto book = spreadsheet::openXlsSource(dataFile("xls_cell_kinds_four_sheets.xls"));
  EXPECT_EQ(book->sheetNames(),
            (std::vector<std::string>{"KVD507 L", "KVD507 U", "Jono lapas", "O'Brien"}));
  EXPECT_EQ(cells(*book, 3), (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                                 {{1, 1}, "text apostrophe"}}));
}

TEST(XlsFile, ReadsEveryKindOfCell) {
  auto book = spreadsheet::openXlsSource(dataFile("xls_cell_kinds_four_sheets.xls"));
  const auto found = cells(*book, 0);
  const std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> expected = {
      {1, 1, "text ąčęėįšųūž ĄČĘĖĮŠŲŪŽ"},
      {1, 2, "text plain"},
      {2, 1, "number 42"},
      {2, 2, "number -7"},
      {2, 3, "number 12.34"},
      {2, 4, "number 38001010000"},
      {2, 5, "number 0.1"},
      {3, 1, "date 45063"},              // built-in date format
      {3, 2, "date 45351"},              // custom date format
      {3, 3, "date 0.573263888888889"},  // 13:45:30
      {3, 4, "date 45291.25"},
      {4, 1, "number 84.5"},  // formula with a number result
      {4, 2, "text abčd"},    // formula with a string result
      {4, 3, "error #DIV/0!"},
      {4, 4, "error #N/A"},
      {4, 5, "number 1"},  // formula with a boolean result
      {4, 6, "text "},     // formula with an empty string result
      {5, 1, "number 1"},  // TRUE
      {5, 2, "number 0"},  // FALSE
      {7, 26, "text far right"},
      {9, 2, "text after a gap"},
      {9, 3, "number 1"},
      {9, 4, "number 2"},
      {9, 5, "number 3"},
  };
  for (const auto& [row, column, what] : expected) {
    const auto cell = found.find({row, column});
    ASSERT_NE(cell, found.end()) << spreadsheet::columnName(column) << row;
    EXPECT_EQ(cell->second, what) << spreadsheet::columnName(column) << row;
  }
}

TEST(XlsFile, KeepsOnlyColumnsWithinTheLimit) {
  auto book = spreadsheet::openXlsSource(dataFile("xls_cell_kinds_four_sheets.xls"));
  auto rows = book->openSheet(0, 3);
  RawRow row;
  std::vector<std::uint32_t> numbers;
  while (rows->next(row)) {
    EXPECT_LE(row.cells.size(), 3u);
    numbers.push_back(row.number);
  }
  // Row 7 holds only column Z.
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 9}));
}

TEST(XlsFile, CellTextThroughTheWorkbook) {
  auto book = spreadsheet::Workbook::open(dataFile("xls_cell_kinds_four_sheets.xls"));
  auto sheet = book.sheet("KVD507 L", 22);
  EXPECT_EQ(sheet.cellText(2, 3, ','), "12,34");
  EXPECT_EQ(sheet.cellText(2, 4, ','), "38001010000");
  EXPECT_EQ(sheet.cellText(3, 1, ','), "2023-05-17");
  EXPECT_EQ(sheet.cellText(3, 3, ','), "13:45:30");
  EXPECT_THROW(sheet.cellText(4, 3, ','), spreadsheet::CellError);
  auto u = book.sheet("KVD507 U", 22);
  EXPECT_EQ(u.cellText(6, 2, ','), "U sheet");
  EXPECT_EQ(u.cellText(6, 3, ','), "5");
}

TEST(XlsFile, SharedStringsAcrossContinueRecords) {
  auto book = spreadsheet::openXlsSource(dataFile("xls_sst_continue_600_strings.xls"));
  const auto found = cells(*book, 0);
  for (int i = 0; i < 600; ++i) {
    char text[40];
    std::snprintf(text, sizeof text, "text eilutė %04d ž", i);
    ASSERT_EQ(found.at({i + 1, 1}), text) << "row " << i + 1;
  }
  std::string latin;
  for (int i = 0; i < 9000; ++i) latin += static_cast<char>('a' + i % 26);
  EXPECT_EQ(found.at({1, 3}), "text " + latin);
  const std::string letters[] = {"ą", "č", "ę", "ė", "į", "š", "ų", "ū", "ž"};
  std::string lithuanian;
  for (int i = 0; i < 6000; ++i) lithuanian += letters[i % 9];
  EXPECT_EQ(found.at({2, 3}), "text " + lithuanian);
}

TEST(XlsFile, Dates1904AreShiftedToThe1900System) {
  auto book = spreadsheet::openXlsSource(dataFile("xls_date1904.xls"));
  const auto found = cells(*book, 0);
  EXPECT_EQ(found.at({1, 1}), "date 45063");  // 2023-05-17
  EXPECT_EQ(found.at({1, 2}), "number 5");
}

// --- Files that are not readable .xls workbooks ----------------------------------------------

std::string openFailure(const std::filesystem::path& file) {
  try {
    spreadsheet::openXlsSource(file);
  } catch (const WorkbookError& e) {
    EXPECT_EQ(e.file(), file.string());
    return e.detail();
  }
  return "";
}

TEST(XlsFile, RefusesWhatItCannotRead) {
  TempDir dir;
  const std::string fixture = readFile(dataFile("xls_cell_kinds_four_sheets.xls"));
  writeFile(dir / "truncated.xls", fixture.substr(0, 1000));
  EXPECT_NE(openFailure(dir / "truncated.xls").find("damaged"), std::string::npos);
  writeCompoundFile(dir / "other.doc", {{"WordDocument", "abc"}});
  EXPECT_EQ(openFailure(dir / "other.doc"),
            "the file holds no workbook (a compound file without a Workbook stream)");
  writeCompoundFile(dir / "excel95.xls", {{"Book", B::bof(0x0005, 0x0500) + B::eof()}});
  EXPECT_EQ(openFailure(dir / "excel95.xls"),
            "Excel 5.0/95 workbooks are not supported, save as .xls (97-2003) or .xlsx");
  writeCompoundFile(dir / "encrypted.xlsx",
                    {{"EncryptionInfo", std::string(64, 'x')}, {"EncryptedPackage", "y"}});
  EXPECT_EQ(openFailure(dir / "encrypted.xlsx"), "the workbook is encrypted (password-protected)");
  EXPECT_EQ(openFailure(dir / "missing.xls"), "cannot open: No such file or directory");
}

// libgsf warns about some damage through GLib's log; nothing of it may reach stderr raw. When
// the stream cannot be read the warnings go into the error's detail, otherwise nowhere.
TEST(XlsFile, LibraryWarningsBecomePartOfTheErrorOrNothing) {
  TempDir dir;
  // Over 4 KiB, so that the stream lies in big blocks and the small block table is unused.
  std::string stream =
      B().sheet("Lapas", B::record(kLabel, BiffBytes().cell(0, 0).string("x"))).build();
  stream += std::string(8192, '\0');
  writeCompoundFile(dir / "good.xls", {{"Workbook", stream}});
  const std::string good = readFile(dir / "good.xls");
  const auto patched = [&](std::size_t offset, std::string_view value) {
    std::string bytes = good;
    bytes.replace(offset, value.size(), value);
    return bytes;
  };
  // Header fields: 0x3C the first small block table sector, 0x4C the first big one.
  writeFile(dir / "stray.xls", patched(0x3C, std::string(4, '\0')));
  writeFile(dir / "broken.xls", patched(0x4C, "\xFF\xFF\xFF\xFF"));

  testing::internal::CaptureStderr();
  auto book = spreadsheet::Workbook::open(dir / "stray.xls");
  EXPECT_EQ(book.sheet("Lapas", 5).cellText(1, 1, ','), "x");
  std::string detail;
  try {
    spreadsheet::Workbook::open(dir / "broken.xls");
  } catch (const WorkbookError& e) {
    detail = e.detail();
    EXPECT_EQ(e.kind(), ErrorKind::kWorkbookDamaged);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(detail.find("libgsf"), std::string::npos) << detail;
  EXPECT_EQ(detail.find('\n'), std::string::npos) << detail;
}

// Only a regular file is opened: a pipe would make the reading wait for ever for a writer.
TEST(XlsFile, RefusesWhatIsNoRegularFile) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe.xls").c_str(), 0600), 0);
  for (const auto& file : {dir / "pipe.xls", dir.path()}) {
    try {
      spreadsheet::openXlsSource(file);
      ADD_FAILURE() << "opened " << file;
    } catch (const WorkbookError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kNotRegularFile);
      EXPECT_EQ(e.file(), file.string());
    }
  }
}

TEST(XlsFile, ReadsTheStreamOfAHandMadeCompoundFile) {
  TempDir dir;
  const std::string stream =
      B().sheet("Lapas", B::record(kLabel, BiffBytes().cell(0, 0).string("x"))).build();
  // Stream names are compared without regard to case.
  writeCompoundFile(dir / "upper.xls", {{"WORKBOOK", stream}});
  auto book = spreadsheet::Workbook::open(dir / "upper.xls");
  EXPECT_EQ(book.sheet("Lapas", 5).cellText(1, 1, ','), "x");
}

// --- BIFF records, built by hand -------------------------------------------------------------

TEST(BiffValues, RkNumbers) {
  struct Case {
    std::uint32_t rk;
    double value;
  };
  const Case cases[] = {
      {0x00000002u | 42u << 2, 42.0},                      // integer
      {0x00000003u | 1234u << 2, 12.34},                   // integer / 100
      {static_cast<std::uint32_t>(-5 * 4) | 0x02u, -5.0},  // negative integer
      {0x3FF00000u, 1.0},                                  // top bits of a double
      {0x3FF00001u, 0.01},                                 // double / 100
      {0xC0240000u, -10.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(spreadsheet::xls::decodeRk(c.rk), c.value) << std::hex << c.rk;
  }
}

TEST(BiffValues, ErrorTexts) {
  const std::pair<std::uint8_t, const char*> cases[] = {
      {0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
      {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"},    {0x99, "error value 0x99"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(spreadsheet::xls::errorText(code), text);
}

TEST(BiffSheet, ValueRecords) {
  std::string records;
  records += B::record(kNumber, BiffBytes().cell(0, 0).f64(2.5));
  records += B::record(kRk, BiffBytes().cell(0, 1).u32(7u << 2 | 2));
  records += B::record(kMulRk, BiffBytes()
                                   .u16(1)
                                   .u16(2)
                                   .u16(15)
                                   .u32(1u << 2 | 2)
                                   .u16(15)
                                   .u32(2u << 2 | 2)
                                   .u16(15)
                                   .u32(3u << 2 | 2)
                                   .u16(4));
  records += B::record(kLabel, BiffBytes().cell(2, 0).string(u"ąžuolas"));
  records += B::record(kRString, BiffBytes().cell(2, 1).string("rich").u16(1).u32(0));
  records += B::record(kBoolErr, BiffBytes().cell(3, 0).u8(1).u8(0));
  records += B::record(kBoolErr, BiffBytes().cell(3, 1).u8(0x2A).u8(1));
  records += B::record(kBlank, BiffBytes().cell(4, 0));
  records += B::record(kMulBlank, BiffBytes().u16(4).u16(1).u16(15).u16(15).u16(2));
  // One byte a character is Latin-1, not ASCII.
  records += B::record(kLabel, BiffBytes().cell(5, 0).string("caf\xE9 \xA9"));
  EXPECT_EQ(cellsOf(B().sheet("S", records).build()),
            (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                {{1, 1}, "number 2.5"},
                {{1, 2}, "number 7"},
                {{2, 3}, "number 1"},
                {{2, 4}, "number 2"},
                {{2, 5}, "number 3"},
                {{3, 1}, "text ąžuolas"},
                {{3, 2}, "text rich"},
                {{4, 1}, "number 1"},
                {{4, 2}, "error #N/A"},
                {{6, 1}, "text café ©"},
            }));
}

// The cached result of a formula: eight bytes that are either a double or, with 0xFFFF in
// the last two, a type byte and a value.
BiffBytes formula(std::uint16_t row, std::uint16_t column, std::uint8_t type, std::uint8_t value) {
  BiffBytes body;
  body.cell(row, column).u8(type).u8(0).u8(value).u8(0).u8(0).u8(0).u16(0xFFFF);
  return body.u16(0).u32(0).u16(0);  // options, reserved, empty formula
}

TEST(BiffSheet, FormulaResults) {
  std::string records;
  records += B::record(kFormula, BiffBytes().cell(0, 0).f64(-3.25).u16(0).u32(0).u16(0));
  records += B::record(kFormula, formula(0, 1, 0, 0));
  records += B::record(kShrFmla, std::string(10, '\0'));  // may stand before the STRING
  records += B::record(kString, BiffBytes().string(u"rezultatas ė"));
  records += B::record(kFormula, formula(0, 2, 1, 1));
  records += B::record(kFormula, formula(0, 3, 2, 0x07));
  records += B::record(kFormula, formula(0, 4, 3, 0));
  records += B::record(kFormula, formula(0, 5, 0, 0));  // its STRING record is missing
  records += B::record(kNumber, BiffBytes().cell(1, 0).f64(1));
  records += B::record(kString, BiffBytes().string("stray"));  // belongs to no formula
  records += B::record(kFormula, formula(1, 1, 0, 0));         // last in the sheet, no STRING
  EXPECT_EQ(
      cellsOf(B().sheet("S", records).build()),
      (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
          {{1, 1}, "number -3.25"},
          {{1, 2}, "text rezultatas ė"},
          {{1, 3}, "number 1"},
          {{1, 4}, "error #DIV/0!"},
          {{1, 5}, "text "},
          {{1, 6}, "error formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)"},
          {{2, 1}, "number 1"},
          {{2, 2}, "error formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)"},
      }));
}

TEST(BiffSheet, CellsOutOfOrderAreSortedAndALaterCopyWins) {
  std::string records;
  records += B::record(kNumber, BiffBytes().cell(5, 1).f64(6));
  records += B::record(kNumber, BiffBytes().cell(0, 2).f64(1));
  records += B::record(kNumber, BiffBytes().cell(0, 0).f64(2));
  records += B::record(kNumber, BiffBytes().cell(5, 1).f64(7));
  records += B::record(kNumber, BiffBytes().cell(3, 40).f64(9));  // past the column limit
  EXPECT_EQ(cellsOf(B().sheet("S", records).build(), 30),
            (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                {{1, 1}, "number 2"},
                {{1, 3}, "number 1"},
                {{6, 2}, "number 7"},
            }));
}

TEST(BiffSheet, ManyCopiesOfOneCellKeepTheLast) {
  std::string records;
  for (int i = 0; i < 20000; ++i) {
    records += B::record(kNumber, BiffBytes().cell(static_cast<std::uint16_t>(i % 3), 0).f64(i));
  }
  EXPECT_EQ(cellsOf(B().sheet("S", records).build()),
            (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                {{1, 1}, "number 19998"},
                {{2, 1}, "number 19999"},
                {{3, 1}, "number 19997"},
            }));
}

TEST(BiffSheet, EmbeddedChartDoesNotEndTheSheet) {
  std::string records;
  records += B::record(kNumber, BiffBytes().cell(0, 0).f64(1));
  records += B::bof(0x0020) + B::record(kNumber, BiffBytes().cell(0, 1).f64(5)) + B::eof();
  records += B::record(kNumber, BiffBytes().cell(1, 0).f64(2));
  EXPECT_EQ(cellsOf(B().sheet("S", records).build()),
            (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                {{1, 1}, "number 1"},
                {{2, 1}, "number 2"},
            }));
}

TEST(BiffGlobals, OnlyWorksheetsAreListed) {
  const std::string stream = B().sheet("KVD507 L", "")
                                 .sheet("Diagrama", "", 2)
                                 .sheet("Makro", "", 1)
                                 .sheet("KVD507 U", B::record(kRk, BiffBytes().cell(0, 0).u32(6)))
                                 .build();
  BiffWorkbook book("test.xls", stream);
  EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"KVD507 L", "KVD507 U"}));
  EXPECT_EQ(cells(book, 1).at({1, 1}), "number 1");  // the RK's own sheet, not the chart's
}

// A shared string table split over CONTINUE records at the given byte counts of `body`.
std::string sharedStringTable(const std::string& body, std::vector<std::size_t> cuts) {
  std::string records;
  std::size_t from = 0;
  for (std::size_t i = 0; i <= cuts.size(); ++i) {
    const std::size_t to = i < cuts.size() ? cuts[i] : body.size();
    records += B::record(i == 0 ? kSst : kContinue, body.substr(from, to - from));
    from = to;
  }
  return records;
}

TEST(BiffGlobals, SharedStringsSplitOverContinueRecords) {
  // Strings: "abcdef" compressed, continued as UTF-16; "ėx" UTF-16 with two rich text runs
  // and phonetic data that run over into the next record; an empty string; "tail" starting a
  // record of its own (no option byte then).
  BiffBytes body;
  body.u32(4).u32(4);
  body.u16(6).u8(0).compressed("abc");                // cut after "abc" -> 11 bytes
  body.u8(1).utf16(u"def");                           // option byte, then UTF-16
  body.u16(2).u8(0x0D).u16(2).u32(5).utf16(u"ėx");    // rich + phonetic
  body.u32(0x11111111).u32(0x22222222).raw("PHONE");  // runs and phonetic data
  body.u16(0).u8(0);                                  // empty string
  body.u16(4).u8(0).compressed("tail");
  const std::string& b = body.bytes();
  const std::size_t afterAbc = 8 + 3 + 3;
  const std::size_t insideRuns = b.find("\x22\x22", 0);
  const std::size_t atTail = b.size() - 7;
  std::string records;
  for (int i = 0; i < 4; ++i) {
    records += B::record(kLabelSst, BiffBytes().cell(static_cast<std::uint16_t>(i), 0).u32(i));
  }
  records += B::record(kLabelSst, BiffBytes().cell(4, 0).u32(4));  // no such string
  const std::string stream =
      B().global(sharedStringTable(b, {afterAbc, insideRuns, atTail})).sheet("S", records).build();
  EXPECT_EQ(cellsOf(stream), (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                                 {{1, 1}, "text abcdef"},
                                 {{2, 1}, "text ėx"},
                                 {{3, 1}, "text "},
                                 {{4, 1}, "text tail"},
                                 {{5, 1},
                                  "error the cell refers to a shared string the file "
                                  "does not have"},
                             }));
}

TEST(BiffGlobals, SharedStringCountIsNotTrusted) {
  BiffBytes body;
  body.u32(0xFFFFFFFF).u32(0xFFFFFFFF).string("only");
  const std::string stream = B().global(B::record(kSst, body))
                                 .sheet("S", B::record(kLabelSst, BiffBytes().cell(0, 0).u32(0)))
                                 .build();
  EXPECT_EQ(cellsOf(stream).at({1, 1}), "text only");
}

std::string xf(std::uint16_t format) {
  BiffBytes body;
  body.u16(0).u16(format).raw(std::string(16, '\0'));
  return B::record(kXf, body);
}

TEST(BiffGlobals, NumberFormatsDecideDates) {
  std::string globals;
  globals += B::record(kFormat, BiffBytes().u16(164).string("yyyy-mm-dd"));
  globals += B::record(kFormat, BiffBytes().u16(165).string("#,##0.00\\ \"Eur\""));
  // A format the file spells out overrides the meaning of its built-in id.
  globals += B::record(kFormat, BiffBytes().u16(22).string("0.00"));
  globals += xf(0) + xf(14) + xf(164) + xf(165) + xf(22) + xf(47);
  std::string records;
  for (std::uint16_t i = 0; i < 7; ++i) {
    records += B::record(kNumber, BiffBytes().cell(0, i, i).f64(45000.5));  // xf 6 is missing
  }
  const auto found = cellsOf(B().global(globals).sheet("S", records).build());
  const char* expected[] = {"number", "date", "date", "number", "number", "date", "number"};
  for (std::uint32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(found.at({1, i + 1}), std::string(expected[i]) + " 45000.5") << "xf " << i;
  }
}

TEST(BiffGlobals, Date1904WorkbooksShiftDatesOnly) {
  std::string globals = B::record(kDateMode, BiffBytes().u16(1)) + xf(0) + xf(14);
  std::string records = B::record(kNumber, BiffBytes().cell(0, 0, 1).f64(0)) +
                        B::record(kNumber, BiffBytes().cell(0, 1, 0).f64(10));
  EXPECT_EQ(cellsOf(B().global(globals).sheet("S", records).build()),
            (std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>{
                {{1, 1}, "date 1462"},  // 1904-01-01
                {{1, 2}, "number 10"},
            }));
}

TEST(BiffGlobals, RefusedWorkbooks) {
  EXPECT_EQ(failure(B().global(B::record(kFilePass, BiffBytes().u16(1).raw(std::string(52, 'k'))))
                        .sheet("S", "")
                        .build()),
            "the workbook is password-protected");
  EXPECT_EQ(failure(B::bof(0x0005, 0x0500) + B::eof()),
            "Excel 5.0/95 workbooks are not supported, save as .xls (97-2003) or .xlsx");
  EXPECT_EQ(failure(B::record(0x0409, BiffBytes().u16(0).u16(0x10))),
            "workbooks older than Excel 97 are not supported, save as .xls (97-2003) or .xlsx");
}

TEST(BiffGlobals, DamagedStreams) {
  const std::string good =
      B().sheet("S", B::record(kLabel, BiffBytes().cell(0, 0).string("abc"))).build();
  const std::string sheetStart = B::bof(B::kWorksheet);
  struct Case {
    const char* what;
    std::string stream;
    const char* cause;
  };
  std::string overrun = good;
  overrun[overrun.size() - 4 - 16 + 2] = '\x40';  // LABEL's length, now past the end
  std::string badOffset = B().sheet("S", "").build();
  badOffset[good.find('\x85') + 4] = '\x7F';  // BOUNDSHEET offset far past the end
  std::string longLabel =
      B().sheet("S", B::record(kLabel, BiffBytes().cell(0, 0).u16(50).u8(0).raw("abc"))).build();
  const Case cases[] = {
      {"empty", "", "the workbook stream is empty"},
      {"not BIFF", B::record(0x0001, "xx"), "the workbook stream does not start with a BOF record"},
      {"cut in a header", good.substr(0, good.size() - 2),
       "the workbook stream ends inside a record header"},
      {"cut in a record", good.substr(0, good.size() - 6),
       "a record runs past the end of the workbook stream"},
      {"length overrun", overrun, "a record runs past the end of the workbook stream"},
      {"no globals EOF", B::bof(B::kGlobals),
       "the workbook stream ends before the end of the workbook's records"},
      {"sheet offset past the end", badOffset, "a sheet starts past the end of the workbook"},
      {"sheet not at a BOF", B().rawSheet("S", B::eof()).build(),
       "the sheet's records do not start where the workbook says"},
      {"no sheet EOF", B().rawSheet("S", sheetStart).build(),
       "the sheet's records end before its EOF record"},
      {"string past its record", longLabel, "a string is longer than its record"},
      {"short cell record", B().sheet("S", B::record(kNumber, BiffBytes().cell(0, 0))).build(),
       "a record is shorter than its contents"},
      {"MULRK length",
       B().sheet("S", B::record(kMulRk, BiffBytes().u16(0).u16(0).u16(15).u8(0))).build(),
       "a MULRK record has a wrong length"},
      {"half a character",
       B().sheet("S", B::record(kLabel, BiffBytes().cell(0, 0).u16(2).u8(1).raw("abc"))).build(),
       "a string's character is split between records"},
  };
  for (const auto& c : cases) EXPECT_EQ(failure(c.stream), c.cause) << c.what;
}

TEST(BiffGlobals, DamagedSheetIsNamedInTheError) {
  BiffWorkbook book("damaged.xls", B().rawSheet("KVD507 L", B::bof(B::kWorksheet)).build());
  if (const auto e = thrownBy([&] { book.openSheet(0, 22); })) {
    EXPECT_EQ(e->file(), "damaged.xls");
    EXPECT_EQ(e->sheet(), "KVD507 L");
  }
}

// A record whose length runs past the stream is damage, not a cell without text: the sheet
// reader fails instead of keeping the rows before it, and the error says where the record is.
TEST(BiffGlobals, ALyingRecordLengthFailsTheSheetReaderWithItsOffset) {
  const std::string liar = B::record(kNumber, BiffBytes().cell(6, 7).f64(1));
  std::string stream =
      B().sheet("KVD507 L", B::record(kLabel, BiffBytes().cell(5, 1).string("Ona")) +
                                B::record(kNumber, BiffBytes().cell(5, 7).f64(10)) + liar)
          .build();
  const std::size_t at = stream.rfind(liar);
  stream[at + 2] = '\x7F';  // its length, now far past the end of the stream
  auto book = spreadsheet::Workbook::fromSource(
      "damaged.xls", std::make_shared<BiffWorkbook>("damaged.xls", std::move(stream)));
  rows::RowTable lRows;
  SilentStatus status;
  if (const auto e = thrownBy([&] { intake::readLSheet(book, lRows, status, ','); })) {
    EXPECT_EQ(e->kind(), ErrorKind::kWorkbookDamaged);
    EXPECT_EQ(e->file(), "damaged.xls");
    EXPECT_EQ(e->sheet(), "KVD507 L");
    EXPECT_EQ(e->offset(), at);
    EXPECT_EQ(e->detail(), "a record runs past the end of the workbook stream");
  }
  EXPECT_TRUE(lRows.empty());
}

// What opening a sheet gives: its cells, or the place and cause of the failure.
std::string openingOutcome(BiffWorkbook& book, std::size_t sheet, std::uint32_t maxColumn) {
  try {
    std::string text;
    for (const auto& [at, cell] : cells(book, sheet, maxColumn)) {
      text += std::to_string(at.first) + "," + std::to_string(at.second) + " " + cell + "\n";
    }
    return text;
  } catch (const WorkbookError& e) {
    return "failed: " + e.file() + " / " + e.sheet() + " / row " + std::to_string(e.row()) +
           " / offset " + std::to_string(e.offset().value_or(0)) + " / " + e.detail();
  }
}

// A sheet read ahead on its own thread opens with the same cells, or fails with the same
// error in the same place, as one read when it is opened; so does one prepared with another
// column limit, or prepared while another sheet is read.
TEST(BiffWorkbook, APreparedSheetOpensAsOneReadWhenOpened) {
  const std::string lSheet = B::record(kLabel, BiffBytes().cell(5, 1).string("Ona")) +
                             B::record(kNumber, BiffBytes().cell(5, 7).f64(10));
  const std::string uRecords = B::record(kLabel, BiffBytes().cell(5, 1).string("Jonas")) +
                               B::record(kRk, BiffBytes().cell(5, 12).u32(0x00000C82)) +
                               B::record(kNumber, BiffBytes().cell(3, 20).f64(7));
  std::string overrun = B().sheet("KVD507 L", lSheet).sheet("KVD507 U", uRecords).build();
  overrun[overrun.size() - 4 - 18 + 2] = '\x7F';  // the last NUMBER's length, past the end
  const struct {
    const char* what;
    std::string stream;
  } streams[] = {
      {"good", B().sheet("KVD507 L", lSheet).sheet("KVD507 U", uRecords).build()},
      {"no EOF", B().sheet("KVD507 L", lSheet)
                     .rawSheet("KVD507 U", B::bof(B::kWorksheet) + uRecords)
                     .build()},
      {"record past the end", overrun},
  };
  for (const auto& c : streams) {
    BiffWorkbook direct("x.xls", c.stream);
    const std::string expected = openingOutcome(direct, 1, 19);
    ASSERT_NE(expected, "") << c.what;
    EXPECT_EQ(expected.starts_with("failed"), std::string(c.what) != "good") << c.what;

    BiffWorkbook prepared("x.xls", c.stream);
    prepared.prepareSheet("KVD507 U", 19);
    EXPECT_EQ(openingOutcome(prepared, 0, 19), openingOutcome(direct, 0, 19)) << c.what;
    EXPECT_EQ(openingOutcome(prepared, 1, 19), expected) << c.what;

    BiffWorkbook otherLimit("x.xls", c.stream);
    otherLimit.prepareSheet("KVD507 U", 30);
    EXPECT_EQ(openingOutcome(otherLimit, 1, 19), expected) << c.what;

    BiffWorkbook neverOpened("x.xls", c.stream);
    neverOpened.prepareSheet("KVD507 U", 19);
    neverOpened.prepareSheet("KVD507 L", 19);  // one at a time: ignored
    neverOpened.prepareSheet("no such sheet", 19);
    EXPECT_EQ(openingOutcome(neverOpened, 0, 19), openingOutcome(direct, 0, 19)) << c.what;
  }
}

// Damage in the U sheet, read while the L sheet is, still fails the U sheet when it is opened:
// after the L rows, naming the U sheet and no row, as the opening of a sheet always has.
TEST(BiffWorkbook, DamageInAPreparedUSheetComesWhenItIsRead) {
  std::string stream =
      B().sheet("KVD507 L", B::record(kLabel, BiffBytes().cell(5, 1).string("Ona")) +
                                B::record(kNumber, BiffBytes().cell(5, 7).f64(10)))
          .rawSheet("KVD507 U", B::bof(B::kWorksheet))
          .build();
  auto book = spreadsheet::Workbook::fromSource(
      "damaged.xls", std::make_shared<BiffWorkbook>("damaged.xls", std::move(stream)));
  rows::RowTable lRows;
  rows::RowTable uRows;
  SilentStatus status;
  intake::ReadStops stops;
  intake::readLSheet(book, lRows, status, ',', stops);
  EXPECT_TRUE(stops.stops().empty());
  EXPECT_EQ(lRows.size(), 1u);
  if (const auto e = thrownBy([&] { intake::readUSheet(book, uRows, status, ','); })) {
    EXPECT_EQ(e->kind(), ErrorKind::kWorkbookDamaged);
    EXPECT_EQ(e->file(), "damaged.xls");
    EXPECT_EQ(e->sheet(), "KVD507 U");
    EXPECT_EQ(e->row(), 0u);
    EXPECT_EQ(e->detail(), "the sheet's records end before its EOF record");
  }
}

// The longest string a .xls can hold (65535 characters, here of three UTF-8 bytes each) as its
// one shared string, used in the B, I and P cells of a thousand rows: referred to, never copied
// per cell, and stopped by the bound on the row tables long before it could fill the memory.
TEST(BiffGlobals, ALongSharedStringInEveryRowIsBoundedByTheTables) {
  constexpr std::size_t kLength = 65535;
  std::string sst = B::record(kSst, BiffBytes().u32(3000).u32(1).u16(kLength).u8(1));
  for (std::size_t done = 0; done < kLength; done += 4000) {
    const std::u16string chunk(std::min<std::size_t>(4000, kLength - done), u'€');
    sst += B::record(kContinue, BiffBytes().u8(1).utf16(chunk));
  }
  std::string records;
  for (std::uint16_t row = 5; row < 1005; ++row) {
    records += B::record(kLabelSst, BiffBytes().cell(row, 1).u32(0));
    records += B::record(kNumber, BiffBytes().cell(row, 2).f64(row));
    records += B::record(kNumber, BiffBytes().cell(row, 7).f64(1));
    records += B::record(kLabelSst, BiffBytes().cell(row, 8).u32(0));
    records += B::record(kLabelSst, BiffBytes().cell(row, 15).u32(0));
  }
  auto book = spreadsheet::Workbook::fromSource(
      "long.xls", std::make_shared<BiffWorkbook>(
                      "long.xls", B().global(sst).sheet("KVD507 L", records).build()));
  rows::RowTable lRows;
  SilentStatus status;
  if (const auto e = thrownBy<Error>([&] { intake::readLSheet(book, lRows, status, ','); })) {
    EXPECT_EQ(e->kind(), ErrorKind::kTooMuchText);
    EXPECT_EQ(e->file(), "long.xls");
    EXPECT_EQ(e->sheet(), "KVD507 L");
    EXPECT_GT(e->row(), 6u);
  }
  EXPECT_LE(lRows.textSize(), rows::RowTable::kDefaultTextLimit);
}

}  // namespace
}  // namespace kvd507::test
