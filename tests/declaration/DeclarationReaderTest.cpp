#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "SampleDeclarations.h"
#include "XmlCheck.h"
#include "declaration/DeclarationError.h"
#include "declaration/DeclarationReader.h"
#include "declaration/DeclarationWriter.h"
#include "support/CaseName.h"
#include "support/TempDir.h"

namespace kvd507::declaration {
namespace {

using rows::PaymentRow;
using rows::RowTable;
using test::makeRow;
using test::RecordingHost;

std::vector<rows::PaymentRow> rowsOf(const rows::RowTable& table) {
  return {table.begin(), table.end()};
}

// What one read gave.
struct Read {
  std::vector<rows::PaymentRow> lRows;
  std::vector<rows::PaymentRow> uRows;
  DeclarationHeader header;
};

Read readBytes(std::string_view bytes) {
  test::TempDir folder;
  test::writeFile(folder / "in.ffdata", bytes);
  rows::RowTable lRows;
  rows::RowTable uRows;
  DeclarationHeader header;
  readExistingDeclaration(folder / "in.ffdata", lRows, uRows, header);
  return {rowsOf(lRows), rowsOf(uRows), header};
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Rows as the file holds them: the amounts with commas.
std::vector<rows::PaymentRow> inFileForm(const rows::RowTable& table) {
  std::vector<rows::PaymentRow> rows = rowsOf(table);
  for (rows::PaymentRow& row : rows) {
    row[rows::cell::kAmount] = replaceAll(row[rows::cell::kAmount], ".", ",");
    row[rows::cell::kSecondAmount] = replaceAll(row[rows::cell::kSecondAmount], ".", ",");
  }
  return rows;
}

TEST(DeclarationReader, GivesBackTheRowsAndHeaderOfAWrittenDeclaration) {
  const test::SampleDeclaration sample = test::twelveLThreeUExtended();
  const Read read = readBytes(test::readFile(test::dataFile(sample.file)));

  EXPECT_EQ(read.lRows, inFileForm(sample.lRows));
  EXPECT_EQ(read.uRows, inFileForm(sample.uRows));
  // The payer name of the main page, entities kept; code and year, which every page carries.
  EXPECT_EQ(read.header.name, "UAB &quot;SENA&quot;");
  EXPECT_EQ(read.header.id, "987654321");
  EXPECT_EQ(read.header.year, "2022");
}

// Footers written by a program of before may carry the window's payer and year while the main
// page carries the extended declaration's: the main page's are the declaration's, and the pages
// that disagree are told.
TEST(DeclarationReader, TakesPayerAndYearFromTheMainPageAndTellsFootersThatDisagree) {
  class Told : public rows::FindingSink {
   public:
    void add(rows::Finding finding) override { texts.push_back(finding.describe()); }
    void rowTaken(std::string_view, bool) override {}
    std::vector<std::string> texts;
  };
  const std::string original = test::readFile(test::dataFile(test::twelveLThreeUExtended().file));
  std::string text = original;
  // Pages 2 and 3 (the first two footers) of another payer; every footer of another year.
  for (int footer = 0; footer < 2; ++footer) {
    const std::size_t at =
        text.find("<Field Name=\"B_MM_ID\">987654321", text.find("PageDefName=\"KVD507L\""));
    ASSERT_NE(at, std::string::npos);
    text.replace(text.find("987654321", at), 9, "111111111");
  }
  const std::size_t main = text.find("PageDefName=\"KVD507L\"");
  text = text.substr(0, main) + replaceAll(text.substr(main), ">2022<", ">2025<");

  test::TempDir folder;
  for (const auto& [bytes, told] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {original, {}},
           {text,
            {"mokėtojo kodas puslapių 2, 3 poraštėje \"111111111\", o pagrindiniame puslapyje "
             "\"987654321\"; forma laikoma pagrindinio puslapio",
             "metai puslapių 2, 3, 4 poraštėje \"2025\", o pagrindiniame puslapyje \"2022\"; "
             "forma laikoma pagrindinio puslapio"}}}) {
    test::writeFile(folder / "in.ffdata", bytes);
    rows::RowTable lRows;
    rows::RowTable uRows;
    DeclarationHeader header;
    Told findings;
    readExistingDeclaration(folder / "in.ffdata", lRows, uRows, header, findings);
    EXPECT_EQ(header.id, "987654321");
    EXPECT_EQ(header.year, "2022");
    EXPECT_EQ(findings.texts, told);
  }
}

struct RoundTrip {
  const char* what;
  rows::RowTable lRows;
  rows::RowTable uRows;
};

void PrintTo(const RoundTrip& c, std::ostream* out) {
  *out << c.what;
}

class RoundTripTest : public testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, WritingWhatWasReadGivesTheSameFile) {
  RecordingHost host("123456789", " uab \"ąžuolas\" & co ", "2023");
  const std::string first =
      buildDeclaration(GetParam().lRows, GetParam().uRows, host.header({}), host);
  const Read read = readBytes(first);
  ASSERT_TRUE(read.header.isExtended());

