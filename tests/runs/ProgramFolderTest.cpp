#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "files/IoError.h"
#include "runs/ProgramFolder.h"
#include "support/CaseName.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace kvd507::runs {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Sets an environment variable, or unsets it, for one test; the old value comes back after.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct LayoutCase {
  std::string what;
  std::string executableFolder;  // under the scratch folder
  Program program;
  std::string templates;  // folder made under the scratch folder; "" for none
  std::optional<std::string> root;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
  *out << c.what;
}

class InstalledLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(InstalledLayout, IsKnownByTheExecutablesFolderAndTheTemplates) {
  const LayoutCase& c = GetParam();
  TempDir dir;
  fs::create_directories(dir / c.executableFolder);
  if (!c.templates.empty()) fs::create_directories(dir / c.templates);
  const std::optional<fs::path> root = installedRoot(dir / c.executableFolder, c.program);
  if (c.root) {
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(*root, dir / *c.root);
    EXPECT_EQ(installedTemplates(*root), dir / *c.root / "share/kvd507/sablonas");
  } else {
    EXPECT_EQ(root, std::nullopt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstalledLayout,
    ::testing::Values(LayoutCase{"CommandLineInBin", "usr/bin", Program::kCommandLine,
                                 "usr/share/kvd507/sablonas", "usr"},
                      LayoutCase{"WindowInLibexec", "opt/x/libexec/kvd507", Program::kWindow,
                                 "opt/x/share/kvd507/sablonas", "opt/x"},
                      LayoutCase{"BinWithoutTemplates", "usr/bin", Program::kCommandLine, "",
                                 std::nullopt},
                      LayoutCase{"TemplatesOfAnotherProgram", "usr/bin", Program::kCommandLine,
                                 "usr/share/other/sablonas", std::nullopt},
                      LayoutCase{"BuildFolderWithTemplatesBeside", "build/src/cli",
                                 Program::kCommandLine, "build/src/cli/sablonas", std::nullopt},
                      LayoutCase{"CommandLineOutsideBin", "usr/libexec/kvd507",
                                 Program::kCommandLine, "usr/share/kvd507/sablonas", std::nullopt},
                      LayoutCase{"WindowInBin", "usr/bin", Program::kWindow,
                                 "usr/share/kvd507/sablonas", std::nullopt}),
    test::NamedAfterWhat());

TEST(InstalledLayout, TheWindowProgramIsInLibexec) {
  EXPECT_EQ(installedWindowProgram("/usr"), fs::path("/usr/libexec/kvd507/kvd507-window"));
}

TEST(UserProgramFolder, FollowsXdgDataHomeThenHome) {
  struct Case {
    const char* dataHome;
    const char* home;
    const char* expected;
  };
  for (const Case& c : {Case{"/data", "/home/ona", "/data/kvd507"},
                        Case{nullptr, "/home/ona", "/home/ona/.local/share/kvd507"},
                        Case{"", "/home/ona", "/home/ona/.local/share/kvd507"},
                        // XDG says a relative XDG_DATA_HOME is to be ignored.
                        Case{"data", "/home/ona", "/home/ona/.local/share/kvd507"}}) {
    const ScopedVariable dataHome("XDG_DATA_HOME", c.dataHome);
    const ScopedVariable home("HOME", c.home);
    EXPECT_EQ(userProgramFolder(), fs::path(c.expected)) << (c.dataHome ? c.dataHome : "unset");
  }
}

TEST(UserProgramFolder, WithoutHomeTheUsersEntryGivesIt) {
  const ScopedVariable dataHome("XDG_DATA_HOME", nullptr);
  const ScopedVariable home("HOME", nullptr);
  const fs::path folder = userProgramFolder();
  EXPECT_TRUE(folder.is_absolute()) << folder;
  EXPECT_EQ(folder.filename(), "kvd507");
}

TEST(ProgramFolder, ChosenFolderWinsAndAPortableProgramKeepsItsOwn) {
  const ProgramFolder chosen = programFolder(fs::path("/some/where"), Program::kCommandLine);
  EXPECT_EQ(chosen.path, fs::path("/some/where"));
  EXPECT_EQ(chosen.templates, std::nullopt);
  // The tests run from the build folder, which is no installed tree.
  const ProgramFolder own = programFolder(std::nullopt, Program::kCommandLine);
  EXPECT_EQ(own.path, executableFolder());
  EXPECT_EQ(own.templates, std::nullopt);
}

class PrepareProgramFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(templates);
    test::writeFile(templates / "KVD507.xlsx", "xlsx");
    test::writeFile(templates / "KVD507.ods", "ods");
    // The installed files are the system's: the user's copies must still be writable.
    ::chmod((templates / "KVD507.xlsx").c_str(), 0444);
  }

