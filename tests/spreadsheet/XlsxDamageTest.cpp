#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <functional>
#include <string>
#include <vector>

#include "spreadsheet/Workbook.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/XlsxSource.h"
#include "spreadsheet/xlsx/InflateLimits.h"
#include "support/ExpectDamage.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::test {
namespace {

using spreadsheet::WorkbookError;

const std::string kRow = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";

std::string validXlsx(const TempDir& dir) {
  writeZip(dir / "valid.xlsx", minimalWorkbook(kRow));
  return readFile(dir / "valid.xlsx");
}

// Where the stored data of `part` begins in a zip written by writeZip.
std::size_t entryData(const std::string& zipBytes, const std::string& part) {
  const std::size_t header = zipBytes.find(std::string("PK\x03\x04", 4));
  for (std::size_t at = header; at != std::string::npos;
       at = zipBytes.find(std::string("PK\x03\x04", 4), at + 4)) {
    const auto u16 = [&](std::size_t offset) {
      return static_cast<std::size_t>(static_cast<unsigned char>(zipBytes[at + offset])) |
             static_cast<std::size_t>(static_cast<unsigned char>(zipBytes[at + offset + 1])) << 8;
    };
    const std::size_t nameLength = u16(26);
    if (zipBytes.compare(at + 30, nameLength, part) == 0) return at + 30 + nameLength + u16(28);
  }
  throw std::runtime_error("no entry " + part);
}

// A long sheet: `rows` rows of a few cells.
std::string manyRows(int rows) {
  std::string xml;
  for (int r = 1; r <= rows; ++r) {
    const std::string n = std::to_string(r);
    xml += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n +
           "\" t=\"inlineStr\"><is><t>eilute " + n + "</t></is></c></row>";
  }
  return xml;
}

struct OpenCase {
  const char* what;
  std::string bytes;
  std::string cause;
};

TEST(XlsxDamage, FilesThatCannotBeOpenedAsWorkbooks) {
  TempDir dir;
  const std::string valid = validXlsx(dir);
  const auto withParts = [&](XlsxParts parts) {
    writeZip(dir / "parts.xlsx", parts);
    return readFile(dir / "parts.xlsx");
  };
  XlsxParts noWorkbook = minimalWorkbook(kRow);
  noWorkbook.erase("xl/workbook.xml");
  XlsxParts doctype = minimalWorkbook(kRow);
  doctype["xl/workbook.xml"].insert(0, "<!DOCTYPE workbook [<!ENTITY a \"aaaaaaaaaa\">]>");
  XlsxParts badWorkbook = minimalWorkbook(kRow);
  badWorkbook["xl/workbook.xml"].resize(40);
  XlsxParts badRels = minimalWorkbook(kRow);
  badRels["xl/_rels/workbook.xml.rels"] += "<junk/>";

  const std::vector<OpenCase> cases = {
      {"text file", "just some text, long enough to look like anything", "not a zip archive"},
      {"empty file", "", "not a zip archive"},
      {"truncated zip", valid.substr(0, valid.size() / 2), "truncated"},
      {"zip directory cut short", valid.substr(0, valid.size() - 10), "zip"},
      {"no workbook part", withParts(noWorkbook), "no workbook part"},
      {"workbook part with a document type", withParts(doctype), "declares a document type"},
      {"workbook part cut short", withParts(badWorkbook), "xl/workbook.xml is not well-formed"},
      {"relationships with junk", withParts(badRels), "workbook.xml.rels is not well-formed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir / "damaged.xlsx";
    writeFile(file, c.bytes);
    expectDamage(file, c.cause, [&] { spreadsheet::openXlsxSource(file); });
  }
}

// Only a regular file is opened: a pipe would make the reading wait for ever for a writer.
TEST(XlsxDamage, RefusesWhatIsNoRegularFile) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe.xlsx").c_str(), 0600), 0);
  for (const auto& file : {dir / "pipe.xlsx", dir.path()}) {
    SCOPED_TRACE(file);
    for (const auto& open : {std::function<void()>([&] { spreadsheet::openXlsxSource(file); }),
                             std::function<void()>([&] { spreadsheet::Workbook::open(file); })}) {
      if (const auto e = thrownBy(open)) {
        EXPECT_EQ(e->kind(), ErrorKind::kNotRegularFile);
        EXPECT_EQ(e->file(), file.string());
      }
    }
  }
}

struct ReadCase {
  const char* what;
  XlsxParts parts;
  std::string cause;
};

TEST(XlsxDamage, DamagedSheetsFailWhileReadingWithSheetAndRow) {
  std::string deep = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"2\"><c><is>";
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  const std::string laughs =
      "<!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">]>";