  rows::RowTable lRows;
  rows::RowTable uRows;
  for (const rows::PaymentRow& row : read.lRows) lRows.append(row);
  for (const rows::PaymentRow& row : read.uRows) uRows.append(row);
  EXPECT_EQ(buildDeclaration(lRows, uRows, read.header, host), first);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RoundTripTest,
    testing::Values(RoundTrip{"one_l_row", test::oneLRow().lRows, {}},
                    RoundTrip{"l_12_u_3", test::numberedLRows(12), test::numberedURows(3)},
                    RoundTrip{"u_only", {}, test::numberedURows(6)},
                    RoundTrip{
                        "escaped_cells",
                        test::makeTable({makeRow({"A&amp;B", "1", "AT&amp;T &quot;X&quot;", "A",
                                                  "01", "", "", "1.5", "a<b", "2"})}),
                        test::makeTable({makeRow({"x", "1", "Y & Z", "B", "02", "N", "D", "0.5",
                                                  "0", "0", "", "ĄČ", "&lt;", "q"})})}),
    test::NamedAfterWhat());

// What the writer had to mend (line breaks, tabs, references typed in cells) reads back as the
// tables held it, so writing it again gives the same file.
TEST(DeclarationReader, ValuesTheWriterHadToMendReadBackToTheSameFile) {
  const std::string written = test::readFile(test::dataFile(test::valuesNeedingEscapes().file));
  const Read read = readBytes(written);
  ASSERT_EQ(read.lRows.size(), 1u);
  ASSERT_EQ(read.uRows.size(), 1u);
  EXPECT_EQ(read.lRows[0][9], "\t3,25");
  EXPECT_EQ(read.uRows[0][1], "&#38; &#x26;");
  EXPECT_EQ(read.header.id, "12\t34");
  RecordingHost host("12\t34", "", "2023");
  rows::RowTable lRows;
  rows::RowTable uRows;
  for (const rows::PaymentRow& row : read.lRows) lRows.append(row);
  for (const rows::PaymentRow& row : read.uRows) uRows.append(row);
  const std::string again = buildDeclaration(lRows, uRows, read.header, host);
  EXPECT_EQ(test::xmlError(again), "");
  EXPECT_EQ(again, written);
}

// Older declarations hold names with small Lithuanian letters (only a-z were made capitals).
// Row names come back in capitals, made before the escaping, so that they merge with the
// workbook's rows; the payer name is taken over as written.
TEST(DeclarationReader, RowNamesComeBackInCapitals) {
  std::string file = test::readFile(test::dataFile(test::oneLRow().file));
  file = replaceAll(file, "JONAS JONAITIS", "ONA KAZLAUSKIENė &amp; &quot;straße&quot;");
  file = replaceAll(file, "UAB &quot;ĄŽUOLAS&quot;", "UAB &quot;ąžUOLAS&quot;");
  const Read read = readBytes(file);
  ASSERT_EQ(read.lRows.size(), 1u);
  EXPECT_EQ(read.lRows[0][rows::cell::kText], "ONA KAZLAUSKIENĖ &amp; &quot;STRASSE&quot;");
  EXPECT_EQ(read.header.name, "UAB &quot;ąžUOLAS&quot; &amp; CO");
}

TEST(DeclarationReader, ReadsTheSameWithAnyLineBreaksAndWithoutByteOrderMark) {
  const std::string written = test::readFile(test::dataFile(test::oneLRow().file));
  const Read expected = readBytes(written);
  ASSERT_EQ(expected.lRows.size(), 1u);
  const std::string withoutMark = written.substr(3);
  for (const std::string& variant :
       {withoutMark, replaceAll(withoutMark, "\r\n", "\n"), replaceAll(withoutMark, "\r\n", "\r"),
        replaceAll(withoutMark, "\r\n", "\n\r\n") /* empty lines between */}) {
    const Read read = readBytes(variant);
    EXPECT_EQ(read.lRows, expected.lRows);
    EXPECT_EQ(read.header.id, expected.header.id);
    EXPECT_EQ(read.header.name, expected.header.name);
    EXPECT_EQ(read.header.year, expected.header.year);
  }
}

struct ScanCase {
  const char* what;
  std::string text;
  std::vector<rows::PaymentRow> lRows;
  std::vector<rows::PaymentRow> uRows;
  std::vector<std::string> header;  // id, name, year
};

std::string l(std::size_t column, std::size_t slot, std::string_view value) {
  return "        <Field Name=\"L" + std::to_string(column) + "-" + std::to_string(slot) + "\">" +
         std::string(value) + "</Field>\r\n";
}

std::string u(std::size_t column, std::size_t slot, std::string_view value) {
  std::string line = l(column, slot, value);
  line[21] = 'U';
  return line;
}

// Fields 1 to 10 of an L slot holding "<column>.<slot>" each, but field 3 "name<slot>".
std::string lSlot(std::size_t slot, std::string_view name) {
  std::string text;
  for (std::size_t column = 1; column <= 13; ++column) {
    text +=
        l(column, slot, column == 3 ? name : std::to_string(column) + "." + std::to_string(slot));
  }
  return text;
}

rows::PaymentRow lRow(std::size_t slot, std::string_view name) {
  rows::PaymentRow row;
  for (std::size_t cell = 0; cell < 10; ++cell) {
    row[cell] = std::to_string(cell + 1) + "." + std::to_string(slot);
  }
  row[2] = name;
  return row;
}

// A page starts: the fields of the page before may come again.
const std::string kPage = "<Page PageDefName=\"KVD507L\">\r\n";

// Lines between the start and end tags of a declaration, which the reader insists on.
std::string declarationOf(std::string_view lines) {
  return "<FFData Version=\"1\">\r\n" + std::string(lines) + "</FFData>\r\n";
}

const std::vector<std::string> kUnchanged = {"ff_mm_id", "ff_mm_pavad", "ff_mm_metai"};

void PrintTo(const ScanCase& c, std::ostream* out) {
  *out << c.what;
}

class ScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, FindsFieldsLineByLine) {
  const ScanCase& c = GetParam();
  const Read read = readBytes(declarationOf(c.text));
  EXPECT_EQ(read.lRows, c.lRows);
  EXPECT_EQ(read.uRows, c.uRows);
  EXPECT_EQ(read.header.id, c.header[0]);
  EXPECT_EQ(read.header.name, c.header[1]);
  EXPECT_EQ(read.header.year, c.header[2]);
}

