#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/CommandLine.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"

namespace kvd507::cli {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct Result {
  int status;
  std::string out;
  std::string err;
};

class PayersCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LC_ALL", "lt_LT.UTF-8", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }

  Result run(std::vector<std::string> arguments) {
    arguments.push_back("--folder");
    arguments.push_back(dir.path().string());
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
  }

  TempDir dir;
  std::filesystem::path list = dir / "asmenys.txt";
  std::filesystem::path settings = dir / "_nustatymai.ini";
};

TEST_F(PayersCommandTest, ListsAddsAndSelectsLikeTheWindow) {
  const Result empty = run({"payers"});
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.err, "kvd507: Mokėtojų sąrašas tuščias\n");
  EXPECT_FALSE(std::filesystem::exists(list));

  // Nothing stored reads as the first payer: Gama, once it is there.
  ASSERT_EQ(run({"payers", "add", "Gama", "3"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(settings));
  // Alfa sorts first; the stored position follows Gama.
  ASSERT_EQ(run({"payers", "add", "Alfa", "1"}).status, 0);
  EXPECT_EQ(readFile(settings), "[NUSTATYMAI]\r\nasmuo=1\r\nasmuo_eilute=Gama;3\r\n");
  // Sorted, Windows-1257.
  const Result added = run({"payers", "add", "Žaibas", "4"});
  EXPECT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "  0\tAlfa\t1\n* 1\tGama\t3\n  2\tŽaibas\t4\n");
  EXPECT_EQ(readFile(list),
            "Alfa;1\r\nGama;3\r\n\xDE"
            "aibas;4\r\n");

  const Result selected = run({"payers", "select", "2"});
  EXPECT_EQ(selected.status, 0) << selected.err;
  EXPECT_EQ(selected.out, "  0\tAlfa\t1\n  1\tGama\t3\n* 2\tŽaibas\t4\n");
  // The payer's line beside its position, escaped to ASCII.
  EXPECT_EQ(readFile(settings), "[NUSTATYMAI]\r\nasmuo=2\r\nasmuo_eilute=%C5%BDaibas;4\r\n");

  ASSERT_EQ(run({"payers", "select", "-1"}).status, 0);
  EXPECT_EQ(readFile(settings), "[NUSTATYMAI]\r\nasmuo=-1\r\n");
}

TEST_F(PayersCommandTest, EditAndRemoveKeepTheStoredPayer) {
  writeFile(list, "Alfa;1\r\nBeta;2\r\nGama;3\r\n");
  writeFile(settings, "[NUSTATYMAI]\r\nasmuo=0\r\n");
  // The stored payer renamed so that it sorts last: the mark goes with it.
  const Result edited = run({"payers", "edit", "0", "Zeta", "11"});
  EXPECT_EQ(edited.status, 0) << edited.err;
  EXPECT_EQ(edited.out, "  0\tBeta\t2\n  1\tGama\t3\n* 2\tZeta\t11\n");
  EXPECT_EQ(readFile(list), "Beta;2\r\nGama;3\r\nZeta;11\r\n");

  const Result removed = run({"payers", "remove", "0"});
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(removed.out, "  0\tGama\t3\n* 1\tZeta\t11\n");

  const Result storedRemoved = run({"payers", "remove", "1"});
  EXPECT_EQ(storedRemoved.status, 0) << storedRemoved.err;
  EXPECT_EQ(storedRemoved.out, "  0\tGama\t3\n");
  EXPECT_EQ(readFile(settings), "[NUSTATYMAI]\r\nasmuo=-1\r\n");
}

