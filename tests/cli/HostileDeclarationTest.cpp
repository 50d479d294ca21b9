// Existing declarations made to mislead the append run and `show`, each generated small here and
// given to the built `kvd507` as a user would give it: nothing may be lost, doubled or counted
// as 0 without a word, and nothing is written from a file that cannot be read whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/MemoryWorkbook.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace kvd507 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

using test::Result;

std::string replaceFirst(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("not in the declaration: " + from);
  return text.replace(at, from.size(), to);
}

std::size_t lineOf(const std::string& text, const std::string& part) {
  const std::size_t at = text.find(part);
  return static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
}

class HostileDeclarationTest : public ::testing::Test {
 protected:
  Result run(const std::vector<std::string>& arguments) {
    return test::runProgram(KVD507_EXECUTABLE, arguments, output.path());
  }

  // A workbook of one L row per amount, all of one payee and code, so that they merge.
  std::string workbook(const std::string& name, const std::vector<double>& amounts) {
    test::MemoryWorkbook book;
    book.sheet("KVD507 L").sheet("KVD507 U");
    for (std::uint32_t i = 0; i < amounts.size(); ++i) {
      book.text("KVD507 L", 6 + i, 2, "ona")
          .text("KVD507 L", 6 + i, 3, "38501010001")
          .number("KVD507 L", 6 + i, 8, amounts[i])
          .text("KVD507 L", 6 + i, 9, "01");
    }
    book.saveXlsx(dir / name);
    return (dir / name).string();
  }

  // A declaration written by kvd507 itself from a workbook of these amounts.
  std::string declaration(const std::vector<double>& amounts) {
    const std::string book = workbook("base.xlsx", amounts);
    const Result r = run({"convert", book, "--folder", dir.path().string(), "--payer-code",
                          "123456785", "--output", (dir / "base.ffdata").string()});
    if (r.status != 0) throw std::runtime_error("no declaration: " + r.err);
    return readFile(dir / "base.ffdata");
  }

  // Appends a workbook of one row of 50 to `text`; `strict` adds --strict.
  Result append(const std::string& text, bool strict = false) {
    writeFile(dir / "in.ffdata", text);
    fs::remove(dir / "new.ffdata");
    std::vector<std::string> arguments{"convert",      workbook("more.xlsx", {50}),
                                       "--folder",     dir.path().string(),
                                       "--append",     (dir / "in.ffdata").string(),
                                       "--output",     (dir / "new.ffdata").string(),
                                       "--payer-code", "123456785"};
    if (strict) arguments.emplace_back("--strict");
    return run(arguments);
  }

  TempDir dir;
  TempDir output;
};

// What the file yields that would have been lost or doubled is refused, naming the line;
// nothing is written.
TEST_F(HostileDeclarationTest, DeclarationsThatWouldLoseOrDoubleRowsAreRefusedNamingTheLine) {
  const std::string base = declaration({100, 7});
  const std::string l3 = "<Field Name=\"L3-1\">";
  const std::string l10 = "<Field Name=\"L10-1\">0,00</Field>";
  struct Case {
    const char* what;
    std::string text;
    std::size_t line;
    std::string reason;
  };
  const Case cases[] = {
      {"attribute in lower case", replaceFirst(base, l3, "<Field name=\"L3-1\">"), lineOf(base, l3),
       "joje lauko žymė parašyta ne taip"},
      {"element in capitals",
       replaceFirst(base, "<Field Name=\"L3-1\">ONA</Field>", "<FIELD Name=\"L3-1\">ONA</FIELD>"),
       lineOf(base, l3), "joje lauko žymė parašyta ne taip"},
      {"field name alone", replaceFirst(base, l10, "Name=\"L10-"), lineOf(base, l10),
       "joje lauko žymė parašyta ne taip"},
      {"L10 repeated", replaceFirst(base, l10, l10 + "\r\n" + l10), lineOf(base, l10) + 1,
       "joje esantis laukas jau buvo šiame formos puslapyje"},
      {"declaration twice (cat a a)", base + base,
       static_cast<std::size_t>(std::count(base.begin(), base.end(), '\n')) + 1,
       "po formos pabaigos (žymės </FFData>) faile yra daugiau teksto"},
  };
  for (const Case& c : cases) {
    const Result r = append(c.text);
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_THAT(r.err,
                testing::StartsWith("kvd507: Nepavyko perskaityti formos in.ffdata: eilutė " +
                                    std::to_string(c.line) + ": " + c.reason))
        << c.what;
    EXPECT_FALSE(fs::exists(dir / "new.ffdata")) << c.what;
    const Result shown = run({"show", (dir / "in.ffdata").string()});
    EXPECT_EQ(shown.status, 1) << c.what;
    // The PDF is drawn by the window program, which reads the file itself: the same refusal.
    const Result pdf =
        run({"show", (dir / "in.ffdata").string(), "--pdf", (dir / "in.pdf").string()});
    EXPECT_EQ(pdf.status, 1) << c.what;
    EXPECT_THAT(pdf.err, testing::HasSubstr(shown.err)) << c.what;
    EXPECT_FALSE(fs::exists(dir / "in.pdf")) << c.what;
  }
}