  XlsxParts notWellFormed = minimalWorkbook(kRow + "<row r=\"2\"><c><v>1</v></row>");
  XlsxParts doctype = minimalWorkbook(kRow);
  doctype["xl/worksheets/sheet1.xml"].insert(0, laughs);
  XlsxParts external = minimalWorkbook(kRow);
  external["xl/worksheets/sheet1.xml"] =
      "<!DOCTYPE worksheet SYSTEM \"file:///etc/passwd\">" + sheetXml(kRow);
  XlsxParts entity = minimalWorkbook(kRow + "<row r=\"2\"><c t=\"str\"><v>&nbsp;</v></c></row>");
  XlsxParts cutShort = minimalWorkbook(kRow);
  cutShort["xl/worksheets/sheet1.xml"].resize(cutShort["xl/worksheets/sheet1.xml"].find(kRow) +
                                              kRow.size());
  XlsxParts nested = minimalWorkbook(kRow);
  nested["xl/worksheets/sheet1.xml"] = sheetXml(deep);
  XlsxParts hugeCell = minimalWorkbook(kRow + "<row r=\"2\"><c t=\"str\"><v>" +
                                       std::string(5 << 20, 'x') + "</v></c></row>");
  XlsxParts badRow = minimalWorkbook(kRow + "<row r=\"two\"><c><v>1</v></c></row>");

  const std::vector<ReadCase> cases = {
      {"mismatched tag", notWellFormed, "sheet1.xml is not well-formed XML (line"},
      {"entity expansion", doctype, "declares a document type"},
      {"external entity", external, "declares a document type"},
      {"undefined entity", entity, "undefined entity"},
      {"part cut short", cutShort, "not well-formed"},
      {"deep nesting", nested, "nests elements too deeply"},
      {"cell text beyond all measure", hugeCell, "MiB of text"},
      {"row number that is no number", badRow, "row numbered \"two\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto file = dir / "damaged.xlsx";
    writeZip(file, c.parts);
    auto book = spreadsheet::Workbook::open(file);
    auto sheet = book.sheet("Sheet1", 5);
    const auto e = expectDamage(file, c.cause, [&] {
      for (std::uint32_t row = 1; row <= 3; ++row) sheet.cellText(row, 1, ',');
    });
    if (e) {
      EXPECT_EQ(e->sheet(), "Sheet1");
      EXPECT_NE(e->row(), 0u);
    }
  }
}

// No sheet has more rows than 1,048,576: a filled row past them is refused, naming the sheet and
// the bound, not a row; empty rows there are dropped as any empty row is.
TEST(XlsxDamage, FilledRowsPastTheLastRowAreRefused) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row>", false},
      {"<row r=\"1048577\"/><row r=\"4000000000\"><c r=\"B4000000000\"/></row>", false},
      {"<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>", true},
  };
  for (const auto& [rows, refused] : cases) {
    SCOPED_TRACE(rows);
    TempDir dir;
    const auto file = dir / "tall.xlsx";
    writeZip(file, minimalWorkbook(kRow + rows));
    auto book = spreadsheet::Workbook::open(file);
    auto sheet = book.sheet("Sheet1", 5);
    try {
      for (const std::uint32_t row : {1u, 1048576u, 1048577u}) sheet.cellText(row, 1, ',');
      EXPECT_FALSE(refused);
    } catch (const WorkbookError& e) {
      EXPECT_TRUE(refused) << e.what();
      EXPECT_EQ(e.cause(), "failas \"" + file.string() +
                               "\", lapas \"Sheet1\": eilučių daugiau nei 1 048 576");
    }
  }
}

TEST(XlsxDamage, PartsMissingOrDamagedWhenASheetIsOpened) {
  XlsxParts noSheet = minimalWorkbook(kRow);
  noSheet.erase("xl/worksheets/sheet1.xml");
  XlsxParts badStrings = minimalWorkbook(kRow);
  badStrings["xl/sharedStrings.xml"] += "<si>";
  XlsxParts badStyles = minimalWorkbook(kRow);
  badStyles["xl/styles.xml"].insert(0, "<!DOCTYPE styleSheet>");

  const std::vector<ReadCase> cases = {
      {"missing worksheet part", noSheet, "xl/worksheets/sheet1.xml is missing"},
      {"damaged shared strings", badStrings, "sharedStrings.xml is not well-formed"},
      {"styles with a document type", badStyles, "declares a document type"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto file = dir / "damaged.xlsx";
    writeZip(file, c.parts);
    auto book = spreadsheet::Workbook::open(file);
    expectDamage(file, c.cause, [&] { book.sheet("Sheet1", 5); });
  }
}

TEST(XlsxDamage, CorruptCompressedDataIsReportedNotRead) {
  TempDir dir;
  const auto file = dir / "corrupt.xlsx";
  writeZip(file, minimalWorkbook(manyRows(2000)));
  std::string bytes = readFile(file);
  const std::size_t data = entryData(bytes, "xl/worksheets/sheet1.xml");
  for (std::size_t i = data + 200; i < data + 260; ++i) bytes[i] = static_cast<char>(~bytes[i]);
  writeFile(file, bytes);

  auto book = spreadsheet::Workbook::open(file);
  auto sheet = book.sheet("Sheet1", 5);
  expectDamage(file, "xl/worksheets/sheet1.xml", [&] {
    for (std::uint32_t row = 1; row <= 2000; ++row) sheet.cellText(row, 1, ',');
  });
}

TEST(XlsxDamage, EncryptedEntriesAreRefused) {
  if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1)) {
    GTEST_SKIP() << "this libzip cannot write encrypted entries";
  }
  TempDir dir;
  const auto file = dir / "encrypted.xlsx";
  writeZip(file, minimalWorkbook(kRow));
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), 0, &error);
  ASSERT_NE(archive, nullptr);
  const zip_int64_t index = zip_name_locate(archive, "xl/worksheets/sheet1.xml", 0);
  ASSERT_GE(index, 0);
  ASSERT_EQ(
      zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "slaptas"),
      0);
  ASSERT_EQ(zip_close(archive), 0);

  auto book = spreadsheet::Workbook::open(file);
  expectDamage(file, "xl/worksheets/sheet1.xml is encrypted", [&] { book.sheet("Sheet1", 5); });
}