rows::PaymentRow withCell(rows::PaymentRow row, std::size_t cell, std::string value) {
  row[cell] = std::move(value);
  return row;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScanTest,
    testing::Values(
        ScanCase{"no_fields", "", {}, {}, kUnchanged},
        ScanCase{"two_slots",
                 lSlot(1, "A") + lSlot(2, "B"),
                 {lRow(1, "A"), lRow(2, "B")},
                 {},
                 kUnchanged},
        ScanCase{"slot_without_name_gives_no_row",
                 lSlot(1, "") + lSlot(2, "B"),
                 {lRow(2, "B")},
                 {},
                 kUnchanged},
        // A missing line leaves the value of the slot before; a missing L10 line makes no row.
        ScanCase{"missing_lines",
                 lSlot(1, "A") + replaceAll(lSlot(2, "B"), l(5, 2, "5.2"), "") +
                     replaceAll(lSlot(3, "C"), l(10, 3, "10.3"), "") + l(3, 4, "D") +
                     l(10, 4, "10.4"),
                 {lRow(1, "A"), withCell(lRow(2, "B"), 4, "5.1"),
                  withCell(withCell(lRow(3, "D"), 9, "10.4"), 2, "D")},
                 {},
                 kUnchanged},
        // Values carry over to the next page too.
        ScanCase{"row_made_at_field_10",
                 l(10, 1, "x") + l(3, 1, "A") + l(1, 1, "1") + kPage + l(10, 1, "y"),
                 {makeRow({"1", "", "A", "", "", "", "", "", "", "y"})},
                 {},
                 kUnchanged},
        ScanCase{"value_split_over_lines",
                 lSlot(1, "A") + replaceAll(lSlot(2, "B"), ">B<", ">B\r\nC<"),
                 {lRow(1, "A")},
                 {},
                 kUnchanged},
        ScanCase{"u_fields",
                 u(1, 1, "1") + u(3, 1, "N") + u(8, 1, "5,00") + u(10, 1, "10") + u(11, 1, "x") +
                     u(12, 1, "a") + u(13, 1, "b") + u(14, 1, "c") + u(15, 1, "d"),
                 {},
                 {makeRow({"1", "", "N", "", "", "", "", "5,00", "", "10", "a", "b", "c", "d"})},
                 kUnchanged},
        // Values are trimmed, then decoded; names and the payer name are escaped again.
        ScanCase{
            "values_trimmed_and_decoded",
            std::string("<Field Name=\"B_MM_Pavad\"> A &amp; \"B&#34;\t&#62;</Field>\n") +
                "<Field Name=\"B_MM_ID\">&#9;1&lt;2 </Field>\n" + l(1, 1, "A&amp;amp;B") +
                l(3, 1, "  X &lt; &#x26; &quot;Y&quot;  ") + l(4, 1, "a&#10;b&#13;&#127;") +
                l(5, 1, "&#32;5&nbsp;&#0;&") + l(10, 1, ""),
            {makeRow({"A&amp;B", "", "X < &amp; &quot;Y&quot;", "a\nb\r\x7F", " 5&nbsp;&#0;&"})},
            {},
            {"\t1<2", "A &amp; &quot;B&quot;\t>", "ff_mm_metai"}},
        // As another program may save it: empty fields as empty elements.
        ScanCase{"empty_element",
                 l(3, 1, "A") + "<Field Name=\"L4-1\"/>\r\n" + l(10, 1, "1"),
                 {makeRow({"", "", "A", "", "", "", "", "", "", "1"})},
                 {},
                 kUnchanged},
        ScanCase{
            "main_page_header_wins",
            "<Field Name=\"B_MM_ID\">1</Field>\n<Field Name=\"B_ML_Metai\">2020</Field>\n"
            "<Page>\n<Field Name=\"B_MM_ID\">2</Field>\n<Field Name=\"B_ML_Metai\">2021</Field>\n",
            {},
            {},
            {"1", "ff_mm_pavad", "2020"}},
        ScanCase{"no_closing_tag",
                 "<Field Name=\"B_MM_ID\">123\n",
                 {},
                 {},
                 {"", "ff_mm_pavad", "ff_mm_metai"}},
        ScanCase{"value_without_closing_tag_on_a_later_page",
                 l(3, 1, "A") + kPage + "<Field Name=\"L10-1\">x\n",
                 {makeRow({"", "", "A"})},
                 {},
                 kUnchanged}),
    test::NamedAfterWhat());

