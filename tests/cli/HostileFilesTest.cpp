// Hostile files met by the built `kvd507`: outputs that are pipes, devices, folders or the
// command's own input, reached directly or through links; payer changes stopped half way by a
// read-only file, a file size limit or a kill between the two files they write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/KvdProcess.h"

namespace kvd507 {
namespace {

using testing::HasSubstr;

const std::string kNotRegular = "tai ne paprastas failas, o aplankas, kanalas ar įrenginys";
const std::string kIsInput =
    "tai tas pats failas, kurį ši komanda skaito, todėl jis nepakeistas; įrašykite kitu vardu";

class HostileFilesTest : public ExecutableTest {
 protected:
  // What is at `path`, so that a test can tell it was left alone: its kind and, for a regular
  // file, its bytes.
  static std::string what(const fs::path& path) {
    const fs::file_status status = fs::symlink_status(path);
    if (fs::is_symlink(status)) return "link to " + fs::read_symlink(path).string();
    if (fs::is_fifo(status)) return "pipe";
    if (fs::is_character_file(status)) return "device";
    if (fs::is_directory(status)) return "folder";
    return readFile(path);
  }
};

// No output replaces anything but a regular file, nor the file the same command reads.
TEST_F(HostileFilesTest, OutputsReplaceOnlyRegularFilesThatAreNoInput) {
  const std::string book = workbook("a.xlsx", 1);
  const std::string folder = dir.path().string();
  ASSERT_EQ(run({"convert", book, "--folder", folder, "--payer-code", "1", "--output",
                 (dir / "d.ffdata").string()})
                .status,
            0);
  const std::string existing = (dir / "d.ffdata").string();
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink("pipe", dir / "link to pipe");
  fs::create_directory(dir / "folder");
  // A device like /dev/null, where the system lets a test make one; never the system's own.
  const bool device = ::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_directories(dir / "formos");
  fs::create_symlink("../pipe", declaration);

  struct Case {
    std::vector<std::string> arguments;
    fs::path untouched;
    std::string err;
  };
  std::vector<Case> cases = {
      {{"convert", book, "--folder", folder, "--output", (dir / "pipe").string()},
       dir / "pipe",
       "kvd507: Nepavyko įrašyti formos " + (dir / "pipe").string() + ": " + kNotRegular},
      {{"convert", book, "--folder", folder, "--output", (dir / "link to pipe").string()},
       dir / "pipe",
       "kvd507: Nepavyko įrašyti formos " + (dir / "link to pipe").string() + ": " + kNotRegular},
      {{"convert", book, "--folder", folder, "--output", (dir / "folder").string()},
       dir / "folder",
       "kvd507: Nepavyko įrašyti formos " + (dir / "folder").string() + ": " + kNotRegular},
      // The default output, formos/KVD507.ffdata, is a link to the pipe.
      {{"convert", book, "--folder", folder},
       dir / "pipe",
       "kvd507: Nepavyko įrašyti formos " + declaration.string() + ": " + kNotRegular},
      {{"convert", book, "--folder", folder, "--output", book},
       book,
       "kvd507: Nepavyko įrašyti formos " + book + ": " + kIsInput},
      {{"show", existing, "--pdf", existing},
       existing,
       "kvd507: Nepavyko įrašyti PDF: failas \"" + existing + "\": " + kIsInput},
      {{"show", existing, "--pdf", (dir / "link to pipe").string()},
       dir / "pipe",
       "kvd507: Nepavyko įrašyti PDF: failas \"" + (dir / "link to pipe").string() +
           "\": " + kNotRegular},
  };
  if (device) {
    cases.push_back(
        {{"convert", book, "--folder", folder, "--output", (dir / "null").string()},
         dir / "null",
         "kvd507: Nepavyko įrašyti formos " + (dir / "null").string() + ": " + kNotRegular});
    cases.push_back({{"show", existing, "--pdf", (dir / "null").string()},
                     dir / "null",
                     "kvd507: Nepavyko įrašyti PDF: failas \"" + (dir / "null").string() +
                         "\": " + kNotRegular});
  }
  for (const Case& c : cases) {
    const std::string before = what(c.untouched);
    const Result r = run(c.arguments);
    EXPECT_EQ(r.status, 1) << testing::PrintToString(c.arguments);
    EXPECT_THAT(r.err, HasSubstr(c.err + "\n")) << testing::PrintToString(c.arguments);
    EXPECT_EQ(what(c.untouched), before) << testing::PrintToString(c.arguments);
  }
  EXPECT_EQ(what(dir / "link to pipe"), "link to pipe");
  // A declaration extended may be replaced by the one that extends it: it was read whole, and
  // the new one holds all of it.
  const Result extended =
      run({"convert", book, "--folder", folder, "--append", existing, "--output", existing});
  EXPECT_EQ(extended.status, 0) << extended.err;
  EXPECT_EQ(what(declaration), "link to ../pipe");
}

// The PDF's own failures are told in Lithuanian, as every other file's are.
TEST_F(HostileFilesTest, APdfThatCannotBeWrittenSaysWhyInLithuanian) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "ThreadSanitizer's runtime writes a file of its own before main";
#endif
  const std::string book = workbook("a.xlsx", 30);
  const std::string declared = (dir / "d.ffdata").string();
  ASSERT_EQ(run({"convert", book, "--folder", dir.path().string(), "--payer-code", "1", "--output",
                 declared})
                .status,
            0);
  const fs::path pdf = dir / "d.pdf";
  writeFile(pdf, "previous");
  const Result r = run({"show", declared, "--pdf", pdf.string()}, "ulimit -f 1");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "kvd507: Nepavyko įrašyti PDF: failas \"" + pdf.string() + "\": failas per didelis\n");
  EXPECT_EQ(readFile(pdf), "previous");
}

