// Every declaration the tests and the example make, through `kvd507 to-workbook` and back
// through `kvd507 convert`: the same bytes, and the workbook's rows as `kvd507 show` lists the
// declaration's. The built program is run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/CaseName.h"
#include "support/MemoryWorkbook.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace kvd507 {
namespace {

namespace fs = std::filesystem;
using test::readFile;

using test::Result;
using test::shellWord;

Result run(const fs::path& folder, const std::vector<std::string>& arguments) {
  return test::runProgram(KVD507_EXECUTABLE, arguments, folder);
}

constexpr const char* kL = "KVD507 L";
constexpr const char* kU = "KVD507 U";

// One page of L rows: an identifier of every kind, every group, codes that the reader pads or
// marks with D, a rate typed and one left empty.
void lOnePage(test::MemoryWorkbook& book) {
  book.sheet(kL).sheet(kU);
  const std::vector<std::string> codes = {"5", "12D", "123", "1234", "08", "13"};
  for (std::uint32_t i = 0; i < 6; ++i) {
    const std::uint32_t row = 6 + i;
    book.text(kL, row, 2, "gavėjas " + std::to_string(i));
    book.text(kL, row, 3 + i % 5,
              i % 5 == 4 ? "1980-01-3" + std::to_string(i % 2) : "0" + std::to_string(3900 + i));
    book.number(kL, row, 8 + 2 * (i % 4), 100.25 * (i + 1));
    book.text(kL, row, 9 + 2 * (i % 4), codes[i]);
    if (i % 3 != 0) book.text(kL, row, 16, i % 2 == 0 ? "15" : "20");
    book.number(kL, row, 17, 15.04 * i);
  }
}

// U rows only, with the recipient's address and every identifier kind.
void uOnly(test::MemoryWorkbook& book) {
  book.sheet(kL).sheet(kU);
  for (std::uint32_t i = 0; i < 7; ++i) {
    const std::uint32_t row = 6 + i;
    book.text(kU, row, 2, "Foreign & Co " + std::to_string(i));
    book.text(kU, row, 3, "DE");
    book.text(kU, row, 4, "Hauptstraße " + std::to_string(i) + ", \"Hof\" <2>");
    book.text(kU, row, 5, "Berlin");
    book.text(kU, row, 6, "0" + std::to_string(1000 + i));
    book.text(kU, row, 7 + i % 6, "ID" + std::to_string(i));
    book.number(kU, row, 13 + 2 * (i % 4), 1000 + i);
    book.text(kU, row, 14 + 2 * (i % 4), std::to_string(10 + i));
    book.text(kU, row, 21, "15");
    book.number(kU, row, 22, 150.1 + i);
  }
}

// Many pages of both, names that need escaping, Lithuanian letters in small and capital form,
// rows merged by the reader, a row with no amount, N and D marks.
void bothManyPages(test::MemoryWorkbook& book) {
  book.sheet(kL).sheet(kU);
  const std::vector<std::string> names = {"uab \"ąžuolas\" & co", "A<B> & \"C\"", "Šarūnas Žėkas",
                                          "ėĖįĮ ųŲ ūŪ", "AT&amp;T"};
  for (std::uint32_t i = 0; i < 33; ++i) {
    const std::uint32_t row = 6 + i;
    book.text(kL, row, 2, names[i % names.size()] + " " + std::to_string(i));
    book.text(kL, row, 3 + i % 5, std::to_string(38000000000 + i));
    if (i == 7) continue;  // no amount: the row keeps only its name and identifier
    book.number(kL, row, 8 + 2 * (i % 4), 0.01 + i * 3.5);
    book.text(kL, row, 9 + 2 * (i % 4),
              i % 3 == 0 ? std::to_string(10 + i) + "D" : std::to_string(i % 10));
    book.number(kL, row, 17, i * 0.5);
  }
  // The same key as row 6: merged into it by the reader.
  book.text(kL, 40, 2, names[0] + " 0")
      .text(kL, 40, 3, "38000000000")
      .number(kL, 40, 8, 1.5)
      .text(kL, 40, 9, "10D");
  for (std::uint32_t i = 0; i < 12; ++i) {
    const std::uint32_t row = 6 + i;
    book.text(kU, row, 2, names[(i + 2) % names.size()] + " u" + std::to_string(i));
    book.text(kU, row, 4, "Gatvė " + std::to_string(i));
    book.text(kU, row, 7 + i % 6, "X" + std::to_string(i));
    book.number(kU, row, 13 + 2 * (i % 4), 99.99 * (i + 1));
    book.text(kU, row, 14 + 2 * (i % 4), i % 2 == 0 ? "01D" : "2");
  }
}

struct Case {
  std::string what;
  // Makes the source the declaration is converted from: a workbook file path.
  std::function<fs::path(const fs::path& folder)> source;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.what;
}

fs::path memoryWorkbook(const fs::path& folder, void (*fill)(test::MemoryWorkbook&)) {
  test::MemoryWorkbook book;
  fill(book);
  const fs::path file = folder / "source.xlsx";
  book.saveXlsx(file);
  return file;
}

fs::path sourceDir() {
  return fs::path(KVD507_TEST_DATA).parent_path().parent_path();
}

const std::vector<Case> kCases = {
    {"L only, one page", [](const fs::path& f) { return memoryWorkbook(f, lOnePage); }},
    {"U only", [](const fs::path& f) { return memoryWorkbook(f, uOnly); }},
    {"both, many pages, escapes, Lithuanian letters",
     [](const fs::path& f) { return memoryWorkbook(f, bothManyPages); }},
    {"example xlsx", [](const fs::path&) { return sourceDir() / "examples/pavyzdys.xlsx"; }},
    {"example xls", [](const fs::path&) { return sourceDir() / "examples/pavyzdys.xls"; }},
    {"example ods", [](const fs::path&) { return sourceDir() / "examples/pavyzdys.ods"; }},
    {"example saved by LibreOffice",
     [](const fs::path&) { return test::dataFile("example_saved_by_libreoffice.xlsx"); }},
    {"one row of each finding",
     [](const fs::path&) { return test::dataFile("findings_one_of_each_kind.xlsx"); }},
    {"findings saved by LibreOffice",
     [](const fs::path&) { return test::dataFile("findings_saved_by_libreoffice.xlsx"); }},
};

const std::vector<std::string> kPayer = {"--payer-code",           "303030303", "--payer-name",
                                         "uab \"ąžuolas\" & <co>", "--year",    "2023"};

std::vector<std::string> convertArguments(const fs::path& folder, const fs::path& workbook,
                                          const fs::path& output) {
  std::vector<std::string> arguments = {"convert",  workbook.string(),
                                        "--folder", (folder / "program").string(),
                                        "--output", output.string()};
  arguments.insert(arguments.end(), kPayer.begin(), kPayer.end());
  return arguments;
}

// `kvd507 show` without its four header lines: the rows, as `kvd507 rows` prints them.
std::string shownRows(const std::string& shown) {
  std::size_t at = 0;
  for (int line = 0; line < 4; ++line) at = shown.find('\n', at) + 1;
  return shown.substr(at);
}

class RoundTrip : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { setenv("LC_ALL", "lt_LT.UTF-8", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }
  test::TempDir dir;
};

TEST_P(RoundTrip, ConvertingTheWorkbookGivesTheSameDeclaration) {
  const fs::path declaration = dir / "KVD507.ffdata";
  const Result first =
      run(dir.path(), convertArguments(dir.path(), GetParam().source(dir.path()), declaration));
  ASSERT_EQ(first.status, 0) << first.err;

  const Result written = run(dir.path(), {"to-workbook", declaration.string()});
  ASSERT_EQ(written.status, 0) << written.err;
  const fs::path workbook = dir / "KVD507.xlsx";
  EXPECT_EQ(written.out.substr(0, written.out.find('\n')), workbook.string());
  EXPECT_NE(written.out.find("Išmokų mokėtojas:\tUAB \"ĄŽUOLAS\" & <CO>\n"), std::string::npos)
      << written.out;
  EXPECT_NE(written.out.find("Išmokų mokėtojo kodas:\t303030303\n"), std::string::npos);
  EXPECT_NE(written.out.find("Mokestinis laikotarpis:\t2023\n"), std::string::npos);

  const fs::path again = dir / "again.ffdata";
  const Result second = run(dir.path(), convertArguments(dir.path(), workbook, again));
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(
      std::system(
          ("cmp -s " + shellWord(declaration.string()) + " " + shellWord(again.string())).c_str()),
      0)
      << "the declaration converted from the workbook differs";

  const Result shown = run(dir.path(), {"show", declaration.string()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  const Result rows = run(dir.path(), {"rows", workbook.string()});
  ASSERT_EQ(rows.status, 0) << rows.err;
  EXPECT_EQ(rows.out, shownRows(shown.out));
}

INSTANTIATE_TEST_SUITE_P(Declarations, RoundTrip, ::testing::ValuesIn(kCases),
                         test::NamedAfterWhat());

}  // namespace
}  // namespace kvd507