TEST(DeclarationReader, AppendsAfterTheRowsThereWithoutMerging) {
  rows::RowTable lRows = test::makeTable({lRow(1, "A")});
  rows::RowTable uRows;
  DeclarationHeader header;
  test::TempDir folder;
  test::writeFile(folder / "in.ffdata",
                  declarationOf(lSlot(1, "A") + lSlot(2, "A") + kPage + lSlot(1, "A")));
  readExistingDeclaration(folder / "in.ffdata", lRows, uRows, header);
  EXPECT_EQ(rowsOf(lRows), (std::vector<rows::PaymentRow>{lRow(1, "A"), lRow(1, "A"), lRow(2, "A"),
                                                          lRow(1, "A")}));
}

struct BadFile {
  const char* what;
  std::string bytes;
  ErrorKind kind = ErrorKind::kNotUtf8;
  std::string detail = "not UTF-8";  // part of the error's detail
  std::uint32_t line = 0;
};

void PrintTo(const BadFile& c, std::ostream* out) {
  *out << c.what;
}

class UnreadableFileTest : public testing::TestWithParam<BadFile> {};

TEST_P(UnreadableFileTest, ThrowsAndChangesNothing) {
  test::TempDir folder;
  const std::filesystem::path file = folder / "in.ffdata";
  test::writeFile(file, GetParam().bytes);
  rows::RowTable lRows = test::makeTable({lRow(1, "A")});
  rows::RowTable uRows;
  DeclarationHeader header;
  header.id = "kept";

  try {
    readExistingDeclaration(file, lRows, uRows, header);
    FAIL() << "no error";
  } catch (const DeclarationError& error) {
    EXPECT_EQ(error.file(), file.string());
    EXPECT_EQ(error.kind(), GetParam().kind);
    EXPECT_THAT(error.detail(), testing::HasSubstr(GetParam().detail));
    EXPECT_EQ(error.row(), GetParam().line);
  }
  EXPECT_EQ(rowsOf(lRows), std::vector<rows::PaymentRow>{lRow(1, "A")});
  EXPECT_TRUE(uRows.empty());
  EXPECT_EQ(header.id, "kept");
  EXPECT_EQ(header.name, "ff_mm_pavad");
}