TEST_F(PayersCommandTest, MistakesAreReportedAndChangeNothing) {
  writeFile(list, "Alfa;1\r\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string inErr;
  };
  const Case cases[] = {
      {{"payers", "select", "1"}, 1, "mokėtojų sąraše nėra pozicijos 1 (įrašų: 1;"},
      {{"payers", "select", "x"}, 2, "pozicija \"x\" turi būti skaičius"},
      {{"payers", "select", "-2"}, 2, "pozicija \"-2\" turi būti skaičius"},
      {{"payers", "remove", "x"}, 2, "pozicija \"x\" turi būti skaičius"},
      {{"payers", "add", "", "2"}, 2, "mokėtojo pavadinimas tuščias"},
      {{"payers", "add", std::string(46, 'A'), "2"}, 2, "ilgesnis nei 45 ženklai (46)"},
      {{"payers", "add", "Beta", ""}, 2, "mokėtojo kodas tuščias"},
      {{"payers", "add", "Beta", "LT123"}, 2, "gali būti tik skaitmenys"},
      {{"payers", "add", "Beta", "123456789012"}, 2, "ilgesnis nei 11 skaitmenų"},
      {{"payers", "select"}, 2, "select reikia vienos pozicijos"},
      {{"payers", "add", "Beta"}, 2, "add reikia pavadinimo ir kodo"},
      {{"payers", "add", "Beta\nGama", "2"}, 2, "mokėtojo pavadinime negali būti eilutės lūžio"},
      {{"payers", "add", "Beta", "2\r3"}, 2, "mokėtojo kode negali būti eilutės lūžio"},
      {{"payers", "add", "Beta;Gama", "2"}, 2, "pavadinime negali būti kabliataškio (;)"},
      {{"payers", "add", "Beta\tGama", "2"}, 2, "pavadinime negali būti valdymo ženklų"},
      {{"payers", "edit", "0", "Beta;", "2"}, 2, "pavadinime negali būti kabliataškio (;)"},
      {{"payers", "edit", "0", "Beta"}, 2, "edit reikia pozicijos, pavadinimo ir kodo"},
      {{"payers", "edit", "1", "Beta", "2"}, 1, "mokėtojų sąraše nėra pozicijos 1 (įrašų: 1)"},
      {{"payers", "edit", "-1", "Beta", "2"}, 2, "pozicija \"-1\" turi būti skaičius"},
      {{"payers", "remove", "1"}, 1, "mokėtojų sąraše nėra pozicijos 1 (įrašų: 1)"},
      {{"payers", "remove"}, 2, "remove reikia vienos pozicijos"},
      {{"payers", "drop", "1"}, 2, "nežinomas veiksmas \"drop\""},
      {{"payers", "--colour"}, 2, "nežinoma parinktis --colour"},
      {{"payers", "add", "A", "1", "2"}, 2, ""},
      // The list is in Windows-1257, which has no Cyrillic letters: "?" would stand for them.
      {{"payers", "add", "Жук", "3"},
       2,
       "kvd507: Nepavyko įrašyti failo asmenys.txt: mokėtojų sąrašo koduotėje (Windows-1257) tokių "
       "ženklų nėra: \"Ж\", \"у\", \"к\"\n"},
      // A code is digits only, before any question of the list's encoding.
      {{"payers", "edit", "0", "Alfa", "1€Ж"}, 2, "gali būti tik skaitmenys"},
      {{"payers", "edit", "0", "A", "1", "2"}, 2, ""},
  };
  for (const Case& c : cases) {
    const Result r = run(c.arguments);
    EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.arguments);
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
  }
  EXPECT_EQ(readFile(list), "Alfa;1\r\n");
  EXPECT_FALSE(std::filesystem::exists(settings));

  // A mistyped folder is a mistake, not an empty list.
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"payers"}, std::vector<std::string>{"payers", "add", "B", "2"}}) {
    std::vector<std::string> arguments = words;
    arguments.insert(arguments.end(), {"--folder", (dir / "nėra").string()});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCommandLine(arguments, out, err), 1) << testing::PrintToString(words);
    EXPECT_NE(err.str().find("aplanko \"" + (dir / "nėra").string() + "\" nėra"), std::string::npos)
        << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir / "nėra"));
  }
}

// A UTF-8 list with a line in Windows-1257 is read line by line; the listing says which lines
// were read in the code page, and the next change stores them in UTF-8.
TEST_F(PayersCommandTest, LinesReadInTheCodePageAreNamed) {
  writeFile(list, "Alfa;1\r\n\xC0\xDEUOLAS;2\r\nŽaibas;3\r\n");
  const Result listed = run({"payers"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, "* 0\tAlfa\t1\n  1\tĄŽUOLAS\t2\n  2\tŽaibas\t3\n");
  EXPECT_EQ(listed.err,
            "kvd507: pastaba: asmenys.txt eilutė 2 ne UTF-8, perskaityta kaip Windows-1257; "
            "pakeitus sąrašą ji bus įrašyta UTF-8\n");
  EXPECT_EQ(run({"payers", "add", "Жук", "4"}).status, 0);
  EXPECT_EQ(readFile(list), "Alfa;1\r\nĄŽUOLAS;2\r\nŽaibas;3\r\nЖук;4\r\n");
  EXPECT_EQ(run({"payers"}).err, "");
}

TEST_F(PayersCommandTest, AnUnreadableListIsReportedInLithuanian) {
  std::filesystem::create_directory(list);
  const Result r = run({"payers"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "kvd507: Nepavyko perskaityti failo asmenys.txt: tai ne paprastas failas, o aplankas, "
            "kanalas ar įrenginys\n");
}

TEST_F(PayersCommandTest, ConvertTakesTheStoredPayerCountingOnlyPayerLines) {
  // Windows-1257, with an empty line above the stored position: the selector skips it, so the
  // stored 1 is Šaras, not the empty line.
  writeFile(list,
            "Alfa;1\r\n\r\n\xD0"
            "aras;302\r\n");
  writeFile(settings, "[NUSTATYMAI]\r\nasmuo=1\r\n");
  test::MemoryWorkbook book;
  book.sheet("KVD507 L").sheet("KVD507 U");
  book.text("KVD507 L", 6, 2, "vardas").number("KVD507 L", 6, 8, 12.5).text("KVD507 L", 6, 9, "5");
  book.saveXlsx(dir / "a.xlsx");

  const Result r = run({"convert", (dir / "a.xlsx").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string declaration = readFile(dir / "formos" / "KVD507.ffdata");
  EXPECT_NE(declaration.find("<Field Name=\"B_MM_ID\">302</Field>"), std::string::npos);
  EXPECT_NE(declaration.find("<Field Name=\"B_MM_Pavad\">ŠARAS</Field>"), std::string::npos);
}

}  // namespace
}  // namespace kvd507::cli
