#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <thread>

#include "cli/CommandLine.h"
#include "cli/RowsCommand.h"
#include "cli/WindowLauncher.h"
#include "runs/ChoiceDefaults.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::cli {
namespace {

using test::MemoryWorkbook;
using test::TempDir;

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result run(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = runCommandLine(arguments, out, err);
  return {status, out.str(), err.str()};
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LC_ALL", "lt_LT.UTF-8", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }

  std::string workbook(const std::string& name, int lCount, const std::string& payee = "vardas\t") {
    MemoryWorkbook book;
    book.sheet("KVD507 L").sheet("KVD507 U");
    for (int i = 0; i < lCount; ++i) {
      book.text("KVD507 L", 6 + i, 2, payee + std::to_string(i))
          .number("KVD507 L", 6 + i, 8, 12.5)
          .text("KVD507 L", 6 + i, 9, "5");
    }
    book.saveXlsx(dir / name);
    return (dir / name).string();
  }

  TempDir dir;
};

TEST_F(CommandLineTest, RowsPrintsEveryRowWithEscapes) {
  const Result r = run({"rows", workbook("a.xlsx", 2)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "L\t\t\tVARDAS\\t0\tA\t05\t\t\t12,50\t0\t0,00\t\t\t\t\n"
            "L\t\t\tVARDAS\\t1\tA\t05\t\t\t12,50\t0\t0,00\t\t\t\t\n");
  EXPECT_EQ(r.err, "");
}

TEST(EscapeField, WritesBackslashTabAndLineBreaksAsTwoCharacters) {
  struct Case {
    std::string cell;
    std::string field;
  };
  const Case cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"a\\b\tc\rd\ne", "a\\\\b\\tc\\rd\\ne"},
      {"\t\n", "\\t\\n"},
      {"ends with \\", "ends with \\\\"},
      // Other control characters would drive the terminal: left out.
      {std::string("nul\0byte", 8), "nulbyte"},
      {"\x1B[2Jclear\x07\x7F", "[2Jclear"},
      {"c1\xC2\x9B"
       "31m, not \xC2\xA0 or \xC2\xA7",
       "c131m, not \xC2\xA0 or \xC2\xA7"},
      {"cut \xC2", "cut \xC2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(escapeField(c.cell), c.field) << c.cell;
    std::string line = "L\t";
    appendField(line, c.cell);
    EXPECT_EQ(line, "L\t" + c.field) << c.cell;
  }
}

TEST_F(CommandLineTest, AFailingCellKeepsWhatWasReadAndSaysWhere) {
  const std::string book = test::dataFile("error_value_in_l_sheet_row_7.xlsx").string();
  const Result rows = run({"rows", book});
  EXPECT_EQ(rows.status, 0);
  EXPECT_EQ(rows.out,
            "L\t\t\tONA\tA\t01\t\t\t10,00\t0\t0,00\t\t\t\t\n"
            "U\t\t\tIEVA\tA\t12\t\t\t2,50\t0\t0,00\t\t\t\t\n");
  EXPECT_EQ(rows.err,
            "kvd507: įspėjimas: skaitymas sustojo: lapas \"KVD507 L\", eilutė 7, stulpelis H: "
            "langelyje yra klaidos reikšmė (#N/A)\n");

  const Result convert = run({"convert", book, "--folder", dir.path().string()});
  EXPECT_EQ(convert.status, 0);
  EXPECT_NE(convert.out.find("L įrašų: 1, U įrašų: 1"), std::string::npos);
  EXPECT_NE(convert.err.find("eilutė 7, stulpelis H: skaitymas sustojo: langelyje yra klaidos "
                             "reikšmė (#N/A)"),
            std::string::npos)
      << convert.err;
}

// Files of a few hundred bytes that claim billions of rows, columns or spaces: every command
// refuses them at once with the sheet and the bound, and nothing is written.
TEST_F(CommandLineTest, FilesThatClaimMoreThanAnySheetHoldsAreRefusedAtOnce) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ods_repeat_bomb_l_sheet.ods",
       "lapas \"KVD507 L\", eilutė 1: stulpelių daugiau nei 16 384 (XFD)"},
      {"ods_repeat_bomb_u_sheet.ods", "lapas \"KVD507 U\": eilučių daugiau nei 1 048 576"},
      {"ods_counted_space_bomb.ods",
       "lapas \"KVD507 L\", eilutė 6, stulpelis B: langelyje per daug teksto (daugiau nei 4 "
       "MiB)"},
  };
  const std::string output = (dir / "KVD507.ffdata").string();
  for (const auto& [file, cause] : cases) {
    for (const std::string command : {"rows", "convert", "check"}) {
      SCOPED_TRACE(command + " " + file);
      std::vector<std::string> arguments = {command, test::dataFile(file).string()};
      if (command != "rows") {
        arguments.insert(arguments.end(), {"--folder", dir.path().string(), "--output", output});
      }
      const Result r = run(arguments);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err.rfind("kvd507: Blogai užpildytas failas " + file + ": " + cause + "\n", 0),
                0u)
          << r.err;
      EXPECT_EQ(r.out, "");
      EXPECT_FALSE(std::filesystem::exists(output));
    }
  }
}