  TempDir dir;
  fs::path templates = dir / "usr/share/kvd507/sablonas";
  fs::path user = dir / "home/.local/share/kvd507";
};

TEST_F(PrepareProgramFolder, FirstUseCreatesTheFolderWithACopyOfTheTemplates) {
  prepareProgramFolder({user, templates});
  EXPECT_THAT(test::namesIn(user), testing::ElementsAre("sablonas"));
  EXPECT_THAT(test::namesIn(user / "sablonas"), testing::ElementsAre("KVD507.ods", "KVD507.xlsx"));
  EXPECT_EQ(test::readFile(user / "sablonas/KVD507.xlsx"), "xlsx");
  EXPECT_EQ(::access((user / "sablonas/KVD507.xlsx").c_str(), W_OK), 0);
  // Made as any other folder of the user's is, not private to them.
  fs::create_directory(dir / "probe");
  EXPECT_EQ(fs::status(user / "sablonas").permissions(), fs::status(dir / "probe").permissions());
  EXPECT_EQ(test::readFile(templates / "KVD507.xlsx"), "xlsx");
}

TEST_F(PrepareProgramFolder, LaterStartsLeaveTheUsersTemplatesAlone) {
  prepareProgramFolder({user, templates});
  test::writeFile(user / "sablonas/KVD507.xlsx", "filled in");
  fs::remove(user / "sablonas/KVD507.ods");
  prepareProgramFolder({user, templates});
  EXPECT_EQ(test::readFile(user / "sablonas/KVD507.xlsx"), "filled in");
  EXPECT_THAT(test::namesIn(user / "sablonas"), testing::ElementsAre("KVD507.xlsx"));
}

TEST_F(PrepareProgramFolder, AFolderWithoutTemplatesToGiveIsLeftAsItIs) {
  prepareProgramFolder({user, std::nullopt});
  EXPECT_FALSE(fs::exists(user));
}

TEST_F(PrepareProgramFolder, AFailureSaysWhereAndLeavesNothingHalfDone) {
  // A file where the folder should be.
  fs::create_directories(user.parent_path());
  test::writeFile(user, "");
  EXPECT_THROW(prepareProgramFolder({user, templates}), files::IoError);

  // Templates that cannot be copied (the disk takes no more): no sablonas, and no hidden
  // folder they were being copied into, is left behind, so that the next start tries again.
  fs::remove(user);
  {
    const test::FileSizeLimit limit(2);
    try {
      prepareProgramFolder({user, templates});
      ADD_FAILURE() << "no error";
    } catch (const files::IoError& e) {
      EXPECT_THAT(e.file(), testing::StartsWith(templates.string()));
      EXPECT_EQ(e.kind(), ErrorKind::kFileTooLarge);
    }
  }
  EXPECT_TRUE(test::namesIn(user).empty());
  prepareProgramFolder({user, templates});
  EXPECT_THAT(test::namesIn(user / "sablonas"), testing::ElementsAre("KVD507.ods", "KVD507.xlsx"));
}

}  // namespace
}  // namespace kvd507::runs