std::vector<std::string> lAmounts(const std::string& text) {
  std::vector<std::string> amounts;
  for (std::size_t at = text.find("<Field Name=\"L8-"); at != std::string::npos;
       at = text.find("<Field Name=\"L8-", at + 1)) {
    const std::size_t start = text.find('>', at) + 1;
    const std::string value = text.substr(start, text.find('<', start) - start);
    if (!value.empty()) amounts.push_back(value);
  }
  return amounts;
}

// What would be lost, counted as 0 or counted twice without a word is said, and --strict does
// not write with it.
TEST_F(HostileDeclarationTest, RowsDroppedCountedAsZeroOrTwiceAreToldAndStopAStrictRun) {
  const std::string twice = declaration({100, 100});  // two rows of one key: merged into one
  const std::string one = declaration({100});
  const std::string l3 = "<Field Name=\"L3-1\">ONA</Field>";
  // A second slot holding the first one's row, as another program may have saved it.
  std::string repeated = one;
  const std::size_t slot2 = repeated.find("<Field Name=\"L1-2\">");
  const std::size_t slot1 = repeated.find("<Field Name=\"L1-1\">");
  std::string copy = repeated.substr(slot1, slot2 - slot1);
  for (const char* field : {"L1-", "L2-", "L3-", "L4-", "L5-", "L6-", "L7-", "L8-", "L9-", "L10-",
                            "L11-", "L12-", "L13-"}) {
    copy = replaceFirst(copy, std::string(field) + "1\"", std::string(field) + "2\"");
  }
  const std::size_t slot3 = repeated.find("<Field Name=\"L1-3\">");
  repeated.replace(slot2, slot3 - slot2, copy);
  ASSERT_EQ(twice.find("ONA"), twice.rfind("ONA"));

  struct Case {
    const char* what;
    std::string text;
    std::string finding;
    std::vector<std::string> written;  // the L8 amounts of the new declaration
  };
  const Case cases[] = {
      {"one key twice",
       repeated,
       "lapas \"KVD507 L\", stulpelis L3-2: forma turi pasikartojančių eilučių: \"ONA\", "
       "\"38501010001\", \"A 01\" yra 2 puslapyje; darbaknygės sumos pridedamos tik prie pirmosios",
       {"150,00", "100,00"}},
      {"slot without a name",
       replaceFirst(one, l3, "<Field Name=\"L3-1\"></Field>"),
       "lapas \"KVD507 L\", stulpelis L3-1: pavadinimas tuščias, nors kiti eilutės laukai "
       "užpildyti (2 puslapis, 1 vieta); eilutė praleista",
       {"50,00"}},
      {"amount that is no number",
       replaceFirst(one, "<Field Name=\"L8-1\">100,00", "<Field Name=\"L8-1\">2 000,00 EUR"),
       "lapas \"KVD507 L\", stulpelis L8-1: \"2 000,00 EUR\" nėra skaičius (2 puslapis, 1 vieta; "
       "gavėjas ONA), suma "
       "laikoma 0",
       {"50,00"}},
      {"amount too large",
       replaceFirst(one, "<Field Name=\"L8-1\">100,00",
                    "<Field Name=\"L8-1\">99999999999999999999999"),
       "lapas \"KVD507 L\", stulpelis L8-1: suma \"99999999999999999999999\" per didelė (10^15 ar "
       "daugiau) (2 puslapis, 1 vieta; gavėjas ONA), laikoma 0",
       {"50,00"}},
  };
  for (const Case& c : cases) {
    Result r = append(c.text);
    EXPECT_EQ(r.status, 0) << c.what << r.err;
    EXPECT_THAT(r.err, testing::HasSubstr("kvd507: pastaba: " + c.finding + "\n")) << c.what;
    EXPECT_EQ(lAmounts(readFile(dir / "new.ffdata")), c.written) << c.what;
    EXPECT_EQ(run({"show", (dir / "in.ffdata").string()}).status, 0) << c.what;

    r = append(c.text, true);
    EXPECT_EQ(r.status, 4) << c.what << r.err;
    EXPECT_FALSE(fs::exists(dir / "new.ffdata")) << c.what;
  }
}

