// The built `kvd507` as a user, or several users at once, would start it: from a shell, under a
// file size limit, ended by a signal half way, on files marked read-only or reached through
// links. What it leaves on disk is looked at afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/KvdProcess.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"

namespace kvd507 {
namespace {

// Whether the process has a file open in `folder`: the declaration being written there.
bool writesInto(pid_t process, const fs::path& folder) {
  std::error_code error;
  for (const auto& entry :
       fs::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
    const fs::path open = fs::read_symlink(entry.path(), error);
    if (!error && open.string().starts_with(folder.string() + "/")) return true;
  }
  return false;
}

// Ended while the declaration is being written, the program leaves the previous one as it was
// and nothing beside it, and ends as the signal ends it.
TEST_F(ExecutableTest, EndedWhileWritingItLeavesThePreviousDeclarationAndNothingElse) {
  const std::string book = workbook("big.xlsx", 40000);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    fs::create_directories(declaration.parent_path());
    writeFile(declaration, "previous");
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      // As from a terminal: the signals act, whatever the test runner does with them.
      for (const int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
      sigset_t none;
      ::sigemptyset(&none);
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
      ::freopen("/dev/null", "w", stderr);
      ::freopen("/dev/null", "w", stdout);
      ::execl(KVD507_EXECUTABLE, "kvd507", "convert", book.c_str(), "--folder", dir.path().c_str(),
              "--payer-code", "1", "--payer-name", "A", nullptr);
      ::_exit(127);
    }
    bool sent = false;
    int status = 0;
    for (int tries = 0; tries < 60000; ++tries) {
      if (::waitpid(child, &status, WNOHANG) == child) break;
      if (writesInto(child, declaration.parent_path())) {
        ::kill(child, signal);
        sent = true;
        ::waitpid(child, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ASSERT_TRUE(sent) << "the declaration was never seen being written (signal " << signal << ")";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(test::namesIn(declaration.parent_path()), std::vector<std::string>{"KVD507.ffdata"})
        << signal;
    EXPECT_EQ(readFile(declaration), "previous") << signal;
  }
}

// Past a file size limit a write fails with the usual message: the program is not killed by
// SIGXFSZ, and the previous files stay as they were.
TEST_F(ExecutableTest, AFileSizeLimitFailsTheWriteWithTheUsualMessage) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "ThreadSanitizer's runtime writes a file of its own before main, and the limit "
                  "ends the program there";
#endif
  const std::string book = workbook("a.xlsx", 3);
  writeFile(list, "Alfa;1\r\n");
  writeFile(settings, "[NUSTATYMAI]\r\nasmuo=0\r\n");
  fs::create_directories(declaration.parent_path());
  writeFile(declaration, "previous");
  const std::string folder = dir.path().string();
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const Case cases[] = {
      {{"payers", "add", "Beta", "2", "--folder", folder},
       "kvd507: Nepavyko įrašyti failo asmenys.txt: failas per didelis\n"},
      {{"payers", "select", "-1", "--folder", folder},
       "kvd507: Nepavyko įrašyti failo _nustatymai.ini: failas per didelis\n"},
      {{"convert", book, "--folder", folder},
       "kvd507: Nepavyko įrašyti formos " + declaration.string() + ": failas per didelis\n"},
  };
  for (const Case& c : cases) {
    const Result r = run(c.arguments, "ulimit -f 0");
    EXPECT_EQ(r.status, 1) << testing::PrintToString(c.arguments);
    EXPECT_THAT(r.err, testing::HasSubstr(c.err));
  }
  EXPECT_EQ(readFile(list), "Alfa;1\r\n");
  EXPECT_EQ(readFile(settings), "[NUSTATYMAI]\r\nasmuo=0\r\n");
  EXPECT_EQ(readFile(declaration), "previous");
  EXPECT_EQ(test::namesIn(declaration.parent_path()), std::vector<std::string>{"KVD507.ffdata"});
  EXPECT_EQ(test::namesIn(dir.path()),
            (std::vector<std::string>{"._nustatymai.ini.lock", ".asmenys.txt.lock",
                                      "_nustatymai.ini", "a.xlsx", "asmenys.txt", "formos"}));
}

// Many additions at the same moment, as from several windows: each waits for the one before to
// have replaced the list, so that none is lost.
TEST_F(ExecutableTest, AdditionsAtTheSameMomentAreAllKept) {
  constexpr int kProcesses = 24;
  std::vector<pid_t> children;
  for (int i = 0; i < kProcesses; ++i) {
    const std::string name = "Mokėtojas " + std::to_string(100 + i);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      ::freopen("/dev/null", "w", stdout);
      ::execl(KVD507_EXECUTABLE, "kvd507", "payers", "add", name.c_str(), "1", "--folder",
              dir.path().c_str(), nullptr);
      ::_exit(127);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::string expected;
  for (int i = 0; i < kProcesses; ++i)
    expected += "Mok\xEBtojas " + std::to_string(100 + i) + ";1\r\n";
  EXPECT_EQ(readFile(list), expected);
}

// A payer list or settings file marked read-only is left as it is, as a read-only declaration
// is; the tests run as root, whom the mode alone does not stop.
TEST_F(ExecutableTest, ReadOnlyPayerFilesAreNotReplaced) {
  writeFile(list, "Alfa;1\r\nBeta;2\r\n");
  writeFile(settings, "[NUSTATYMAI]\r\nasmuo=0\r\n");
  ASSERT_EQ(::chmod(list.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
  const std::string folder = dir.path().string();
  const std::string readOnly =
      ": failas apsaugotas nuo rašymo (tik skaitymui), todėl jis nepakeistas; nuimkite apsaugą, "
      "kad pakeitimai būtų įrašyti\n";
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const Case cases[] = {
      {{"payers", "add", "Gama", "3", "--folder", folder},
       "kvd507: Nepavyko įrašyti failo asmenys.txt" + readOnly},
      {{"payers", "select", "1", "--folder", folder},
       "kvd507: Nepavyko įrašyti failo _nustatymai.ini" + readOnly},
  };
  for (const Case& c : cases) {
    const Result r = run(c.arguments);
    EXPECT_EQ(r.status, 1) << testing::PrintToString(c.arguments);
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_EQ(readFile(list), "Alfa;1\r\nBeta;2\r\n");
  EXPECT_EQ(readFile(settings), "[NUSTATYMAI]\r\nasmuo=0\r\n");
  EXPECT_EQ(fs::status(list).permissions(), fs::perms(0444));
  EXPECT_EQ(fs::status(settings).permissions(), fs::perms(0444));
}

// A file reached through a symbolic link is replaced where the link leads; the link stays.
TEST_F(ExecutableTest, SymbolicLinksAreWrittenThrough) {
  TempDir shared;
  writeFile(shared / "asmenys.txt", "Alfa;1\r\n");
  fs::create_symlink(shared / "asmenys.txt", list);
  fs::create_directories(dir / "formos");
  fs::create_directories(shared / "formos");
  writeFile(shared / "formos" / "old.ffdata", "previous");
  fs::create_symlink("../../" + shared.path().filename().string() + "/formos/old.ffdata",
                     declaration);
  ASSERT_EQ(readFile(declaration), "previous");

  const Result added = run({"payers", "add", "Beta", "2", "--folder", dir.path().string()});
  EXPECT_EQ(added.status, 0) << added.err;
  const Result converted = run({"convert", workbook("a.xlsx", 1), "--folder", dir.path().string()});
  EXPECT_EQ(converted.status, 0) << converted.err;

  EXPECT_TRUE(fs::is_symlink(list));
  EXPECT_EQ(readFile(shared / "asmenys.txt"), "Alfa;1\r\nBeta;2\r\n");
  EXPECT_TRUE(fs::is_symlink(declaration));
  EXPECT_THAT(readFile(shared / "formos" / "old.ffdata"),
              testing::HasSubstr("<Field Name=\"B_MM_Pavad\">ALFA</Field>"));
  EXPECT_EQ(test::namesIn(shared / "formos"), std::vector<std::string>{"old.ffdata"});
}

// A declaration whose field tag goes on in the next line would lose that field's value.
TEST_F(ExecutableTest, ADeclarationWithASplitFieldTagIsRefusedNamingTheLine) {
  const std::string book = workbook("a.xlsx", 1);
  ASSERT_EQ(run({"convert", book, "--folder", dir.path().string(), "--payer-code", "1"}).status, 0);
  std::string text = readFile(declaration);
  const std::size_t at = text.find("<Field Name=\"L4-1\">");
  ASSERT_NE(at, std::string::npos);
  text.insert(at + 11, "\r\n");
  const std::size_t line =
      static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
  writeFile(dir / "split.ffdata", text);

  const Result r =
      run({"convert", book, "--folder", dir.path().string(), "--append",
           (dir / "split.ffdata").string(), "--output", (dir / "new.ffdata").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err,
              testing::StartsWith("kvd507: Nepavyko perskaityti formos split.ffdata: eilutė " +
                                  std::to_string(line) +
                                  ": joje lauko žymė <Field ...> perskirta į kelias eilutes"));
  EXPECT_FALSE(fs::exists(dir / "new.ffdata"));
}

// A file name holding a line break is shown as findings show text: the break becomes a space,
// and every message stays one line.
TEST_F(ExecutableTest, FileNamesWithLineBreaksKeepEachMessageOnOneLine) {
  writeFile(dir / "sąrašas\nnr 2.xlsx", "not a workbook");
  const fs::path readOnly = dir / "forma\r\n2.ffdata";
  writeFile(readOnly, "previous");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  const std::string folder = dir.path().string();
  struct Case {
    std::vector<std::string> arguments;
    std::string line;
  };
  const Case cases[] = {
      {{"convert", (dir / "sąrašas\nnr 2.xlsx").string(), "--folder", folder},
       "kvd507: Blogai užpildytas failas sąrašas nr 2.xlsx: "},
      {{"rows", (dir / "sąrašas\nnr 2.xlsx").string()},
       "kvd507: Blogai užpildytas failas sąrašas nr 2.xlsx: "},
      {{"convert", workbook("a.xlsx", 1), "--folder", folder, "--output", readOnly.string()},
       "kvd507: Nepavyko įrašyti formos " + folder + "/forma  2.ffdata: failas apsaugotas"},
  };
  for (const Case& c : cases) {
    const Result r = run(c.arguments);
    EXPECT_EQ(r.status, 1) << testing::PrintToString(c.arguments);
    EXPECT_THAT(r.err, testing::StartsWith(c.line));
    // Each line is a message of its own, starting with the program's name.
    for (std::size_t at = r.err.find('\n'); at + 1 < r.err.size(); at = r.err.find('\n', at + 1)) {
      EXPECT_EQ(r.err.substr(at + 1, 8), "kvd507: ") << r.err;
    }
  }
}

}  // namespace
}  // namespace kvd507
