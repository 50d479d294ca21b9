#pragma once

// The built `kvd507` started from a shell as a user would, in a program folder of its own; what
// it printed and its exit status come back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/MemoryWorkbook.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace kvd507 {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

using test::Result;
using test::shellWord;

class ExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LC_ALL", "lt_LT.UTF-8", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }

  // Runs kvd507 with `arguments` from a shell, after the shell commands `before` (a ulimit),
  // under the program whose command line is `wrapper` (strace), when one is given.
  Result run(const std::vector<std::string>& arguments, const std::string& before = "",
             const std::string& wrapper = "") {
    const fs::path out = output / "out";
    const fs::path err = output / "err";
    writeFile(out, "");
    std::string command = "exec " + wrapper + " " + shellWord(KVD507_EXECUTABLE);
    for (const std::string& argument : arguments) command += " " + shellWord(argument);
    if (before.empty()) {
      command += " >" + shellWord(out.string()) + " 2>" + shellWord(err.string());
    } else {
      // A file size limit would stop the messages too, were they written into a file: they go
      // through a pipe, and only the program is held to the limit.
      command = "set -o pipefail; (" + before + "; " + command + ") 2>&1 >/dev/null | cat >" +
                shellWord(err.string());
    }
    return {test::runInBash(command), readFile(out), readFile(err)};
  }

  std::string workbook(const std::string& name, int rows) {
    test::MemoryWorkbook book;
    book.sheet("KVD507 L").sheet("KVD507 U");
    for (int i = 0; i < rows; ++i) {
      book.text("KVD507 L", 6 + i, 2, "vardas " + std::to_string(i))
          .text("KVD507 L", 6 + i, 3, std::to_string(i))
          .number("KVD507 L", 6 + i, 8, 12.5)
          .text("KVD507 L", 6 + i, 9, "5");
    }
    book.saveXlsx(dir / name);
    return (dir / name).string();
  }

  TempDir dir;     // the program folder
  TempDir output;  // what the shell caught of kvd507's output
  fs::path list = dir / "asmenys.txt";
  fs::path settings = dir / "_nustatymai.ini";
  fs::path declaration = dir / "formos" / "KVD507.ffdata";
};

}  // namespace kvd507
