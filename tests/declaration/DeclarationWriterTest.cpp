#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "RecordingHost.h"
#include "SampleDeclarations.h"
#include "XmlCheck.h"
#include "declaration/DeclarationWriter.h"
#include "declaration/XmlText.h"
#include "support/TempDir.h"

namespace kvd507::declaration {
namespace {

using rows::RowTable;
using test::RecordingHost;
using test::SampleDeclaration;

std::size_t countOf(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

// Builds and insists on well-formed XML, whatever the test looks at afterwards.
std::string build(const rows::RowTable& lRows, const rows::RowTable& uRows,
                  const DeclarationHeader& header, WriterHost& host) {
  std::string bytes = buildDeclaration(lRows, uRows, header, host);
  EXPECT_EQ(test::xmlError(bytes), "");
  return bytes;
}

std::string build(const SampleDeclaration& sample) {
  RecordingHost host(sample.payerCode, sample.payerName, sample.year);
  return build(sample.lRows, sample.uRows, sample.header, host);
}

std::vector<std::string> linesOf(std::string_view bytes) {
  std::vector<std::string> lines;
  bytes.remove_prefix(3);
  for (std::size_t end = bytes.find("\r\n"); end != std::string_view::npos;
       end = bytes.find("\r\n")) {
    lines.emplace_back(bytes.substr(0, end));
    bytes.remove_prefix(end + 2);
  }
  return lines;
}

class ExpectedFileTest : public testing::TestWithParam<SampleDeclaration (*)()> {};

TEST_P(ExpectedFileTest, BuildsTheExpectedBytes) {
  const SampleDeclaration sample = GetParam()();
  EXPECT_EQ(build(sample), test::readFile(test::dataFile(sample.file))) << sample.file;
}

INSTANTIATE_TEST_SUITE_P(Declarations, ExpectedFileTest,
                         testing::Values(&test::oneLRow, &test::emptyTables,
                                         &test::twelveLThreeUExtended,
                                         &test::valuesNeedingEscapes));

struct LayoutCase {
  std::size_t lRows;
  std::size_t uRows;
  std::size_t lines;
  std::size_t pages;
  std::size_t lPages;
  std::size_t uPages;
};

class LayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, HasOnePagePerTenLRowsAndFiveURows) {
  const LayoutCase& layout = GetParam();
  RecordingHost host("123", "UAB", "2023");
  const std::string bytes = build(test::numberedLRows(layout.lRows),
                                  test::numberedURows(layout.uRows), DeclarationHeader{}, host);

  ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
  ASSERT_TRUE(bytes.ends_with("</FFData>\r\n"));
  EXPECT_EQ(countOf(bytes, "\r\n"), layout.lines);
  EXPECT_EQ(countOf(bytes, "\n"), layout.lines) << "a line break without CR";
  EXPECT_EQ(countOf(bytes, "\r"), layout.lines) << "a CR without line break";
  EXPECT_THAT(bytes, testing::HasSubstr("<Pages Count=\"" + std::to_string(layout.pages) + "\">"));
  EXPECT_EQ(countOf(bytes, "<Group Name=\"Priedas_KVD507L\">"), layout.lPages);
  EXPECT_EQ(countOf(bytes, "<Group Name=\"Priedas_KVD507U\">"), layout.uPages);
  EXPECT_EQ(countOf(bytes, "<Page PageDefName=\"KVD507L\""), layout.lPages);
  EXPECT_EQ(countOf(bytes, "<Page PageDefName=\"KVD507U\""), layout.uPages);
  // Appendix sheets are numbered on from the L pages to the U pages.
  const std::size_t appendixPages = layout.lPages + layout.uPages;
  if (appendixPages > 0) {
    EXPECT_THAT(bytes, testing::HasSubstr("<Field Name=\"LapoNr\">" +
                                          std::to_string(appendixPages) + "</Field>"));
    EXPECT_THAT(bytes,
                testing::HasSubstr("PageNumber=\"" + std::to_string(appendixPages + 1) + "\">"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, LayoutTest,
    testing::Values(LayoutCase{0, 0, 27, 1, 0, 0}, LayoutCase{1, 0, 171, 2, 1, 0},
                    LayoutCase{10, 0, 171, 2, 1, 0}, LayoutCase{11, 0, 315, 3, 2, 0},
                    LayoutCase{0, 3, 116, 2, 0, 1}, LayoutCase{0, 5, 116, 2, 0, 1},
                    LayoutCase{0, 6, 205, 3, 0, 2}, LayoutCase{12, 3, 404, 4, 2, 1},
                    LayoutCase{25, 11, 27 + 3 * 144 + 3 * 89, 7, 3, 3}));

TEST(DeclarationWriter, FillsSlotsInOrderAndLeavesTheRestOfTheLastPageEmpty) {
  RecordingHost host("123", "UAB", "2023");
  const std::vector<std::string> lines =
      linesOf(build(test::numberedLRows(11), {}, DeclarationHeader{}, host));
  const auto secondPage =
      std::find(lines.begin(), lines.end(), "    <Page PageDefName=\"KVD507L\" PageNumber=\"3\">");
  ASSERT_NE(secondPage, lines.end());
  EXPECT_EQ(secondPage[2], "        <Field Name=\"L1-1\">38000000011</Field>");
  EXPECT_EQ(secondPage[2 + 13], "        <Field Name=\"L1-2\"></Field>");
  EXPECT_EQ(secondPage[2 + 129], "        <Field Name=\"L13-10\"></Field>");
  EXPECT_EQ(secondPage[2 + 130 + 4], "        <Field Name=\"LapoNr\">2</Field>");
}

TEST(DeclarationWriter, ReportsProgressOncePerRowWithTheIndexRestartingForURows) {
  RecordingHost host("123", "UAB", "2023");
  build(test::numberedLRows(12), test::numberedURows(3), DeclarationHeader{}, host);

  std::vector<std::string> expected = {"maximum 15", "status Iš viso: 15", "code", "name", "year"};
  const auto addRows = [&expected](std::size_t first, std::size_t last) {
    for (std::size_t index = first; index <= last; ++index) {
      expected.insert(
          expected.end(),
          {"step", "status Eksportuojame " + std::to_string(index) + " įrašą", "events"});
    }
  };
  const auto addFooter = [&expected] { expected.insert(expected.end(), {"code", "year"}); };
  addRows(1, 10);
  addFooter();
  addRows(11, 12);
  addFooter();
  addRows(1, 3);
  addFooter();
  EXPECT_EQ(host.calls, expected);
}

TEST(DeclarationWriter, ReadsThePayerAndYearOfEachFooterWhenItIsWritten) {
  RecordingHost host(" main ", "UAB", "2020");
  host.codes = {" main ", "first\t", "second", "third"};
  host.years = {"2020", "2021", " 2022 ", "2023"};
  const std::string bytes =
      build(test::numberedLRows(11), test::numberedURows(1), DeclarationHeader{}, host);

  const std::vector<std::string> lines = linesOf(bytes);
  EXPECT_THAT(lines, testing::Contains("    <Field Name=\"B_MM_ID\">main</Field>"));
  EXPECT_THAT(lines, testing::Contains("    <Field Name=\"B_ML_Metai\">2020</Field>"));
  std::vector<std::string> footers;
  for (const std::string& line : lines) {
    if (line.starts_with("        <Field Name=\"B_")) footers.push_back(line);
  }
  EXPECT_THAT(footers, testing::ElementsAre("        <Field Name=\"B_MM_ID\">first</Field>",
                                            "        <Field Name=\"B_ML_Metai\">2021</Field>",
                                            "        <Field Name=\"B_FormNr\"></Field>",
                                            "        <Field Name=\"B_FormVerNr\"></Field>",
                                            "        <Field Name=\"B_MM_ID\">second</Field>",
                                            "        <Field Name=\"B_ML_Metai\">2022</Field>",
                                            "        <Field Name=\"B_FormNr\"></Field>",
                                            "        <Field Name=\"B_FormVerNr\"></Field>",
                                            "        <Field Name=\"B_MM_ID\">third</Field>",
                                            "        <Field Name=\"B_ML_Metai\">2023</Field>",
                                            "        <Field Name=\"B_FormNr\"></Field>",
                                            "        <Field Name=\"B_FormVerNr\"></Field>"));
}

struct HeaderCase {
  const char* what;
  DeclarationHeader header;
  std::vector<std::string> mainPage;  // B_MM_ID, B_MM_Pavad, B_ML_Metai
  bool asksForName;
};

class MainPageTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(MainPageTest, TakesTheHeaderFromTheExtendedDeclarationOrTheHost) {
  const HeaderCase& c = GetParam();
  RecordingHost host("lb_kodas", "uab \"x\"", "2023");
  const std::vector<std::string> lines = linesOf(build(test::numberedLRows(1), {}, c.header, host));
  const auto mainPage =
      std::find(lines.begin(), lines.end(), "  <Page PageDefName=\"KVD507\" PageNumber=\"1\">");
  ASSERT_NE(mainPage, lines.end());
  EXPECT_EQ(mainPage[2], "    <Field Name=\"B_MM_ID\">" + c.mainPage[0] + "</Field>");
  EXPECT_EQ(mainPage[3], "    <Field Name=\"B_MM_Pavad\">" + c.mainPage[1] + "</Field>");
  EXPECT_EQ(mainPage[4], "    <Field Name=\"B_ML_Metai\">" + c.mainPage[2] + "</Field>");
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "name"), c.asksForName ? 1 : 0);
  // Footers always come from the host, not-set marker included.
  EXPECT_THAT(lines, testing::Contains("        <Field Name=\"B_MM_ID\">lb_kodas</Field>"));
}

DeclarationHeader header(std::string id, std::string name, std::string year) {
  DeclarationHeader h;
  h.id = std::move(id);
  h.name = std::move(name);
  h.year = std::move(year);
  return h;
}

INSTANTIATE_TEST_SUITE_P(Headers, MainPageTest,
                         testing::Values(HeaderCase{"new",
                                                    DeclarationHeader{},
                                                    {"lb_kodas", "UAB &quot;X&quot;", "2023"},
                                                    true},
                                         HeaderCase{"extended",
                                                    header(" 111 ", "Sena &amp; Co ", "2019"),
                                                    {"111", "Sena &amp; Co", "2019"},
                                                    false},
                                         HeaderCase{"empty name",
                                                    header("ff_mm_id", "", "ff_mm_metai"),
                                                    {"ff_mm_id", "", "ff_mm_metai"},
                                                    false}),
                         [](const testing::TestParamInfo<HeaderCase>& test) {
                           std::string name = test.param.what;
                           for (char& c : name) {
                             if (c == ' ') c = '_';
                           }
                           return name;
                         });

TEST(DeclarationWriter, BuildsALargeDeclarationWhole) {
  RecordingHost host("123", "UAB", "2023");
  const std::string bytes = buildDeclaration(test::numberedLRows(150000), test::numberedURows(7),
                                             DeclarationHeader{}, host);
  EXPECT_EQ(countOf(bytes, "\r\n"), 27 + 15000 * 144 + 2 * 89);
  EXPECT_THAT(bytes, testing::HasSubstr("<Field Name=\"L1-10\">38000000000</Field>"));
}

struct TextCase {
  std::string value;
  std::string plain;   // written as a plain value
  std::string asName;  // written as a name cell or payer name, whose "&" are escaped already
  std::optional<std::string> readBack = std::nullopt;  // what the plain text decodes to, if
                                                       // not the value itself
};

class XmlTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(XmlTextTest, WritesEveryValueAsWellFormedTextThatDecodesBack) {
  const TextCase& c = GetParam();
  for (const auto& [ampersand, expected] :
       {std::pair{Ampersand::kEscaped, c.plain}, std::pair{Ampersand::kAlreadyEscaped, c.asName}}) {
    std::string out = "kept";
    appendXmlText(out, c.value, ampersand);
    EXPECT_EQ(out, "kept" + expected);
    EXPECT_EQ(test::xmlError("<a>" + out + "</a>"), "");
  }
  EXPECT_EQ(decodeXmlText(c.plain), c.readBack.value_or(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Values, XmlTextTest,
    testing::Values(
        TextCase{"", "", ""},
        TextCase{"Plain text 1.5, \"quoted\" 'too'", "Plain text 1.5, \"quoted\" 'too'",
                 "Plain text 1.5, \"quoted\" 'too'"},
        TextCase{"a<b>c", "a&lt;b&gt;c", "a&lt;b&gt;c"}, TextCase{"]]>", "]]&gt;", "]]&gt;"},
        TextCase{"AT&T", "AT&amp;T", "AT&amp;T"}, TextCase{"&", "&amp;", "&amp;"},
        TextCase{"&amp;&lt;&gt;&quot;&apos;", "&amp;amp;&amp;lt;&amp;gt;&amp;quot;&amp;apos;",
                 "&amp;&lt;&gt;&quot;&apos;"},
        TextCase{"&amp", "&amp;amp", "&amp;amp"}, TextCase{"&nbsp;", "&amp;nbsp;", "&amp;nbsp;"},
        TextCase{"&#38;&#x26;&#X26;", "&amp;#38;&amp;#x26;&amp;#X26;", "&#38;&#x26;&amp;#X26;"},
        TextCase{"&#;&#x;&#12a;", "&amp;#;&amp;#x;&amp;#12a;", "&amp;#;&amp;#x;&amp;#12a;"},
        TextCase{"&#0;&#x1F;&#xFFFE;&#99999999999;",
                 "&amp;#0;&amp;#x1F;&amp;#xFFFE;&amp;#99999999999;",
                 "&amp;#0;&amp;#x1F;&amp;#xFFFE;&amp;#99999999999;"},
        TextCase{"&#9;&#x10FFFF;", "&amp;#9;&amp;#x10FFFF;", "&#9;&#x10FFFF;"},
        TextCase{"a\r\nb\tc\x7F"
                 "d",
                 "a&#13;&#10;b&#9;c&#127;d", "a&#13;&#10;b&#9;c&#127;d"},
        TextCase{"a\x01"
                 "b\x1F",
                 "a b ", "a b ", "a b "},
        TextCase{"ąčęėįšųūž ĄŽ €𝄞", "ąčęėįšųūž ĄŽ €𝄞", "ąčęėįšųūž ĄŽ €𝄞"},
        TextCase{"\xC2\x80\xC2\x9F", "\xC2\x80\xC2\x9F", "\xC2\x80\xC2\x9F"},
        TextCase{"a\xFF"
                 "b",
                 "a\uFFFDb", "a\uFFFDb", "a\uFFFDb"},
        TextCase{"\xC0\xAF", "\uFFFD\uFFFD", "\uFFFD\uFFFD", "\uFFFD\uFFFD"},  // overlong "/"
        TextCase{"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD",
                 "\uFFFD\uFFFD\uFFFD"},  // a surrogate
        TextCase{"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD\uFFFD",
                 "\uFFFD\uFFFD\uFFFD\uFFFD"},                                      // over U+10FFFF
        TextCase{"x\xE2\x82", "x\uFFFD\uFFFD", "x\uFFFD\uFFFD", "x\uFFFD\uFFFD"},  // cut off
        TextCase{"\xEF\xBF\xBE\xEF\xBF\xBF", "\uFFFD\uFFFD", "\uFFFD\uFFFD", "\uFFFD\uFFFD"}));

struct DecodeCase {
  std::string text;
  std::string decoded;
};

class DecodeXmlTextTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeXmlTextTest, DecodesOnlyReferencesXmlAccepts) {
  EXPECT_EQ(decodeXmlText(GetParam().text), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeXmlTextTest,
    testing::Values(DecodeCase{"", ""}, DecodeCase{"A&amp;amp;B", "A&amp;B"},
                    DecodeCase{"&lt;&gt;&quot;&apos;&amp;", "<>\"'&"},
                    DecodeCase{"&#62;&#x3E;&#x3e;&#0062;", ">>>>"},
                    DecodeCase{"&#10;&#13;&#9;&#127;", "\n\r\t\x7F"},
                    DecodeCase{"&#261;&#x10FFFF;", "ą\U0010FFFF"},
                    DecodeCase{"AT&T &bogus; &nbsp; &#0; &#xFFFE; &#x110000; &#; &#X3E; &amp",
                               "AT&T &bogus; &nbsp; &#0; &#xFFFE; &#x110000; &#; &#X3E; &amp"},
                    DecodeCase{"&&amp;&", "&&&"}));

}  // namespace
}  // namespace kvd507::declaration
