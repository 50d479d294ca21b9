#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spreadsheet/OdsSource.h"
#include "spreadsheet/Workbook.h"
#include "spreadsheet/WorkbookError.h"
#include "support/ExpectDamage.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::test {
namespace {

const std::string kSpreadsheetType = "application/vnd.oasis.opendocument.spreadsheet";
const std::string kOpen =
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
    "<office:spreadsheet><table:table table:name=\"A\">";
const std::string kRow =
    "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1\"/>"
    "</table:table-row>";
const std::string kClose =
    "</table:table></office:spreadsheet></office:body></office:document-content>";

XlsxParts package(std::string content, std::string type = kSpreadsheetType) {
  return {
      {"mimetype", std::move(type)},
      {"META-INF/manifest.xml",
       "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
       "<manifest:file-entry manifest:full-path=\"content.xml\"/></manifest:manifest>"},
      {"content.xml", std::move(content)}};
}

struct DamageCase {
  const char* what;
  XlsxParts parts;
  std::string cause;
};

TEST(OdsDamage, FilesThatCannotBeOpenedAsSpreadsheets) {
  XlsxParts encrypted = package(kOpen + kRow + kClose);
  encrypted["META-INF/manifest.xml"] =
      "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
      "<manifest:file-entry manifest:full-path=\"content.xml\"><manifest:encryption-data "
      "manifest:checksum-type=\"SHA1/1K\"/></manifest:file-entry></manifest:manifest>";
  XlsxParts noContent = package("");
  noContent.erase("content.xml");

  const std::vector<DamageCase> cases = {
      {"saved with a password", encrypted, "saved with a password"},
      {"a text document", package(kOpen + kClose, "application/vnd.oasis.opendocument.text"),
       "not a spreadsheet"},
      {"no content part", noContent, "content.xml is missing"},
      {"content with a document type",
       package("<!DOCTYPE x [<!ENTITY a \"aaaa\">]>" + kOpen + kRow + kClose),
       "declares a document type"},
      {"content cut short before the first table", package(kOpen.substr(0, 60)), "not well-formed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto file = dir / "damaged.ods";
    writeZip(file, c.parts);
    expectDamage(file, c.cause, [&] { spreadsheet::Workbook::open(file); });
  }
}

TEST(OdsDamage, DamagedTablesFailWhileReadingWithSheetAndRow) {
  std::string deep = "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>";
  for (int i = 0; i < 100000; ++i) deep += "<text:span>";
  const std::string huge =
      "<table:table-row><table:table-cell office:value-type=\"string\">"
      "<text:p>" +
      std::string(5 << 20, 'x') + "</text:p>";
  const std::string spaces =
      "<table:table-row><table:table-cell office:value-type=\"string\">"
      "<text:p><text:s text:c=\"99999999999\"/></text:p>";
  const std::vector<DamageCase> cases = {
      {"mismatched tag", package(kOpen + kRow + "<table:table-row></table:table-cell>" + kClose),
       "content.xml is not well-formed XML (line"},
      {"cut short", package(kOpen + kRow + kRow.substr(0, 30)), "not well-formed"},
      {"undefined entity", package(kOpen + kRow + "<table:table-row>&nbsp;" + kClose),
       "undefined entity"},
      {"deep nesting", package(kOpen + kRow + deep), "nests elements too deeply"},
      {"cell text beyond all measure", package(kOpen + kRow + huge), "MiB of text"},
      {"spaces beyond all measure", package(kOpen + kRow + spaces), "MiB of spaces"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto file = dir / "damaged.ods";
    writeZip(file, c.parts);
    auto book = spreadsheet::Workbook::open(file);
    auto sheet = book.sheet("A", 5);
    expectDamage(file, c.cause, [&] {
      for (std::uint32_t row = 1; row <= 3; ++row) sheet.cellText(row, 1, ',');
    });
  }
}

TEST(OdsDamage, InflatedBytesAreCounted) {
  TempDir dir;
  const auto file = dir / "large.ods";
  std::string rows;
  for (int i = 0; i < 20000; ++i) rows += kRow;
  writeZip(file, package(kOpen + rows + kClose));
  spreadsheet::xlsx::InflateLimits limits;
  limits.sheetPart = 64 << 10;
  const auto source = spreadsheet::ods::openOdsSource(file, limits);
  const auto sheet = source->openSheet(0, 5);
  spreadsheet::RawRow row;
  expectDamage(file, "inflates beyond", [&] {
    while (sheet->next(row)) {
    }
  });
}

}  // namespace
}  // namespace kvd507::test