// Each file starts with a row and header that a lax reader would take before failing.
const std::string kGoodStart =
    "<Field Name=\"B_MM_Pavad\">X</Field>\r\n" + lSlot(1, "A") + "<Field Name=\"B_MM_ID\">";

INSTANTIATE_TEST_SUITE_P(
    NotUtf8, UnreadableFileTest,
    testing::Values(BadFile{"single_byte_code_page", kGoodStart + "\xE0\xE8\r\n"},
                    BadFile{"utf16", "\xFF\xFE<\0?\0x\0"},
                    BadFile{"overlong", kGoodStart + "\xC0\xAF"},
                    BadFile{"overlong_three_bytes", kGoodStart + "\xE0\x80\xAF"},
                    BadFile{"surrogate", kGoodStart + "\xED\xA0\x80"},
                    BadFile{"beyond_unicode", kGoodStart + "\xF4\x90\x80\x80"},
                    BadFile{"cut_off_at_end", kGoodStart + "\xC4"},
                    BadFile{"cut_off_in_line", kGoodStart + "\xE2\x82</Field>"},
                    BadFile{"lone_continuation", kGoodStart + "\x80"},
                    BadFile{"after_byte_order_mark", "\xEF\xBB\xBF\xFF"}),
    test::NamedAfterWhat());

const std::string kTwelveLThreeU =
    test::readFile(test::dataFile(test::twelveLThreeUExtended().file));

const std::uint32_t kTwelveLThreeULines =
    static_cast<std::uint32_t>(std::count(kTwelveLThreeU.begin(), kTwelveLThreeU.end(), '\n'));