// `kvd507 FILE` alone opens a declaration; a pipe, a link to one or a folder is said to be no
// file it can open, not taken for a mistyped command.
TEST_F(HostileFilesTest, AFileNamedAloneThatIsNoRegularFileIsSaidToBeSo) {
  ASSERT_EQ(::mkfifo((dir / "forma.ffdata").c_str(), 0600), 0);
  fs::create_symlink("forma.ffdata", dir / "nuoroda.ffdata");
  for (const std::string name : {"forma.ffdata", "nuoroda.ffdata", "."}) {
    const fs::path path = dir / name;
    const Result r = run({path.string()});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.err, "kvd507: Nepavyko atverti " + path.string() + ": " + kNotRegular + "\n")
        << name;
  }
  EXPECT_THAT(run({"nėrakomandos"}).err, HasSubstr("nežinoma komanda \"nėrakomandos\""));
}

// The check of a workbook: a personal code of a birth still to come, a cell of thousands of
// characters quoted in part, a lock file that names its user, a process out of descriptors.
TEST_F(HostileFilesTest, TheWorkbookCheckTellsWhatItFindsBriefly) {
  test::MemoryWorkbook book;
  book.sheet("KVD507 L").sheet("KVD507 U");
  // Born 2099-01-01, check digit right.
  book.text("KVD507 L", 6, 2, "Ateities vaikas").text("KVD507 L", 6, 3, "59901010007");
  book.text("KVD507 L", 7, 2, "Ilgas").text("KVD507 L", 7, 3, std::string(5000, '7'));
  for (const int row : {6, 7}) {
    book.number("KVD507 L", row, 8, 10).text("KVD507 L", row, 9, "5");
  }
  book.saveXlsx(dir / "a.xlsx");
  writeFile(dir / ".~lock.a.xlsx#",
            ",ona,kompiuteris,11.12.2026 07:00,file:///home/ona/.config/libreoffice/4;");
  const std::string path = (dir / "a.xlsx").string();

  const Result r = run({"check", path, "--folder", dir.path().string()});
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_THAT(r.err, HasSubstr("eilutė 6, stulpelis C: asmens kodas \"59901010007\": 2–7 "
                               "skaitmenys: gimimo data 2099-01-01 dar neatėjo\n"));
  EXPECT_THAT(r.err, HasSubstr("eilutė 7, stulpelis C: asmens kodas \"" + std::string(60, '7') +
                               "…\": turi būti 11 skaitmenų\n"));
  EXPECT_LT(r.err.size(), 2000u);
  EXPECT_THAT(r.err, HasSubstr("(.~lock.a.xlsx#, atidarė ona)"));

#if !defined(__SANITIZE_ADDRESS__)
  // Descriptors 0 to 2 are taken, the rest closed: the workbook gets the fourth, the archive
  // has none left. (Not under the sanitizers: their runtime needs descriptors of its own to tell
  // an object's type, so the limit would fail it before the program.)
  const Result shortOf =
      run({"check", path, "--folder", dir.path().string()},
          "exec 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&- 10>&- 11>&- 12>&- 13>&- 14>&- "
          "15>&- 16>&- 17>&- 18>&- 19>&-; ulimit -n 4");
  EXPECT_EQ(shortOf.status, 1);
  EXPECT_THAT(shortOf.err, HasSubstr("kvd507: Nepavyko perskaityti failo a.xlsx: per daug "
                                     "atidarytų failų"));
#endif
}

}  // namespace
}  // namespace kvd507
