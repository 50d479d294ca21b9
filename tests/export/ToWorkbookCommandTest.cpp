// What `kvd507 to-workbook` refuses, what it keeps, how its workbook compares with the template,
// and whether LibreOffice takes it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "spreadsheet/Workbook.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace kvd507 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

using test::Result;
using test::shellWord;

class ToWorkbookCommand : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LC_ALL", "lt_LT.UTF-8", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }

  Result run(const std::vector<std::string>& arguments) {
    return test::runProgram(KVD507_EXECUTABLE, arguments, output.path());
  }

  // A declaration of tests/data copied into the test's folder, with `from` replaced by `to`.
  fs::path declaration(const std::string& name, const std::string& from = "",
                       const std::string& to = "") {
    std::string text = readFile(test::dataFile(name));
    if (!from.empty()) text.replace(text.find(from), from.size(), to);
    const fs::path file = dir / name;
    writeFile(file, text);
    return file;
  }

  Result convert(const fs::path& workbook, const fs::path& out, const std::string& code,
                 const std::string& name, const std::string& year) {
    return run({"convert", workbook.string(), "--folder", (dir / "program").string(), "--output",
                out.string(), "--payer-code", code, "--payer-name", name, "--year", year});
  }

  bool sameFiles(const fs::path& a, const fs::path& b) {
    return test::runInBash("cmp -s " + shellWord(a.string()) + " " + shellWord(b.string())) == 0;
  }

  TempDir dir;
  TempDir output;
};

TEST_F(ToWorkbookCommand, ADeclarationOfThisProgramComesBackByteForByte) {
  const fs::path form = declaration("declaration_one_l_row.ffdata");
  const Result written = run({"to-workbook", form.string()});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find("kvd507 convert '" + (dir / "declaration_one_l_row.xlsx").string() +
                             "' --payer-code '123456789' --payer-name 'UAB \"ĄŽUOLAS\" & CO' "
                             "--year '2023'\n"),
            std::string::npos)
      << written.out;
  const Result again = convert(dir / "declaration_one_l_row.xlsx", dir / "again.ffdata",
                               "123456789", "UAB \"ĄŽUOLAS\" & CO", "2023");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(sameFiles(form, dir / "again.ffdata"));
}

// Every declaration of tests/data: its rows in the workbook as `show` lists them, or refused
// with the slot that holds what no workbook row gives.
TEST_F(ToWorkbookCommand, TheDeclarationsOfTheTestsKeepTheirRowsOrAreRefused) {
  struct Expected {
    std::string declaration;
    std::string refusedAt;  // empty: written
  };
  const std::vector<Expected> all = {
      {"declaration_one_l_row.ffdata", ""},
      {"declaration_12_l_3_u_extended.ffdata", ""},
      {"declaration_empty_tables.ffdata", ""},
      // Its amount holds a line break.
      {"declaration_values_needing_escapes.ffdata",
       "2 puslapis, 1 eilutė (L priedas, laukas L8-1)"},
  };
  for (const Expected& expected : all) {
    SCOPED_TRACE(expected.declaration);
    const fs::path form = declaration(expected.declaration);
    const fs::path workbook = dir / "w.xlsx";
    const Result result = run({"to-workbook", form.string(), "--output", workbook.string()});
    if (!expected.refusedAt.empty()) {
      EXPECT_EQ(result.status, 1);
      EXPECT_NE(result.err.find(expected.refusedAt), std::string::npos) << result.err;
      EXPECT_FALSE(fs::exists(workbook));
      continue;
    }
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string shown = run({"show", form.string()}).out;
    std::size_t rows = 0;
    for (int line = 0; line < 4; ++line) rows = shown.find('\n', rows) + 1;
    EXPECT_EQ(run({"rows", workbook.string()}).out, shown.substr(rows));
    fs::remove(workbook);
  }
}

