#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/SheetScan.h"
#include "spreadsheet/xlsx/SheetStream.h"
#include "spreadsheet/xlsx/ZipArchive.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

constexpr const char* kPart = "xl/worksheets/sheet1.xml";
constexpr std::uint64_t kLimit = 1 << 20;

struct Outcome {
  std::vector<RawRow> rows;
  std::string refusal;  // empty when the part was read to the end
};

// The rows of one worksheet part as the tokenizer reads it, `chunkSize` bytes inflated at a
// time, or as expat reads it when `chunkSize` is 0.
Outcome read(const std::string& xml, std::size_t chunkSize) {
  test::TempDir dir;
  const auto file = dir / "sheet.zip";
  test::writeZip(file, {{kPart, xml}});
  Outcome outcome;
  try {
    ZipArchive archive(file, kLimit);
    auto strings = std::make_shared<SharedStrings>();
    strings->add("shared");
    const SheetContext context{strings, std::make_shared<CellStyles>(), false};
    std::unique_ptr<RowSource> rows;
    if (chunkSize == 0) {
      rows = std::make_unique<SheetStream>(archive.open(kPart, kLimit), context, 100);
    } else {
      rows = std::make_unique<SheetScan>(archive, kPart, kLimit, context, 100, chunkSize);
    }
    RawRow row;
    while (rows->next(row)) {
      // Shared texts are views into a table that is gone once the part is read.
      for (RawCell& cell : row.cells) {
        if (cell.shared) cell = RawCell::makeText(std::string(cell.textView()));
      }
      outcome.rows.push_back(row);
    }
  } catch (const WorkbookError& e) {
    outcome.refusal = e.cause();
  }
  return outcome;
}

std::string describe(const Outcome& outcome) {
  std::string text;
  for (const RawRow& row : outcome.rows) {
    text += std::to_string(row.number) + ":";
    for (const RawCell& cell : row.cells) {
      text += " [" + std::to_string(static_cast<int>(cell.kind)) + " " + cell.text + " " +
              std::to_string(cell.number) + "]";
    }
    text += "\n";
  }
  return text + (outcome.refusal.empty() ? "finished" : "refused");
}

struct Case {
  const char* what;
  std::string xml;
  std::string cells;  // the cells of the first row, as text, "|" between them; or "refused"
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.what;
}

class SheetTokenizerTest : public testing::TestWithParam<Case> {};

// Every chunk size cuts the markup somewhere else; all must read as expat reads the part.
TEST_P(SheetTokenizerTest, ReadsAsExpatDoesWhereverTheChunksEnd) {
  const Case& c = GetParam();
  const Outcome reference = read(c.xml, 0);
  if (c.cells == "refused") {
    EXPECT_FALSE(reference.refusal.empty()) << describe(reference);
  } else {
    ASSERT_TRUE(reference.refusal.empty()) << reference.refusal;
    ASSERT_FALSE(reference.rows.empty());
    std::string cells;
    for (const RawCell& cell : reference.rows.front().cells) {
      if (!cells.empty()) cells += "|";
      cells += cell.kind == RawCell::Kind::Number ? std::to_string(cell.number) : cell.text;
    }
    EXPECT_EQ(cells, c.cells);
  }
  for (const std::size_t chunkSize : {1, 2, 3, 5, 8, 13, 64, 128 * 1024}) {
    SCOPED_TRACE("chunk size " + std::to_string(chunkSize));
    EXPECT_EQ(describe(read(c.xml, chunkSize)), describe(reference));
  }
}