// Every row gives the same finding: a thousand are printed, then how many more there were.
TEST_F(CommandLineTest, CheckPrintsAThousandFindingsOfAKindAndCountsTheRest) {
  const Result r = run({"check", workbook("many.xlsx", 1500), "--folder", dir.path().string(),
                        "--payer-code", "38001010000"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(countOf(r.err, "nenurodytas identifikatorius\n"), 1000u);
  EXPECT_EQ(countOf(r.err, "\n"), 1002u) << r.err.substr(r.err.size() - 300);
  EXPECT_NE(r.err.find("eilutė 1005, stulpeliai C–G: nenurodytas identifikatorius\n"
                       "kvd507: pastaba: ir dar 500 tokių pastabų\n"),
            std::string::npos);
}

TEST_F(CommandLineTest, ConvertWritesIntoTheProgramFolder) {
  const Result r =
      run({"convert", workbook("a.xlsx", 11, "vardas "), "--folder", dir.path().string(),
           "--payer-code", "123", "--payer-name", "Ona", "--year", "2023"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto output = dir / "formos" / "KVD507.ffdata";
  EXPECT_EQ(r.out.substr(0, output.string().size() + 1), output.string() + "\n");
  EXPECT_TRUE(r.out.ends_with("\nL įrašų: 11, U įrašų: 0, puslapių: 3 (pagrindinis, 2 L, 0 U)\n"))
      << r.out;
  const std::string file = test::readFile(output);
  EXPECT_NE(file.find("<Field Name=\"B_MM_Pavad\">ONA</Field>"), std::string::npos);
  EXPECT_NE(file.find("<Field Name=\"B_ML_Metai\">2023</Field>"), std::string::npos);

  const Result again = run({"convert", workbook("b.xlsx", 1, "vardas "), "--append",
                            output.string(), "--output", (dir / "more.ffdata").string()});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("L įrašų: 11,"), std::string::npos);  // the one row merged
}

// An append keeps the declaration's own payer and year: an explicit --payer-code or --year that
// differs is refused before anything is written; without them, or with the same ones, the
// declaration's own are written on every page.
TEST_F(CommandLineTest, AppendRefusesAnotherPayerOrYearThanTheDeclarations) {
  const auto old = dir / "old.ffdata";
  ASSERT_EQ(run({"convert", workbook("a.xlsx", 11), "--folder", dir.path().string(), "--payer-code",
                 "302222222", "--payer-name", "UAB X", "--year", "2024", "--output", old.string()})
                .status,
            0);
  struct Case {
    const char* what;
    std::vector<std::string> options;
    int status;
    std::string told;  // part of stderr
  };
  const Case cases[] = {
      {"another payer code",
       {"--payer-code", "123456789"},
       2,
       "--payer-code 123456789 nesutampa su papildomos formos old.ffdata mokėtojo kodu "
       "\"302222222\""},
      {"another year",
       {"--year", "2025"},
       2,
       "--year 2025 nesutampa su papildomos formos old.ffdata metais \"2024\""},
      {"the same ones", {"--payer-code", "302222222", "--year", "2024"}, 0, ""},
      {"none given", {}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir folder;
    std::vector<std::string> arguments = {"convert",  workbook("b.xlsx", 2),
                                          "--append", old.string(),
                                          "--folder", folder.path().string()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const Result r = run(arguments);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
    const auto output = folder / "formos" / "KVD507.ffdata";
    ASSERT_EQ(std::filesystem::exists(output), c.status == 0);
    if (c.status != 0) continue;
    const std::string file = test::readFile(output);
    EXPECT_EQ(countOf(file, "<Field Name=\"B_MM_ID\">302222222</Field>"), 1u + 2);
    EXPECT_EQ(countOf(file, "<Field Name=\"B_ML_Metai\">2024</Field>"), 1u + 2);
    EXPECT_EQ(countOf(file, "<Field Name=\"B_MM_ID\">"), 1u + 2);
  }
}

// The usual declaration replaced is kept whole in formos/ankstesnės, and the summary says where.
TEST_F(CommandLineTest, TheReplacedDeclarationIsKeptAndTold) {
  const std::vector<std::string> arguments = {"convert",      workbook("a.xlsx", 3),
                                              "--folder",     dir.path().string(),
                                              "--payer-code", "123456789"};
  ASSERT_EQ(run(arguments).status, 0);
  const auto output = dir / "formos" / "KVD507.ffdata";
  const std::string first = test::readFile(output);
  const Result r = run(arguments);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string told =
      "Ankstesnė forma išsaugota: " + (dir / "formos" / "ankstesnės").string() +
      "/KVD507 123456789 ";
  const std::size_t at = r.out.find(told);
  ASSERT_NE(at, std::string::npos) << r.out;
  const std::size_t start = at + std::string("Ankstesnė forma išsaugota: ").size();
  const std::string kept = r.out.substr(start, r.out.find('\n', at) - start);
  EXPECT_EQ(test::readFile(kept), first);
}

// Names are put in capitals letter by letter, Lithuanian ones included, so that one recipient
// written in small and in capital letters is one row; also when an earlier declaration holds
// the name with small Lithuanian letters, as older versions wrote it.
TEST_F(CommandLineTest, OneRecipientInSmallOrCapitalLettersIsOneRow) {
  MemoryWorkbook book;
  book.sheet("KVD507 L").sheet("KVD507 U");
  const char* names[] = {"Ona Kazlauskienė", "ONA KAZLAUSKIENĖ"};
  for (int i = 0; i < 2; ++i) {
    book.text("KVD507 L", 6 + i, 2, names[i])
        .number("KVD507 L", 6 + i, 8, 12.5)
        .text("KVD507 L", 6 + i, 9, "5");
  }
  book.saveXlsx(dir / "a.xlsx");
  const auto output = dir / "formos" / "KVD507.ffdata";
  const Result r = run({"convert", (dir / "a.xlsx").string(), "--folder", dir.path().string(),
                        "--payer-code", "123", "--payer-name", "uab „ąžuolų šviesa“ & co"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("L įrašų: 1,"), std::string::npos) << r.out;
  std::string file = test::readFile(output);
  EXPECT_NE(file.find("<Field Name=\"B_MM_Pavad\">UAB „ĄŽUOLŲ ŠVIESA“ &amp; CO</Field>"),
            std::string::npos);
  EXPECT_NE(file.find("<Field Name=\"L3-1\">ONA KAZLAUSKIENĖ</Field>"), std::string::npos);
  EXPECT_NE(file.find("<Field Name=\"L8-1\">25,00</Field>"), std::string::npos);

  const std::string capital = "ONA KAZLAUSKIENĖ";
  file.replace(file.find(capital), capital.size(), "ONA KAZLAUSKIENė");
  test::writeFile(dir / "old.ffdata", file);
  MemoryWorkbook more;
  more.sheet("KVD507 L").sheet("KVD507 U");
  more.text("KVD507 L", 6, 2, "Ona Kazlauskienė")
      .number("KVD507 L", 6, 8, 10)
      .text("KVD507 L", 6, 9, "5");
  more.saveXlsx(dir / "b.xlsx");
  const Result appended = run({"convert", (dir / "b.xlsx").string(), "--folder",
                               dir.path().string(), "--append", (dir / "old.ffdata").string()});
  ASSERT_EQ(appended.status, 0) << appended.err;
  EXPECT_NE(appended.out.find("L įrašų: 1,"), std::string::npos) << appended.out;
  file = test::readFile(output);
  EXPECT_NE(file.find("<Field Name=\"L3-1\">ONA KAZLAUSKIENĖ</Field>"), std::string::npos);
  EXPECT_NE(file.find("<Field Name=\"L8-1\">35,00</Field>"), std::string::npos);
  // The payer name of an earlier declaration is taken over as it stands.
  EXPECT_NE(file.find("<Field Name=\"B_MM_Pavad\">UAB „ĄŽUOLŲ ŠVIESA“ &amp; CO</Field>"),
            std::string::npos);
}

TEST_F(CommandLineTest, ThePayerDefaultsToTheStoredSelection) {
  const std::string book = workbook("a.xlsx", 1);
  const auto output = dir / "formos" / "KVD507.ffdata";
  ASSERT_EQ(run({"convert", book, "--folder", dir.path().string()}).status, 0);
  EXPECT_NE(test::readFile(output).find("<Field Name=\"B_MM_ID\">lb_kodas</Field>"),
            std::string::npos);

  test::writeFile(dir / "asmenys.txt", "Alfa;1\r\nBeta & co;2\r\n");
  test::writeFile(dir / "_nustatymai.ini", "[NUSTATYMAI]\r\nasmuo=1\r\n");
  ASSERT_EQ(run({"convert", book, "--folder", dir.path().string()}).status, 0);
  const std::string file = test::readFile(output);
  EXPECT_NE(file.find("<Field Name=\"B_MM_ID\">2</Field>"), std::string::npos);
  EXPECT_NE(file.find("<Field Name=\"B_MM_Pavad\">BETA &amp; CO</Field>"), std::string::npos);

  ASSERT_EQ(run({"convert", book, "--folder", dir.path().string(), "--payer-code", "9"}).status, 0);
  EXPECT_NE(test::readFile(output).find("<Field Name=\"B_MM_Pavad\">BETA &amp; CO</Field>"),
            std::string::npos);
}

TEST_F(CommandLineTest, TheExampleGivesOneDeclarationWhateverSavedIt) {
  const std::filesystem::path examples = test::dataFile("../../examples");
  std::vector<std::string> declarations;
  for (const auto& book :
       {examples / "pavyzdys.xlsx", examples / "pavyzdys.xls",
        test::dataFile("example_saved_by_libreoffice.xlsx"), examples / "pavyzdys.ods"}) {
    const auto output = dir / (book.filename().string() + ".ffdata");
    const Result r = run({"convert", book.string(), "--folder", dir.path().string(), "--output",
                          output.string(), "--payer-code", "1", "--payer-name", "A"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("L įrašų: 24, U įrašų: 12, puslapių: 7"), std::string::npos) << r.out;
    declarations.push_back(test::readFile(output));
  }
  EXPECT_EQ(declarations[0], declarations[1]);
  EXPECT_EQ(declarations[0], declarations[2]);
  EXPECT_EQ(declarations[0], declarations[3]);
}

TEST_F(CommandLineTest, ExitStatusSaysHowItEnded) {
  test::writeFile(dir / "text.xlsx", "not a workbook");
  const std::string empty = workbook("empty.xlsx", 0);
  test::XlsxParts damaged = test::minimalWorkbook(
      R"(<row r="6"><c r="B6" t="inlineStr"><is><t>Ona</t></is></c><c r="H6"><v>1</v></c>)"
      R"(</row><row r="7"><c r="B7"><v>1</v></row>)");
  damaged["xl/workbook.xml"].replace(damaged["xl/workbook.xml"].find("Sheet1"), 6, "KVD507 L");
  const std::string broken = (dir / "damaged.xlsx").string();
  test::writeZip(broken, damaged);
  const std::string folder = dir.path().string();
  const int nextYear = runs::currentCalendarYear() + 1;
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string inErr;
  };
  const Case cases[] = {
      {{"convert", empty, "--folder", folder}, 3, "\"empty.xlsx\" faile įrašų nerasta."},
      {{"convert", (dir / "text.xlsx").string(), "--folder", folder},
       1,
       "Blogai užpildytas failas text.xlsx"},
      {{"convert", workbook("a.xlsx", 1), "--folder", folder, "--append",
        (dir / "none.ffdata").string()},
       1,
       "none.ffdata"},
      {{"rows", (dir / "text.xlsx").string()}, 1, "text.xlsx"},
      {{"convert", broken, "--folder", folder},
       1,
       "Blogai užpildytas failas damaged.xlsx: lapas \"KVD507 L\", eilutė 7"},
      {{"rows", broken}, 1, "Blogai užpildytas failas damaged.xlsx: lapas \"KVD507 L\", eilutė 7"},
      {{}, 2, "nenurodyta komanda"},
      {{"convert"}, 2, "komandai convert trūksta argumento DARBAKNYGĖ"},
      {{"convert", empty, "--year"}, 2, "parinkčiai --year trūksta reikšmės METAI"},
      {{"convert", empty, "--colour", "red"}, 2, "nežinoma parinktis --colour"},
      {{"convert", empty, "--open=yes"}, 2, "parinktis --open reikšmės nepriima"},
      {{"convert", empty, empty}, 2, "per daug argumentų"},
      {{"rows"}, 2, "kvd507 rows --help"},
      {{"rows", empty, "--year", "1"}, 2, "nežinoma parinktis --year"},
      {{"frobnicate"}, 2, "nežinoma komanda \"frobnicate\""},
      {{"convert", empty, "--year", "abc"}, 2, "netinkama parinkties --year reikšmė \"abc\""},
      {{"check", empty, "--year=1999"}, 2, "nuo 2000 iki " + std::to_string(nextYear)},
      {{"convert", empty, "--year", std::to_string(nextYear + 1)}, 2, "--year"},
      {{"convert", empty, "--year", "02023"}, 2, "--year"},
      {{"convert", empty, "--strict=some"}, 2, "galima tik --strict arba --strict=all"},
  };
  for (const Case& c : cases) {
    const Result r = run(c.arguments);
    EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.arguments) << r.err;
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "formos" / "KVD507.ffdata"));
}

TEST_F(CommandLineTest, CheckAndStrictTellWhatWouldBeLost) {
  auto book = [this](const std::string& name, const std::string& amount) {
    MemoryWorkbook b;
    b.text("KVD507 L", 6, 2, "Ona").text("KVD507 L", 6, 5, "1").text("KVD507 L", 6, 8, amount);
    b.text("KVD507 L", 6, 9, "01").sheet("KVD507 U");
    b.saveXlsx(dir / name);
    return (dir / name).string();
  };
  const std::string clean = book("clean.xlsx", "1 234,50");
  const std::string lossy = book("lossy.xlsx", "12,50 EUR");
  MemoryWorkbook renamedBook;
  renamedBook.text("KVD507 L (2023)", 6, 2, "x");
  renamedBook.saveXlsx(dir / "renamed.xlsx");
  const std::string renamed = (dir / "renamed.xlsx").string();
  const std::string empty = workbook("empty.xlsx", 0);
  const std::string folder = dir.path().string();
  const std::string notANumber =
      "kvd507: pastaba: lapas \"KVD507 L\", eilutė 6, stulpelis H: \"12,50 EUR\" nėra skaičius, "
      "suma "
      "laikoma 0\n";
  struct Case {
    std::vector<std::string> arguments;
    int status;
    bool written;
    std::string inErr;  // empty: nothing on stderr
  };
  const Case cases[] = {
      {{"check", clean, "--payer-code", "123456789"}, 0, false, ""},
      {{"check", clean}, 4, false, "nepasirinktas išmokų mokėtojas"},
      {{"check", lossy, "--payer-code", "123456789", "--open"}, 4, false, notANumber},
      {{"check", empty}, 3, false, "faile įrašų nerasta"},
      {{"check", renamed}, 4, false, "gal tai \"KVD507 L (2023)\"?"},
      {{"convert", lossy, "--payer-code", "123456789"}, 0, true, notANumber},
      {{"convert", lossy, "--strict"}, 4, false, "forma neįrašyta (--strict)"},
      {{"convert", clean, "--strict"}, 4, false, "nepasirinktas išmokų mokėtojas"},
      {{"convert", clean, "--strict", "--payer-code", "38001010000"},
       0,
       true,
       "kontrolinis skaitmuo neteisingas"},
      {{"convert", clean, "--strict=all", "--payer-code", "38001010000"},
       4,
       false,
       "forma neįrašyta (--strict=all): rasta pastabų"},
      {{"convert", clean, "--strict=all", "--payer-code", "123456789"}, 0, true, ""},
      {{"convert", lossy, "--strict=all", "--payer-code", "123456789"}, 4, false, notANumber},
      {{"convert", renamed, "--strict"}, 4, false, "faile įrašų nerasta"},
      {{"convert", empty, "--strict"}, 3, false, "faile įrašų nerasta"},
      {{"check", (dir / "none.xlsx").string()}, 1, false, "Failas nerastas: "},
      {{"check"}, 2, false, "komandai check trūksta argumento DARBAKNYGĖ"},
  };
  const auto output = dir / "formos" / "KVD507.ffdata";
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir / "formos");
    std::vector<std::string> arguments = c.arguments;
    if (arguments.size() > 1) {
      arguments.insert(arguments.end(), {"--folder", folder});
    }
    const Result r = run(arguments);
    const std::string what = testing::PrintToString(c.arguments);
    EXPECT_EQ(r.status, c.status) << what << r.err;
    EXPECT_EQ(std::filesystem::exists(output), c.written) << what;
    if (c.inErr.empty()) {
      EXPECT_EQ(r.err, "") << what;
    } else {
      EXPECT_NE(r.err.find(c.inErr), std::string::npos) << what << r.err;
    }
    if (c.status == 0 || c.status == 4) {
      EXPECT_NE(r.out.find("KVD507 L: iš darbaknygės perskaityta eilučių:"), std::string::npos)
          << what << r.out;
    }
  }
}

TEST_F(CommandLineTest, CheckPrintsTheSummaryAndOneLinePerFinding) {
  MemoryWorkbook b;
  b.text("KVD507 L", 6, 2, "Ona").text("KVD507 L", 6, 5, "1").text("KVD507 L", 6, 8, "1 234,5");
  b.text("KVD507 L", 6, 9, "1").text("KVD507 L", 7, 2, "Jonas\ttab").text("KVD507 L", 7, 8, "x\ny");
  b.sheet("KVD507 U");
  b.saveXlsx(dir / "a.xlsx");
  const Result r = run({"check", (dir / "a.xlsx").string(), "--folder", dir.path().string(),
                        "--payer-code", "38001010000"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out,
            "KVD507 L: iš darbaknygės perskaityta eilučių: 2; sujungta su ankstesnėmis: 0; formoje "
            "eilučių: 2; puslapių: 1\n"
            "KVD507 L: Išmokos suma: 1234,50; Išskaičiuota mokesčio suma: 0,00\n"
            "KVD507 L: be kodo: eilučių: 1; Išmokos suma: 0,00\n"
            "KVD507 L: A 01: eilučių: 1; Išmokos suma: 1234,50\n"
            "KVD507 U: iš darbaknygės perskaityta eilučių: 0; sujungta su ankstesnėmis: 0; formoje "
            "eilučių: 0; puslapių: 0\n"
            "Neįskaičiuota sumų (ne skaičius arba per didelė, laikyta 0): 1; žr. pastabas\n"
            "L įrašų: 2, U įrašų: 0, puslapių: 2 (pagrindinis, 1 L, 0 U)\n");
  EXPECT_EQ(
      r.err,
      "kvd507: pastaba: lapas \"KVD507 L\", eilutė 7, stulpeliai C–G: nenurodytas "
      "identifikatorius\n"
      "kvd507: pastaba: lapas \"KVD507 L\", eilutė 7, stulpelis H: \"x y\" nėra skaičius, suma "
      "laikoma 0\n"
      "kvd507: pastaba: lapas \"KVD507 L\", eilutė 7: nėra sumos, didesnės už 0 (H, J, L, "
      "N); eilutė įrašyta su suma 0\n"
      "kvd507: pastaba: išmokų mokėtojo asmens kodo \"38001010000\" kontrolinis skaitmuo "
      "neteisingas\n");
}

TEST_F(CommandLineTest, HelpDescribesEveryOptionWithItsDefault) {
  const Result program = run({"--help"});
  EXPECT_EQ(program.status, 0);
  EXPECT_EQ(program.err, "");
  for (const char* part : {"kvd507 rows DARBAKNYGĖ", "kvd507 convert DARBAKNYGĖ",
                           "kvd507 KOMANDA --help", "Baigties kodai:", "  3  "}) {
    EXPECT_THAT(program.out, testing::HasSubstr(part));
  }
  const Result convert = run({"convert", "--help"});
  EXPECT_EQ(convert.status, 0);
  for (const std::string& option : std::vector<std::string>{
           "--append FORMA", "--payer-code KODAS", "--payer-name PAVADINIMAS", "--year METAI",
           "--output FAILAS", "--folder APLANKAS", "--open", "--strict[=all]", "--verbose",
           "Numatyta: praėję metai (dabar " + runs::defaultYear(runs::currentCalendarYear()) + ")",
           "Numatyta: APLANKAS/formos/KVD507.ffdata", "  2  neteisinga komandinė eilutė"}) {
    EXPECT_THAT(convert.out, testing::HasSubstr(option));
  }
  // Every option's description is followed by its default.
  EXPECT_EQ(countOf(convert.out, "Numatyta: "), 9u);
  EXPECT_EQ(run({"rows", "-h"}).status, 0);
}

TEST_F(CommandLineTest, OptionsTakeTheirValueAfterAnEqualsSignToo) {
  const Result r = run({"convert", workbook("a.xlsx", 1), "--folder=" + dir.path().string(),
                        "--payer-name=Ona", "--year=2023", "--payer-code", "7"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string file = test::readFile(dir / "formos" / "KVD507.ffdata");
  EXPECT_THAT(file, testing::HasSubstr("<Field Name=\"B_MM_Pavad\">ONA</Field>"));
  EXPECT_THAT(file, testing::HasSubstr("<Field Name=\"B_ML_Metai\">2023</Field>"));
  EXPECT_THAT(file, testing::HasSubstr("<Field Name=\"B_MM_ID\">7</Field>"));
}

TEST_F(CommandLineTest, AReadOnlyDeclarationIsNotReplaced) {
  const auto output = dir / "old.ffdata";
  test::writeFile(output, "previous");
  ASSERT_EQ(::chmod(output.c_str(), 0444), 0);
  const Result r = run({"convert", workbook("a.xlsx", 1), "--folder", dir.path().string(),
                        "--output", output.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, testing::HasSubstr("apsaugotas nuo rašymo"));
  EXPECT_EQ(test::readFile(output), "previous");
}

// A declaration shows as the workbook it was written from: after the header, exactly the
// lines `rows` prints for that workbook, a name with quotes and Lithuanian letters included.
TEST_F(CommandLineTest, ShowPrintsTheHeaderAndTheRowsOfTheWorkbook) {
  MemoryWorkbook book;
  for (int i = 0; i < 23; ++i) {
    book.text("KVD507 L", 6 + i, 2, "Ąžuolas \"Ūla\" & " + std::to_string(i))
        .number("KVD507 L", 6 + i, 8, 10 + i * 0.25)
        .text("KVD507 L", 6 + i, 9, "01");
  }
  for (int i = 0; i < 7; ++i) {
    book.text("KVD507 U", 6 + i, 2, "Ona " + std::to_string(i))
        .number("KVD507 U", 6 + i, 8, 5)
        .text("KVD507 U", 6 + i, 9, "13");
  }
  book.saveXlsx(dir / "book.xlsx");
  const auto output = dir / "formos" / "KVD507.ffdata";
  ASSERT_EQ(
      run({"convert", (dir / "book.xlsx").string(), "--folder", dir.path().string(), "--payer-code",
           "123456789", "--payer-name", "uab \"ąžuolas\" & co", "--year", "2023"})
          .status,
      0);
  const Result rows = run({"rows", (dir / "book.xlsx").string()});
  const Result shown = run({"show", output.string()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  // The U rows hold no payment code: said on stderr, as the viewer says it, one line each.
  EXPECT_EQ(std::count(shown.err.begin(), shown.err.end(), '\n'), 7) << shown.err;
  EXPECT_THAT(shown.err, testing::StartsWith("kvd507: pastaba: lapas \"KVD507 U\", stulpelis "
                                             "U5-1: išmokos kodas tuščias (5 puslapis, 1 vieta"));
  EXPECT_EQ(shown.out,
            "B_MM_ID\t123456789\n"
            "B_MM_Pavad\tUAB \"ĄŽUOLAS\" & CO\n"
            "B_ML_Metai\t2023\n"
            "Puslapių\t6\n" +
                rows.out);
}

TEST_F(CommandLineTest, ShowRefusesWhatIsNoWholeDeclaration) {
  test::writeFile(dir / "cut.ffdata", "<?xml version=\"1.0\"?>\r\n<FFData>\r\n<Pages Count=\"2\">");
  std::filesystem::create_directory(dir / "folder.ffdata");
  const struct {
    std::string file;
    std::string err;
  } cases[] = {
      {(dir / "gone.ffdata").string(), "Failas nerastas: " + (dir / "gone.ffdata").string()},
      {(dir / "folder.ffdata").string(), "Tai aplankas, ne forma: "},
      {(dir / "cut.ffdata").string(), "Nepavyko perskaityti formos cut.ffdata: "},
  };
  for (const auto& c : cases) {
    for (const char* command : {"show", "view"}) {
      const Result r = run({command, c.file});
      EXPECT_EQ(r.status, 1) << command << c.file;
      EXPECT_EQ(r.out, "") << command << c.file;
      EXPECT_THAT(r.err, testing::HasSubstr(c.err)) << command;
    }
  }
}

// The English detail of a failure follows its Lithuanian message only when asked for.
TEST_F(CommandLineTest, TheTechnicalDetailOnlyWithVerbose) {
  test::writeFile(dir / "notes.xlsx", "just text");
  for (const char* command : {"convert", "rows"}) {
    std::vector<std::string> arguments{command, (dir / "notes.xlsx").string()};
    const Result quiet = run(arguments);
    arguments.emplace_back("--verbose");
    const Result verbose = run(arguments);
    EXPECT_EQ(quiet.status, 1) << command;
    EXPECT_EQ(verbose.status, 1) << command;
    EXPECT_EQ(countOf(quiet.err, "\n"), 1u) << command << quiet.err;
    EXPECT_EQ(countOf(verbose.err, "\n"), 2u) << command << verbose.err;
    EXPECT_TRUE(verbose.err.starts_with(quiet.err)) << command << verbose.err;
  }
}

TEST_F(CommandLineTest, TheExecutableReportsThroughItsExitStatus) {
  const std::string command = std::string(KVD507_EXECUTABLE) + " convert " + workbook("a.xlsx", 1) +
                              " --folder " + dir.path().string() + " >/dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "formos" / "KVD507.ffdata"));
  const std::string usage = std::string(KVD507_EXECUTABLE) + " convert >/dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(usage.c_str())), 2);
}

// Without a subcommand the process becomes the window program beside it, with the same
// arguments; the window is left to its own tests, so it is ended as soon as it has started.
// The commands that need Qt run the window program: a PDF without a display, and, with no
// display at all, a Lithuanian word and status 1 instead of Qt's abort.
TEST_F(CommandLineTest, ThePdfNeedsNoDisplayAndTheWindowSaysWhenThereIsNone) {
  const std::string executable = KVD507_EXECUTABLE;
  ASSERT_EQ(run({"convert", workbook("a.xlsx", 12), "--folder", dir.path().string()}).status, 0);
  const std::string declaration = (dir / "formos" / "KVD507.ffdata").string();
  // Qt's own locking and the libraries it loads are for the window's tests to judge.
  const std::string quiet =
      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TSAN_OPTIONS=report_bugs=0 "
      "ASAN_OPTIONS=detect_leaks=0 ";
  const std::string err = (dir / "err.txt").string();
  auto status = [](const std::string& command) {
    return WEXITSTATUS(std::system(command.c_str()));
  };

  const std::string pdf = (dir / "forma.pdf").string();
  EXPECT_EQ(status(quiet + executable + " show " + declaration + " --pdf " + pdf + " 2>" + err), 0)
      << test::readFile(err);
  EXPECT_TRUE(test::readFile(pdf).starts_with("%PDF-"));
  EXPECT_EQ(test::readFile(err), "");

  for (const std::string& arguments :
       {std::string(), " --folder " + dir.path().string(), " " + declaration}) {
    EXPECT_EQ(status(quiet + executable + arguments + " 2>" + err), 1) << arguments;
    EXPECT_THAT(test::readFile(err), testing::HasSubstr("nėra ekrano")) << arguments;
  }

  // A display that is named but cannot be reached is told in the same words, not by Qt's abort.
  const std::string unreachable =
      "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711 TSAN_OPTIONS=report_bugs=0 "
      "ASAN_OPTIONS=detect_leaks=0 ";
  EXPECT_EQ(status(unreachable + executable + " --folder " + dir.path().string() + " 2>" + err), 1);
  EXPECT_TRUE(test::readFile(err).starts_with(
      "kvd507: nepavyko prisijungti prie ekrano :4711 (gal jis išjungtas?).\n"
      "Be ekrano dirbama komandomis: kvd507 convert DARBAKNYGĖ"))
      << test::readFile(err);
}

TEST_F(CommandLineTest, WithoutASubcommandItBecomesTheWindowProgram) {
  const std::filesystem::path executable = KVD507_EXECUTABLE;
  const std::filesystem::path window = windowProgram(executable.parent_path());
  ASSERT_TRUE(std::filesystem::exists(window)) << window;
  const std::string folder = dir.path().string();
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    // Whatever the window says, and what ThreadSanitizer would say of Qt's own locking, is for
    // the window's tests.
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, STDOUT_FILENO);
    ::dup2(quiet, STDERR_FILENO);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("TSAN_OPTIONS", "report_bugs=0", 1);
    ::execl(executable.c_str(), "kvd507", "--folder", folder.c_str(), nullptr);
    ::_exit(127);
  }
  const std::string proc = "/proc/" + std::to_string(child);
  std::filesystem::path running;
  std::string arguments;
  // The new program's arguments show a moment after its file does, once exec has set them up.
  for (int tries = 0; tries < 1000 && arguments.empty(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::error_code error;
    running = std::filesystem::read_symlink(proc + "/exe", error);
    if (running == window) arguments = test::readFile(proc + "/cmdline");
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(running, window);
  EXPECT_EQ(arguments, std::string("kvd507\0--folder\0", 16) + folder + '\0');
}

TEST_F(CommandLineTest, WithoutTheWindowProgramItSaysWhatIsMissing) {
  const auto alone = dir / "kvd507";
  std::filesystem::copy_file(KVD507_EXECUTABLE, alone);
  const auto err = dir / "err.txt";
  const std::string command = alone.string() + " 2>" + err.string();
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), kExitFailure);
  const std::string said = test::readFile(err);
  EXPECT_THAT(said, testing::HasSubstr("nepavyko atverti lango: tokio failo ar aplanko nėra"));
  // Where the window program should be, and what to do, in Lithuanian only.
  EXPECT_THAT(said, testing::HasSubstr((dir / "kvd507-window").string()));
  EXPECT_THAT(said, testing::HasSubstr("įdiekite kvd507 iš naujo"));
  EXPECT_THAT(said, testing::Not(testing::HasSubstr("start the window")));
}

// Every file under `root` with its contents, to show that nothing in it changed.
std::map<std::string, std::string> treeOf(const std::filesystem::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    tree[entry.path().string()] = entry.is_regular_file() ? test::readFile(entry.path()) : "/";
  }
  return tree;
}

// An installed tree: the program in bin and the templates in share/kvd507/sablonas, wherever it
// is rooted. Its user's files go to their data folder, and nothing into the tree.
TEST_F(CommandLineTest, AnInstalledProgramWritesOnlyInTheUsersDataFolder) {
  const auto root = dir / "usr";
  std::filesystem::create_directories(root / "bin");
  std::filesystem::create_directories(root / "share/kvd507/sablonas");
  std::filesystem::copy_file(KVD507_EXECUTABLE, root / "bin/kvd507");
  test::writeFile(root / "share/kvd507/sablonas/KVD507.xlsx", "template");
  EXPECT_EQ(windowProgram(root / "bin"), root / "libexec/kvd507/kvd507-window");
  const std::string book = workbook("a.xlsx", 1);
  const auto installed = treeOf(root);

  struct Case {
    std::string what;
    std::string environment;
    std::filesystem::path folder;
  };
  for (const Case& c :
       {Case{"home", "env -u XDG_DATA_HOME HOME=" + (dir / "home").string(),
             dir / "home/.local/share/kvd507"},
        Case{"XDG_DATA_HOME", "env HOME=/nonexistent XDG_DATA_HOME=" + (dir / "data").string(),
             dir / "data/kvd507"}}) {
    const std::string program = c.environment + " " + (root / "bin/kvd507").string();
    const auto out = dir / "out.txt";
    EXPECT_EQ(WEXITSTATUS(std::system((program + " --help >" + out.string()).c_str())), 0);
    EXPECT_THAT(test::readFile(out), testing::HasSubstr("Programos aplankas: " + c.folder.string()))
        << c.what;
    EXPECT_FALSE(std::filesystem::exists(c.folder)) << c.what << ": made for the help";

    const std::string convert = program + " convert " + book + " --payer-code 1 >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(convert.c_str())), 0) << c.what;
    EXPECT_TRUE(std::filesystem::exists(c.folder / "formos/KVD507.ffdata")) << c.what;
    EXPECT_EQ(test::readFile(c.folder / "sablonas/KVD507.xlsx"), "template") << c.what;
    const std::string add = program + " payers add Ona 123 >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(add.c_str())), 0) << c.what;
    EXPECT_THAT(test::readFile(c.folder / "asmenys.txt"), testing::HasSubstr("Ona;123")) << c.what;
    // --folder still chooses another folder.
    const std::string chosen =
        program + " payers add Jonas 5 --folder " + dir.path().string() + " >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(chosen.c_str())), 0) << c.what;
    EXPECT_THAT(test::readFile(dir / "asmenys.txt"), testing::HasSubstr("Jonas;5")) << c.what;
  }
  EXPECT_EQ(treeOf(root), installed);
}

TEST_F(CommandLineTest, AFolderThatCannotBeMadeIsSaidSo) {
  const auto root = dir / "usr";
  std::filesystem::create_directories(root / "bin");
  std::filesystem::create_directories(root / "share/kvd507/sablonas");
  std::filesystem::copy_file(KVD507_EXECUTABLE, root / "bin/kvd507");
  test::writeFile(dir / "data", "a file where the folder should be");
  const auto err = dir / "err.txt";
  const std::string command = "env XDG_DATA_HOME=" + (dir / "data").string() + " " +
                              (root / "bin/kvd507").string() + " payers 2>" + err.string();
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), kExitFailure);
  EXPECT_THAT(test::readFile(err),
              testing::HasSubstr("kvd507: Nepavyko paruošti programos aplanko: failas \"" +
                                 (dir / "data/kvd507").string() + "\": "));
}

TEST_F(CommandLineTest, VersionIsTheProjects) {
  const Result r = run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, testing::MatchesRegex("kvd507 [0-9]+\\.[0-9]+(\\.[0-9]+)*\n"));
}

}  // namespace
}  // namespace kvd507::cli
