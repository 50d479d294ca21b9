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
#include "support/CaseName.h"
#include "support/TempDir.h"
#include "text/XmlReferences.h"

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
                  const DeclarationHeader& header, RecordingHost& host) {
  std::string bytes = buildDeclaration(lRows, uRows, host.header(header), host);
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

struct ExpectedFile {
  const char* what;
  SampleDeclaration (*sample)();
};

void PrintTo(const ExpectedFile& c, std::ostream* out) {
  *out << c.what;
}

class ExpectedFileTest : public testing::TestWithParam<ExpectedFile> {};

TEST_P(ExpectedFileTest, BuildsTheExpectedBytes) {
  const SampleDeclaration sample = GetParam().sample();
  EXPECT_EQ(build(sample), test::readFile(test::dataFile(sample.file))) << sample.file;
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, ExpectedFileTest,
    testing::Values(ExpectedFile{"one_l_row", &test::oneLRow},
                    ExpectedFile{"empty_tables", &test::emptyTables},
                    ExpectedFile{"twelve_l_three_u_extended", &test::twelveLThreeUExtended},
                    ExpectedFile{"values_needing_escapes", &test::valuesNeedingEscapes}),
    test::NamedAfterWhat());

struct LayoutCase {
  std::size_t lRows;
  std::size_t uRows;
  std::size_t lines;
  std::size_t pages;
  std::size_t lPages;
  std::size_t uPages;
};

std::string layoutName(const LayoutCase& c) {
  return "l" + std::to_string(c.lRows) + "_u" + std::to_string(c.uRows);
}

void PrintTo(const LayoutCase& c, std::ostream* out) {
  *out << c.lRows << " L rows, " << c.uRows << " U rows";
}

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
                    LayoutCase{25, 11, 27 + 3 * 144 + 3 * 89, 7, 3, 3}),
    [](const testing::TestParamInfo<LayoutCase>& test) { return layoutName(test.param); });

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

  std::vector<std::string> expected = {"maximum 15", "status Iš viso: 15"};
  const auto addRows = [&expected](std::size_t first, std::size_t last) {
    for (std::size_t index = first; index <= last; ++index) {
      expected.insert(
          expected.end(),
          {"step", "status Eksportuojame " + std::to_string(index) + " įrašą", "events"});
    }
  };
  addRows(1, 12);
  addRows(1, 3);
  EXPECT_EQ(host.calls, expected);
}

DeclarationHeader header(std::string id, std::string name, std::string year) {
  DeclarationHeader h;
  h.id = std::move(id);
  h.name = std::move(name);
  h.year = std::move(year);
  return h;
}

struct FooterCase {
  const char* what;
  DeclarationHeader header;
  std::string code;  // what the main page and every footer carry
  std::string year;
};

void PrintTo(const FooterCase& c, std::ostream* out) {
  *out << c.what;
}

class FooterTest : public testing::TestWithParam<FooterCase> {};

// One declaration names one payer and one year: every footer carries the main page's, also
// when the declaration is being extended.
TEST_P(FooterTest, EveryFooterCarriesTheMainPagesPayerAndYear) {
  const FooterCase& c = GetParam();
  RecordingHost host(" chosen ", "UAB", " 2025 ");
  const std::vector<std::string> lines =
      linesOf(build(test::numberedLRows(11), test::numberedURows(6), c.header, host));
  EXPECT_THAT(lines, testing::Contains("    <Field Name=\"B_MM_ID\">" + c.code + "</Field>"));
  EXPECT_THAT(lines, testing::Contains("    <Field Name=\"B_ML_Metai\">" + c.year + "</Field>"));
  std::vector<std::string> footers;
  for (const std::string& line : lines) {
    if (line.starts_with("        <Field Name=\"B_MM_ID") ||
        line.starts_with("        <Field Name=\"B_ML_Metai")) {
      footers.push_back(line);
    }
  }
  ASSERT_EQ(footers.size(), 8u);  // two L pages, two U pages
  for (std::size_t i = 0; i < footers.size(); i += 2) {
    EXPECT_EQ(footers[i], "        <Field Name=\"B_MM_ID\">" + c.code + "</Field>");
    EXPECT_EQ(footers[i + 1], "        <Field Name=\"B_ML_Metai\">" + c.year + "</Field>");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, FooterTest,
    testing::Values(FooterCase{"new", DeclarationHeader{}, "chosen", "2025"},
                    FooterCase{"extended", header(" 302222222 ", "UAB X", "2024"), "302222222",
                               "2024"},
                    FooterCase{"extended_with_markers", header("ff_mm_id", "", "ff_mm_metai"),
                               "ff_mm_id", "ff_mm_metai"}),
    test::NamedAfterWhat());

struct HeaderCase {
  const char* what;
  DeclarationHeader header;
  std::vector<std::string> mainPage;  // B_MM_ID, B_MM_Pavad, B_ML_Metai
};

void PrintTo(const HeaderCase& c, std::ostream* out) {
  *out << c.what;
}

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
  // Footers carry the main page's code, not-set marker included.
  EXPECT_THAT(lines,
              testing::Contains("        <Field Name=\"B_MM_ID\">" + c.mainPage[0] + "</Field>"));
}

