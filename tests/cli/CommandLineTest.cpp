#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "cli/CommandLine.h"
#include "cli/RowsCommand.h"
#include "cli/WindowLauncher.h"
#include "runs/WindowState.h"
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
      {std::string("nul\0byte", 8), std::string("nul\0byte", 8)},
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
    b.text("KVD507 L", 6, 2, "Ona").text("KVD507 L", 6, 3, "1").text("KVD507 L", 6, 8, amount);
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
      {{"convert", clean, "--strict"}, 0, true, "nepasirinktas išmokų mokėtojas"},
      {{"convert", renamed, "--strict"}, 4, false, "faile įrašų nerasta"},
      {{"convert", empty, "--strict"}, 3, false, "faile įrašų nerasta"},
      {{"check", (dir / "none.xlsx").string()}, 1, false, "Blogai užpildytas failas none.xlsx"},
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
      EXPECT_NE(r.out.find("KVD507 L: iš knygos perskaityta eilučių:"), std::string::npos)
          << what << r.out;
    }
  }
}

TEST_F(CommandLineTest, CheckPrintsTheSummaryAndOneLinePerFinding) {
  MemoryWorkbook b;
  b.text("KVD507 L", 6, 2, "Ona").text("KVD507 L", 6, 3, "1").text("KVD507 L", 6, 8, "1 234,5");
  b.text("KVD507 L", 6, 9, "1").text("KVD507 L", 7, 2, "Jonas\ttab").text("KVD507 L", 7, 8, "x\ny");
  b.sheet("KVD507 U");
  b.saveXlsx(dir / "a.xlsx");
  const Result r = run({"check", (dir / "a.xlsx").string(), "--folder", dir.path().string(),
                        "--payer-code", "38001010000"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out,
            "KVD507 L: iš knygos perskaityta eilučių: 2; sujungta su ankstesnėmis: 0; formoje "
            "eilučių: 2; puslapių: 1\n"
            "KVD507 L: sumų suma: 1234,50; antrųjų sumų suma: 0,00\n"
            "KVD507 L: be kodo: eilučių: 1; suma: 0,00\n"
            "KVD507 L: A 01: eilučių: 1; suma: 1234,50\n"
            "KVD507 U: iš knygos perskaityta eilučių: 0; sujungta su ankstesnėmis: 0; formoje "
            "eilučių: 0; puslapių: 0\n"
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
           "--output FAILAS", "--folder APLANKAS", "--open",
           "Numatyta: praėję metai (dabar " + runs::defaultYear(runs::currentCalendarYear()) + ")",
           "Numatyta: APLANKAS/formos/KVD507.ffdata", "  2  neteisinga komandinė eilutė"}) {
    EXPECT_THAT(convert.out, testing::HasSubstr(option));
  }
  // Every option's description is followed by its default.
  EXPECT_EQ(countOf(convert.out, "Numatyta: "), 8u);
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
  EXPECT_THAT(test::readFile(err),
              testing::HasSubstr("failas \"" + (dir / "kvd507-window").string() +
                                 "\": tokio failo ar aplanko nėra"));
}

}  // namespace
}  // namespace kvd507::cli