TEST_F(ToWorkbookCommand, AnExistingWorkbookIsReplacedOnlyWithForce) {
  const fs::path form = declaration("declaration_one_l_row.ffdata");
  const fs::path workbook = dir / "declaration_one_l_row.xlsx";
  writeFile(workbook, "mine");
  const Result refused = run({"to-workbook", form.string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("jau yra"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
  EXPECT_EQ(readFile(workbook), "mine");

  fs::permissions(workbook, fs::perms(0640));
  const Result forced = run({"to-workbook", form.string(), "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(readFile(workbook).substr(0, 2), "PK");
  EXPECT_EQ(fs::status(workbook).permissions(), fs::perms(0640));
  EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"declaration_one_l_row.ffdata",
                                                                 "declaration_one_l_row.xlsx"}));

  // Never over the declaration itself.
  const std::string before = readFile(form);
  EXPECT_EQ(run({"to-workbook", form.string(), "--output", form.string(), "--force"}).status, 1);
  EXPECT_EQ(readFile(form), before);

  // Nor over a pipe, forced or not.
  const fs::path pipe = dir / "pipe.xlsx";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(run({"to-workbook", form.string(), "--output", pipe.string(), "--force"}).status, 1);
  EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(ToWorkbookCommand, RowsTheTemplateCannotHoldAreRefusedAndNothingIsWritten) {
  struct Refusal {
    std::string declaration, from, to, place;
  };
  const std::vector<Refusal> refusals = {
      {"declaration_one_l_row.ffdata", "\"L5-1\">01<", "\"L5-1\">5<",
       "2 puslapis, 1 eilutė (L priedas, laukas L5-1)"},
      {"declaration_12_l_3_u_extended.ffdata", "\"U4-3\">A<", "\"U4-3\">C<",
       "4 puslapis, 3 eilutė (U priedas, laukas U4-3)"},
      // Trailing blanks: the sheet reader trims them off every cell.
      {"declaration_one_l_row.ffdata", ">P.1<", ">P.1&#9;<",
       "2 puslapis, 1 eilutė (L priedas, laukas L9-1)"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.place);
    const fs::path form = declaration(refusal.declaration, refusal.from, refusal.to);
    const Result result = run({"to-workbook", form.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(refusal.place), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("darbaknygė neįrašyta"), std::string::npos) << result.err;
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{refusal.declaration});
    fs::remove(form);
  }
}

TEST_F(ToWorkbookCommand, ADeclarationThatCannotBeReadIsNamed) {
  const Result missing = run({"to-workbook", (dir / "nėra.ffdata").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Nepavyko perskaityti formos nėra.ffdata"), std::string::npos)
      << missing.err;
  EXPECT_EQ(run({"to-workbook"}).status, 2);
}

// The parts of a workbook's zip as text.
std::string zipPart(const fs::path& file, const std::string& part) {
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return {};
  std::string text;
  if (zip_file_t* entry = zip_fopen(archive, part.c_str(), 0)) {
    char buffer[4096];
    zip_int64_t count = 0;
    while ((count = zip_fread(entry, buffer, sizeof buffer)) > 0) {
      text.append(buffer, static_cast<std::size_t>(count));
    }
    zip_fclose(entry);
  }
  zip_close(archive);
  return text;
}

std::set<std::string> matches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex expression(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
       it != std::sregex_iterator(); ++it) {
    found.insert((*it)[1].str());
  }
  return found;
}

// "first column: width" of every <col> element, the width to two decimals.
std::vector<std::string> columnWidths(const std::string& sheetXml) {
  std::vector<std::string> widths;
  const std::regex column("<col [^>]*>");
  const std::regex min("min=\"(\\d+)\"");
  const std::regex width("width=\"([0-9.]+)\"");
  for (auto it = std::sregex_iterator(sheetXml.begin(), sheetXml.end(), column);
       it != std::sregex_iterator(); ++it) {
    const std::string element = it->str();
    std::smatch first;
    std::smatch value;
    std::regex_search(element, first, min);
    std::regex_search(element, value, width);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::stod(value[1].str()));
    widths.push_back(first[1].str() + ": " + text);
  }
  return widths;
}

TEST_F(ToWorkbookCommand, TheWorkbookIsLaidOutAsTheTemplate) {
  const fs::path form = declaration("declaration_12_l_3_u_extended.ffdata");
  const fs::path workbook = dir / "w.xlsx";
  ASSERT_EQ(run({"to-workbook", form.string(), "--output", workbook.string()}).status, 0);
  const fs::path templateFile = fs::path(KVD507_TEST_DATA) / "../../sablonas/KVD507.xlsx";

  spreadsheet::Workbook written = spreadsheet::Workbook::open(workbook);
  spreadsheet::Workbook original = spreadsheet::Workbook::open(templateFile);
  ASSERT_EQ(written.sheetNames(), original.sheetNames());
  for (std::size_t index = 0; index < original.sheetNames().size(); ++index) {
    const std::string& name = original.sheetNames()[index];
    SCOPED_TRACE(name);
    spreadsheet::Sheet mine = written.sheet(name, 30);
    spreadsheet::Sheet theirs = original.sheet(name, 30);
    for (std::uint32_t row = 1; row <= 5; ++row) {
      for (std::uint32_t column = 1; column <= 30; ++column) {
        if (row == 1 && column == 6) {  // the payer and year stand here
          EXPECT_NE(mine.cellText(row, column, ',').find("mokestinis laikotarpis: 2022"),
                    std::string::npos);
          continue;
        }
        EXPECT_EQ(mine.cellText(row, column, ','), theirs.cellText(row, column, ','))
            << "row " << row << ", column " << column;
      }
    }
    const std::string part = "xl/worksheets/sheet" + std::to_string(index + 1) + ".xml";
    const std::string ours = zipPart(workbook, part);
    const std::string template_ = zipPart(templateFile, part);
    EXPECT_EQ(matches(ours, "<mergeCell ref=\"([A-Z0-9:]+)\""),
              matches(template_, "<mergeCell ref=\"([A-Z0-9:]+)\""));
    EXPECT_EQ(columnWidths(ours), columnWidths(template_));
    EXPECT_NE(ours.find("<pane xSplit=\"2\" ySplit=\"5\" topLeftCell=\"C6\""), std::string::npos);
  }
  const std::string custom = zipPart(workbook, "docProps/custom.xml");
  EXPECT_NE(custom.find("987654321"), std::string::npos);
  EXPECT_NE(custom.find("2022"), std::string::npos);
}

// LibreOffice opens the workbook: saved by it as .ods, it gives the same declaration.
TEST_F(ToWorkbookCommand, LibreOfficeSavesItAsTheSameDeclaration) {
  if (test::runInBash("command -v soffice >/dev/null") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  const fs::path form = declaration("declaration_one_l_row.ffdata");
  const fs::path workbook = dir / "declaration_one_l_row.xlsx";
  ASSERT_EQ(run({"to-workbook", form.string()}).status, 0);
  const fs::path profile = output / "libreoffice";
  ASSERT_EQ(
      test::runInBash("soffice -env:UserInstallation=file://" + profile.string() +
                      " --headless --convert-to ods --outdir " + shellWord(dir.path().string()) +
                      " " + shellWord(workbook.string()) + " >/dev/null 2>&1"),
      0);
  const fs::path ods = dir / "declaration_one_l_row.ods";
  ASSERT_TRUE(fs::exists(ods));
  const Result again =
      convert(ods, dir / "again.ffdata", "123456789", "UAB \"ĄŽUOLAS\" & CO", "2023");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(sameFiles(form, dir / "again.ffdata"));
}

}  // namespace
}  // namespace kvd507