// Inflating is counted in bytes actually produced, per part and in all, so these use small
// limits to show it without gigabytes of test data.
TEST(XlsxInflateLimits, ASheetPartStopsPastItsLimitAfterHandingOutEarlierRows) {
  TempDir dir;
  const auto file = dir / "long.xlsx";
  writeZip(file, minimalWorkbook(manyRows(40000)));  // about 3 MiB of XML
  spreadsheet::xlsx::InflateLimits limits;
  limits.sheetPart = 1 << 20;
  const auto source = spreadsheet::xlsx::openXlsxSource(file, limits);
  const auto rows = source->openSheet(0, 5);
  spreadsheet::RawRow row;
  std::uint32_t read = 0;
  expectDamage(file, "xl/worksheets/sheet1.xml inflates beyond 1 MiB", [&] {
    while (rows->next(row)) read = row.number;
  });
  EXPECT_GT(read, 1000u) << "rows are handed out while the part streams";
  EXPECT_THROW(rows->next(row), WorkbookError) << "a failed sheet stays failed";
}

TEST(XlsxInflateLimits, OtherPartsAndTheWholeArchiveHaveLimitsToo) {
  TempDir dir;
  const auto file = dir / "big.xlsx";
  XlsxParts parts = minimalWorkbook(manyRows(15000));  // about 1 MiB
  std::string strings = "<sst>";
  for (int i = 0; i < 100000; ++i) strings += "<si><t>eilute " + std::to_string(i) + "</t></si>";
  parts["xl/sharedStrings.xml"] = strings + "</sst>";  // about 2.5 MiB
  writeZip(file, parts);

  spreadsheet::xlsx::InflateLimits strict;
  strict.otherPart = 1 << 20;
  expectDamage(file, "xl/sharedStrings.xml inflates beyond 1 MiB",
               [&] { spreadsheet::xlsx::openXlsxSource(file, strict)->openSheet(0, 5); });

  spreadsheet::xlsx::InflateLimits total;
  total.total = 3 << 20;
  const auto source = spreadsheet::xlsx::openXlsxSource(file, total);
  expectDamage(file, "beyond 3 MiB in all", [&] {
    const auto rows = source->openSheet(0, 5);
    spreadsheet::RawRow row;
    while (rows->next(row)) {
    }
  });
}

TEST(XlsxInflateLimits, DeclaredSizesAreNotTrusted) {
  // The directory claims the sheet inflates to 100 bytes; it inflates to about 3 MiB.
  TempDir dir;
  const auto file = dir / "liar.xlsx";
  writeZip(file, minimalWorkbook(manyRows(40000)));
  std::string bytes = readFile(file);
  const std::string name = "xl/worksheets/sheet1.xml";
  const auto patch = [&](std::size_t sizeOffset) {
    bytes[sizeOffset] = 100;
    bytes[sizeOffset + 1] = 0;
    bytes[sizeOffset + 2] = 0;
    bytes[sizeOffset + 3] = 0;
  };
  const std::size_t local = entryData(bytes, name) - 30 - name.size();
  patch(local + 22);
  const std::size_t central = bytes.find(std::string("PK\x01\x02", 4));
  for (std::size_t at = central; at != std::string::npos;
       at = bytes.find(std::string("PK\x01\x02", 4), at + 4)) {
    if (bytes.compare(at + 46, name.size(), name) == 0) patch(at + 24);
  }
  writeFile(file, bytes);

  spreadsheet::xlsx::InflateLimits limits;
  limits.sheetPart = 1 << 20;
  const auto source = spreadsheet::xlsx::openXlsxSource(file, limits);
  expectDamage(file, "xl/worksheets/sheet1.xml inflates beyond 1 MiB", [&] {
    const auto rows = source->openSheet(0, 5);
    spreadsheet::RawRow row;
    while (rows->next(row)) {
    }
  });
}

}  // namespace
}  // namespace kvd507::test
