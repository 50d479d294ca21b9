#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/RemovedOnSignal.h"
#include "support/TempDir.h"

namespace kvd507::files {
namespace {

namespace fs = std::filesystem;

// Where the file system gives temporary files no name, nothing is left to remove; elsewhere the
// named temporary file is removed by the handler. A child process stands for the program: it
// marks names as a writer does, and is ended by the signal.
TEST(RemovedOnSignal, RemoveTheMarkedFilesAndEndTheProgramAsTheSignalDoes) {
  struct Case {
    const char* what;
    int signal;
    bool ignoredAtStart;  // the program was started with the signal ignored (nohup, say)
  };
  const Case cases[] = {
      {"SIGINT", SIGINT, false},
      {"SIGTERM", SIGTERM, false},
      {"SIGHUP", SIGHUP, false},
      {"SIGHUP ignored at start", SIGHUP, true},
  };
  for (const Case& c : cases) {
    test::TempDir folder;
    for (const char* name : {"marked", "unmarked", "other"}) test::writeFile(folder / name, "x");
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      ::signal(c.signal, c.ignoredAtStart ? SIG_IGN : SIG_DFL);
      prepareSignalsForWriting();
      const RemovedOnSignal marked(folder / "marked");
      RemovedOnSignal unmarked(folder / "unmarked");
      unmarked.unmark();
      ::raise(c.signal);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (c.ignoredAtStart) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what;
      EXPECT_EQ(test::namesIn(folder.path()),
                (std::vector<std::string>{"marked", "other", "unmarked"}))
          << c.what;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.what;
      EXPECT_EQ(test::namesIn(folder.path()), (std::vector<std::string>{"other", "unmarked"}))
          << c.what;
    }
  }
}

}  // namespace
}  // namespace kvd507::files