std::string withoutPage(std::string text, std::string_view pageStart) {
  const std::size_t start = text.find(pageStart);
  const std::string_view end = "</Page>\r\n";
  return text.erase(start, text.find(end, start) + end.size() - start);
}

// Each would be read as a declaration with fewer rows than it has, or none at all.
INSTANTIATE_TEST_SUITE_P(
    NotAWholeDeclaration, UnreadableFileTest,
    testing::Values(
        BadFile{"empty", "", ErrorKind::kEmptyFile, ""},
        BadFile{"byte_order_mark_only", "\xEF\xBB\xBF", ErrorKind::kEmptyFile, ""},
        BadFile{"line_breaks_only", "\r\n \t\r\n", ErrorKind::kEmptyFile, ""},
        BadFile{"some_other_text", "root:x:0:0:root:/root:/bin/bash\n", ErrorKind::kNotADeclaration,
                ""},
        BadFile{"fields_without_start_tag", kGoodStart + "1</Field>\r\n</FFData>\r\n",
                ErrorKind::kNotADeclaration, ""},
        BadFile{"first_half", kTwelveLThreeU.substr(0, kTwelveLThreeU.size() / 2),
                ErrorKind::kDeclarationCutShort, "nesibaigia žyme </FFData>"},
        BadFile{"cut_in_last_line", kTwelveLThreeU.substr(0, kTwelveLThreeU.size() - 4),
                ErrorKind::kDeclarationCutShort, "nesibaigia žyme </FFData>"},
        BadFile{"text_after_end", kTwelveLThreeU + "x", ErrorKind::kTextAfterDeclaration, "",
                kTwelveLThreeULines + 1},
        // `cat a a`: every row would be read twice, the second header winning.
        BadFile{"declaration_twice", kTwelveLThreeU + kTwelveLThreeU,
                ErrorKind::kTextAfterDeclaration, "", kTwelveLThreeULines + 1},
        BadFile{"second_declaration_on_the_last_line",
                replaceAll(kTwelveLThreeU, "</FFData>", "</FFData><FFData></FFData>"),
                ErrorKind::kTextAfterDeclaration, "", kTwelveLThreeULines},
        // Each would lose its field without a word: the scanner looks for `<Field Name="`.
        BadFile{"attribute_in_lower_case",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L3-1\">", "<Field name=\"L3-1\">"),
                ErrorKind::kFieldTagMisspelt, "<Field name=", 44},
        BadFile{"element_in_capitals",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L3-1\">", "<FIELD Name=\"L3-1\">"),
                ErrorKind::kFieldTagMisspelt, "", 44},
        BadFile{"two_blanks",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L3-1\">", "<Field  Name=\"L3-1\">"),
                ErrorKind::kFieldTagMisspelt, "", 44},
        BadFile{
            "another_attribute_first",
            replaceAll(kTwelveLThreeU, "<Field Name=\"L3-1\">", "<Field Type=\"x\" Name=\"L3-1\">"),
            ErrorKind::kFieldTagMisspelt, "", 44},
        // Without a tag end the scanner's cut would show in the value.
        BadFile{"no_tag_end",
                declarationOf(kGoodStart + "x</Field>\r\n<Field Name=\"B_MM_ID\" x</\r\n"),
                ErrorKind::kFieldTagSplit, "", 17},
        // A line of 11 bytes that made a row of ten carried-over values.
        BadFile{"field_name_without_tag",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L10-1\">1,00</Field>", "Name=\"L10-"),
                ErrorKind::kFieldTagMisspelt, "Name=", 51},
        // A repeated field made its row twice.
        BadFile{"field_repeated_on_a_page",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L11-1\"></Field>",
                           "<Field Name=\"L10-1\"></Field>"),
                ErrorKind::kFieldRepeated, "L10-1", 52},
        BadFile{"page_left_out",
                withoutPage(kTwelveLThreeU, "<Page PageDefName=\"KVD507L\" PageNumber=\"3\">"),
                ErrorKind::kDeclarationCutShort,
                "<Pages Count=\"4\"> nurodo puslapių skaičių 4, o faile jų rasta tik 3"},
        BadFile{"all_on_one_line", replaceAll(kTwelveLThreeU, "\r\n", ""),
                ErrorKind::kSeveralFieldsOnLine, "", 1},
        BadFile{"two_fields_on_line_44",
                replaceAll(kTwelveLThreeU, "</Field>\r\n        <Field Name=\"L4-1\">",
                           "</Field><Field Name=\"L4-1\">"),
                ErrorKind::kSeveralFieldsOnLine, "", 44},
        // The field's value would be read as empty.
        BadFile{"field_name_on_next_line",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L4-1\">", "<Field Name\r\n=\"L4-1\">"),
                ErrorKind::kFieldTagSplit, "", 45},
        BadFile{"tag_end_on_next_line",
                replaceAll(kTwelveLThreeU, "<Field Name=\"L4-1\">", "<Field Name=\"L4-1\"\n>"),
                ErrorKind::kFieldTagSplit, "", 45}),
    test::NamedAfterWhat());