std::string sheet(const std::string& rows) {
  return test::sheetXml(rows);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, SheetTokenizerTest,
    testing::Values(
        Case{"plain cells",
             sheet(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>-12.5</v></c>)"
                   R"(<c r="C1" t="inlineStr"><is><t>Ą b</t></is></c></row>)"),
             "shared|-12.500000|Ą b"},
        Case{"references in text and attributes",
             sheet(R"(<row r="&#49;"><c r="&#x41;1" t='str'><v>&lt;&amp;&gt;&quot;&apos;)"
                   R"(&#x17E;&#128512;</v></c></row>)"),
             "<&>\"'ž😀"},
        Case{"every attribute of a cell with references",
             sheet(R"(<row r="1"><c r="&#66;1" s="&#48;" t="&#115;tr"><v>x</v></c></row>)"), "x"},
        Case{"line ends and attribute white space",
             "<?xml version=\"1.0\"?>\r\n<worksheet><sheetData>\r\n<row\r\nr=\"1\"><c r=\"A1\" "
             "t=\"str\"><v>a\r\nb\rc&#13;d\te</v></c><c\tr=\"B1\"\tt=\"inlineStr\"><is><t>x\r"
             "</t></is></c></row></sheetData></worksheet>\r\n",
             "a\nb\nc\rd\te|x\n"},
        Case{"rich text, phonetic readings, CDATA, comments and instructions",
             "\xEF\xBB\xBF<x:worksheet xmlns:x=\"u\"><!-- c --><?pi data?><x:sheetData><x:row>"
             "<x:c t=\"inlineStr\"><x:is><x:r><x:t>a</x:t></x:r><x:rPh><x:t>ruby</x:t></x:rPh>"
             "<x:r><x:t><![CDATA[<b>]]]]></x:t></x:r></x:is></x:c></x:row></x:sheetData>"
             "</x:worksheet>",
             "a<b>]]"},
        Case{"Latin-1 part, read by expat",
             "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet><sheetData><row><c "
             "t=\"inlineStr\"><is><t>\xE0</t></is></c></row></sheetData></worksheet>",
             "\xC3\xA0"},
        Case{"text after the cells is not read", sheet(R"(<row><c><v>1</v></c></row>)") + "<junk",
             "1.000000"},
        Case{"mismatched end tag", sheet(R"(<row><c><v>1</v></row>)"), "refused"},
        Case{"undefined entity", sheet(R"(<row><c t="str"><v>&nbsp;</v></c></row>)"), "refused"},
        Case{"character reference to a non-character",
             sheet(R"(<row><c t="str"><v>&#xFFFE;</v></c></row>)"), "refused"},
        Case{"character reference without digits", sheet(R"(<row><c t="str"><v>&#;</v></c></row>)"),
             "refused"},
        Case{"character reference ending in a letter",
             sheet(R"(<row><c t="str"><v>&#12a;</v></c></row>)"), "refused"},
        Case{"character reference beyond U+10FFFF",
             sheet(R"(<row><c t="str"><v>&#99999999999;</v></c></row>)"), "refused"},
        Case{"character reference with a capital X in an attribute",
             sheet(R"(<row r="&#X31;"><c><v>1</v></c></row>)"), "refused"},
        Case{"control character", sheet("<row><c t=\"str\"><v>a\x01</v></c></row>"), "refused"},
        Case{"surrogate in UTF-8", sheet("<row><c t=\"str\"><v>\xED\xA0\x80</v></c></row>"),
             "refused"},
        Case{"overlong UTF-8", sheet("<row><c t=\"str\"><v>\xC0\xAF</v></c></row>"), "refused"},
        Case{"duplicate attribute", sheet(R"(<row><c r="A1" r="B1"><v>1</v></c></row>)"),
             "refused"},
        Case{"attributes without white space between",
             sheet(R"(<row><c r="A1"t="s"><v>0</v></c></row>)"), "refused"},
        Case{"'<' in an attribute value", sheet(R"(<row><c r="A<1"><v>1</v></c></row>)"),
             "refused"},
        Case{"']]>' in text", sheet(R"(<row><c t="str"><v>a]]>b</v></c></row>)"), "refused"},
        Case{"'--' in a comment", sheet(R"(<row><!-- a -- b --><c><v>1</v></c></row>)"), "refused"},
        Case{"XML declaration not at the start", " " + sheet(""), "refused"},
        // Found by fuzz_sheet_xml.
        Case{"instruction target followed by '?' but no '>'", sheet("<?target?x?>"), "refused"},
        Case{"instruction without content", sheet("<?target?><row><c><v>1</v></c></row>"),
             "1.000000"},
        Case{"document type", "<!DOCTYPE worksheet>" + sheet(""), "refused"},
        Case{"part cut short", sheet(R"(<row><c><v>1</v></c></row>)").substr(0, 120), "refused"},
        Case{"empty part", "", "refused"}),
    [](const testing::TestParamInfo<Case>& test) {
      std::string name;
      for (const char c : std::string(test.param.what)) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      }
      return name;
    });

}  // namespace
}  // namespace kvd507::spreadsheet::xlsx