// A footer that names another year than the main page (as a program of before wrote them) is
// told by `show`, which prints the main page's header; an append writes the main page's year on
// every page.
TEST_F(HostileDeclarationTest, FootersThatDisagreeWithTheMainPageAreToldAndNotCopied) {
  const std::string base = declaration({100});
  const std::string mainYear = "<Field Name=\"B_ML_Metai\">";
  const std::size_t footer = base.find(mainYear, base.find("PageDefName=\"KVD507L\""));
  ASSERT_NE(footer, std::string::npos);
  std::string text = base;
  const std::size_t value = footer + mainYear.size();
  const std::string year = text.substr(value, 4);
  text.replace(value, 4, "1999");
  writeFile(dir / "in.ffdata", text);

  const Result shown = run({"show", (dir / "in.ffdata").string()});
  EXPECT_EQ(shown.status, 0);
  EXPECT_THAT(shown.out, testing::HasSubstr("B_ML_Metai\t" + year + "\n"));
  EXPECT_EQ(shown.err,
            "kvd507: pastaba: metai puslapio 2 poraštėje \"1999\", o pagrindiniame "
            "puslapyje \"" +
                year + "\"; forma laikoma pagrindinio puslapio\n");

  const Result appended = append(text);
  EXPECT_EQ(appended.status, 0) << appended.err;
  const std::string written = readFile(dir / "new.ffdata");
  EXPECT_EQ(written.find(">1999<"), std::string::npos);
  EXPECT_THAT(appended.err, testing::HasSubstr("poraštėje \"1999\""));
}

// Amounts of 10^15 or more in the workbook are counted as 0, said, and the summary says how many.
TEST_F(HostileDeclarationTest, WorkbookAmountsTooLargeAreToldAndNotCounted) {
  const std::string book = workbook("big.xlsx", {1e15, 1.8e306, 12});
  const Result r =
      run({"check", book, "--folder", dir.path().string(), "--payer-code", "123456785"});
  EXPECT_EQ(r.status, 4);
  EXPECT_THAT(r.err, testing::HasSubstr("stulpelis H: suma 1E+15 per didelė (10^15 ar daugiau), "
                                        "laikoma 0"));
  EXPECT_THAT(r.err, testing::ContainsRegex("stulpelis H: suma 1[,.]8E\\+306 per didel"));
  EXPECT_THAT(r.out,
              testing::HasSubstr("Neįskaičiuota sumų (ne skaičius arba per didelė, laikyta 0): 2"));
  // The locale's decimal separator.
  EXPECT_THAT(r.out, testing::ContainsRegex("Išmokos suma: 12[,.]00;"));
}

// An appendix of more rows than a sheet holds is refused while it is read, whatever the file
// spells them with; `show` prints no control character a value holds.
TEST_F(HostileDeclarationTest, ShowRefusesTooManyRowsAndPrintsNoControlCharacters) {
  std::string text =
      "<FFData>\r\n<Pages Count=\"2\">\r\n<Page PageDefName=\"KVD507\">\r\n</Page>\r\n"
      "<Page PageDefName=\"KVD507L\">\r\n<Field Name=\"L3-1\">A</Field>\r\n";
  for (std::size_t slot = 1; slot <= (std::size_t{1} << 20) + 1; ++slot) {
    text += "<Field Name=\"L10-" + std::to_string(slot) + "\"></Field>\r\n";
  }
  text += "</Page>\r\n</Pages>\r\n</FFData>\r\n";
  writeFile(dir / "many.ffdata", text);
  Result r = run({"show", (dir / "many.ffdata").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kvd507: Nepavyko perskaityti formos many.ffdata: eilutė " +
                       std::to_string(6 + (1 << 20) + 1) +
                       ": formos priede eilučių daugiau nei 1 048 576, tiek lape būti negali\n");
  EXPECT_EQ(r.out, "");

  const std::string base = declaration({1});
  writeFile(dir / "escapes.ffdata", replaceFirst(base, ">ONA<",
                                                 ">O\x1B[2J\x07N\xC2\x9B"
                                                 "1mA\tB\xC4\x85<"));
  r = run({"show", (dir / "escapes.ffdata").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, testing::HasSubstr("\tO[2JN1MA\\tBĄ\t"));
}

}  // namespace
}  // namespace kvd507