// What older versions wrote, and what editors do to the end of a file, still reads.
TEST(DeclarationReader, ReadsDeclarationsThatAreNotWellFormedXmlOrEndInBlanks) {
  const std::string written = test::readFile(test::dataFile(test::oneLRow().file));
  const std::string unescaped = replaceAll(written, ">JONAS JONAITIS<", ">A <B> &amp; C<");
  for (const std::string& variant : {written + " \t\r\n\r\n", unescaped}) {
    const Read read = readBytes(variant);
    ASSERT_EQ(read.lRows.size(), 1u);
    EXPECT_EQ(read.lRows[0][1], "1");
    EXPECT_EQ(read.header.id, "123456789");
  }
  EXPECT_EQ(readBytes(unescaped).lRows[0][2], "A <B> &amp; C");
}

TEST(DeclarationReader, AFileThatCannotBeOpenedIsAnErrorNamingIt) {
  test::TempDir folder;
  rows::RowTable lRows;
  rows::RowTable uRows;
  DeclarationHeader header;
  for (const std::filesystem::path& file : {folder / "missing.ffdata", folder.path()}) {
    try {
      readExistingDeclaration(file, lRows, uRows, header);
      FAIL() << "no error for " << file;
    } catch (const DeclarationError& error) {
      EXPECT_EQ(error.file(), file.string());
      EXPECT_FALSE(error.cause().empty());
    }
  }
  EXPECT_TRUE(lRows.empty());
  EXPECT_EQ(header.id, "ff_mm_id");
}

// A value carries over to every later slot that lacks its field: one long L3 value and five
// thousand L10 lines would make gigabytes of rows from a file of one megabyte.
TEST(DeclarationReader, AValueCarriedOverToThousandsOfRowsIsRefused) {
  std::string text = "<FFData>\r\n<Pages Count=\"1\">\r\n<Page PageDefName=\"KVD507L\">\r\n" +
                     l(3, 1, std::string(1 << 20, 'x'));
  for (int i = 1; i <= 5000; ++i) text += l(10, static_cast<std::size_t>(i), "0");
  text += "</Page>\r\n</Pages>\r\n</FFData>\r\n";
  test::TempDir folder;
  test::writeFile(folder / "big.ffdata", text);
  rows::RowTable lRows = test::makeTable({lRow(1, "A")});
  rows::RowTable uRows;
  DeclarationHeader header;
  try {
    readExistingDeclaration(folder / "big.ffdata", lRows, uRows, header);
    FAIL() << "no error";
  } catch (const DeclarationError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::kTooMuchText);
    EXPECT_EQ(error.file(), (folder / "big.ffdata").string());
  }
  EXPECT_EQ(rowsOf(lRows), std::vector<rows::PaymentRow>{lRow(1, "A")});
}

}  // namespace
}  // namespace kvd507::declaration
