#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>

#include "runs/DesktopOpener.h"
#include "support/TempDir.h"

namespace kvd507::runs {
namespace {

// Puts a stand-in xdg-open first on PATH that records its argument and exits with `status`.
class FakeXdgOpen {
 public:
  explicit FakeXdgOpen(int status, int seconds = 0) : oldPath_(std::getenv("PATH")) {
    const auto script = dir_ / "xdg-open";
    test::writeFile(script, "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/opened\"\nsleep " +
                                std::to_string(seconds) + "\nexit " + std::to_string(status) +
                                "\n");
    chmod(script.c_str(), 0755);
    setenv("PATH", (dir_.path().string() + ":" + oldPath_).c_str(), 1);
  }
  ~FakeXdgOpen() { setenv("PATH", oldPath_.c_str(), 1); }
  std::string opened() const { return test::readFile(dir_ / "opened"); }

 private:
  test::TempDir dir_;
  std::string oldPath_;
};

TEST(XdgOpener, SucceedsOnlyWhenAHandlerTookTheFile) {
  {
    FakeXdgOpen fake(0);
    EXPECT_TRUE(XdgOpener().open("/tmp/a b.ffdata"));
    EXPECT_EQ(fake.opened(), "/tmp/a b.ffdata\n");
  }
  {
    FakeXdgOpen fake(3);  // xdg-open's "no handler" status
    EXPECT_FALSE(XdgOpener().open("/tmp/x.ffdata"));
  }
}

TEST(XdgOpener, DoesNotWaitForTheOpenedProgram) {
  FakeXdgOpen fake(0, 5);  // like a handler run in the foreground until the user closes it
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(XdgOpener().open("/tmp/a.ffdata"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace kvd507::runs