INSTANTIATE_TEST_SUITE_P(Headers, MainPageTest,
                         testing::Values(HeaderCase{"new",
                                                    DeclarationHeader{},
                                                    {"lb_kodas", "UAB &quot;X&quot;", "2023"}},
                                         HeaderCase{"extended",
                                                    header(" 111 ", "Sena &amp; Co ", "2019"),
                                                    {"111", "Sena &amp; Co", "2019"}},
                                         HeaderCase{"empty name",
                                                    header("ff_mm_id", "", "ff_mm_metai"),
                                                    {"ff_mm_id", "", "ff_mm_metai"}}),
                         test::NamedAfterWhat());

TEST(DeclarationWriter, BuildsALargeDeclarationWhole) {
  RecordingHost host("123", "UAB", "2023");
  const std::string bytes =
      buildDeclaration(test::numberedLRows(150000), test::numberedURows(7), host.header({}), host);
  EXPECT_EQ(countOf(bytes, "\r\n"), 27 + 15000 * 144 + 2 * 89);
  EXPECT_THAT(bytes, testing::HasSubstr("<Field Name=\"L1-10\">38000000000</Field>"));
}

struct TextCase {
  const char* what;
  std::string value;
  std::string plain;   // written as a plain value
  std::string asName;  // written as a name cell or payer name, whose "&" are escaped already
  std::optional<std::string> readBack = std::nullopt;  // what the plain text decodes to, if
                                                       // not the value itself
};

void PrintTo(const TextCase& c, std::ostream* out) {
  *out << c.what;
}

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
  EXPECT_EQ(text::decodeXmlText(c.plain), c.readBack.value_or(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Values, XmlTextTest,
    testing::Values(
        TextCase{"empty", "", "", ""},
        TextCase{"plain", "Plain text 1.5, \"quoted\" 'too'", "Plain text 1.5, \"quoted\" 'too'",
                 "Plain text 1.5, \"quoted\" 'too'"},
        TextCase{"markup", "a<b>c", "a&lt;b&gt;c", "a&lt;b&gt;c"},
        TextCase{"end of a CDATA section", "]]>", "]]&gt;", "]]&gt;"},
        TextCase{"ampersand in a word", "AT&T", "AT&amp;T", "AT&amp;T"},
        TextCase{"lone ampersand", "&", "&amp;", "&amp;"},
        TextCase{"XML entities", "&amp;&lt;&gt;&quot;&apos;",
                 "&amp;amp;&amp;lt;&amp;gt;&amp;quot;&amp;apos;", "&amp;&lt;&gt;&quot;&apos;"},
        TextCase{"entity without semicolon", "&amp", "&amp;amp", "&amp;amp"},
        TextCase{"entity XML does not know", "&nbsp;", "&amp;nbsp;", "&amp;nbsp;"},
        TextCase{"character references", "&#38;&#x26;&#X26;", "&amp;#38;&amp;#x26;&amp;#X26;",
                 "&#38;&#x26;&amp;#X26;"},
        TextCase{"broken character references", "&#;&#x;&#12a;", "&amp;#;&amp;#x;&amp;#12a;",
                 "&amp;#;&amp;#x;&amp;#12a;"},
        TextCase{"references to characters XML forbids", "&#0;&#x1F;&#xFFFE;&#99999999999;",
                 "&amp;#0;&amp;#x1F;&amp;#xFFFE;&amp;#99999999999;",
                 "&amp;#0;&amp;#x1F;&amp;#xFFFE;&amp;#99999999999;"},
        TextCase{"references to allowed characters", "&#9;&#x10FFFF;", "&amp;#9;&amp;#x10FFFF;",
                 "&#9;&#x10FFFF;"},
        TextCase{"line breaks tab and delete",
                 "a\r\nb\tc\x7F"
                 "d",
                 "a&#13;&#10;b&#9;c&#127;d", "a&#13;&#10;b&#9;c&#127;d"},
        TextCase{"control characters XML forbids",
                 "a\x01"
                 "b\x1F",
                 "a b ", "a b ", "a b "},
        TextCase{"Lithuanian letters and beyond the basic plane", "ąčęėįšųūž ĄŽ €𝄞",
                 "ąčęėįšųūž ĄŽ €𝄞", "ąčęėįšųūž ĄŽ €𝄞"},
        TextCase{"C1 controls", "\xC2\x80\xC2\x9F", "\xC2\x80\xC2\x9F", "\xC2\x80\xC2\x9F"},
        TextCase{"byte that is never UTF-8",
                 "a\xFF"
                 "b",
                 "a\uFFFDb", "a\uFFFDb", "a\uFFFDb"},
        TextCase{"overlong slash", "\xC0\xAF", "\uFFFD\uFFFD", "\uFFFD\uFFFD", "\uFFFD\uFFFD"},
        TextCase{"surrogate", "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD",
                 "\uFFFD\uFFFD\uFFFD"},
        TextCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD",
                 "\uFFFD\uFFFD\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        TextCase{"cut-off sequence", "x\xE2\x82", "x\uFFFD\uFFFD", "x\uFFFD\uFFFD",
                 "x\uFFFD\uFFFD"},
        TextCase{"noncharacters", "\xEF\xBF\xBE\xEF\xBF\xBF", "\uFFFD\uFFFD", "\uFFFD\uFFFD",
                 "\uFFFD\uFFFD"}),
    test::NamedAfterWhat());

}  // namespace
}  // namespace kvd507::declaration
