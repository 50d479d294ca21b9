#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "SampleDeclarations.h"
#include "declaration/DeclarationError.h"
#include "declaration/DeclarationWriter.h"
#include "support/CaseName.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace kvd507::declaration {
namespace {

namespace fs = std::filesystem;

TEST(SaveDeclaration, ReplacesThePreviousFileWithExactlyTheBytes) {
  test::TempDir folder;
  const fs::path file = folder / "KVD507.ffdata";
  test::writeFile(file, std::string(10000, 'x'));
  const std::string bytes("\xEF\xBB\xBF<a/>\r\n\0z", 10);

  saveDeclaration(file, bytes);

  EXPECT_EQ(test::readFile(file), bytes);
  EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"KVD507.ffdata"});
}

TEST(SaveDeclaration, CreatesTheMissingFolder) {
  test::TempDir folder;
  const fs::path file = folder / "formos" / "KVD507.ffdata";
  saveDeclaration(file, "text");
  EXPECT_EQ(test::readFile(file), "text");
}

TEST(SaveDeclaration, GivesTheFileTheModeTheUmaskAllows) {
  test::TempDir folder;
  const mode_t previous = ::umask(027);
  saveDeclaration(folder / "KVD507.ffdata", "text");
  ::umask(previous);
  struct stat status {};
  ASSERT_EQ(::stat((folder / "KVD507.ffdata").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
}

struct ModeCase {
  mode_t mode;
  bool replaced;
};

// "mode_0604", as ls shows it.
std::string modeName(const ModeCase& c) {
  std::array<char, 16> octal{};
  std::snprintf(octal.data(), octal.size(), "mode_%04o", static_cast<unsigned>(c.mode));
  return octal.data();
}

void PrintTo(const ModeCase& c, std::ostream* out) {
  *out << modeName(c);
}

class ExistingModeTest : public testing::TestWithParam<ModeCase> {};

// A replaced file keeps its mode whatever the umask; one that nobody may write is refused
// (tests run as root, who could write to it anyway) and stays as it was.
TEST_P(ExistingModeTest, KeepsTheModeOrRefusesAReadOnlyFile) {
  test::TempDir folder;
  const fs::path file = folder / "KVD507.ffdata";
  test::writeFile(file, "previous");
  ASSERT_EQ(::chmod(file.c_str(), GetParam().mode), 0);

  const mode_t previousMask = ::umask(027);
  bool refused = false;
  try {
    saveDeclaration(file, "new");
  } catch (const DeclarationError& error) {
    refused = true;
    EXPECT_EQ(error.file(), file.string());
    EXPECT_EQ(error.kind(), ErrorKind::kReadOnlyFile);
    EXPECT_THAT(error.cause(), testing::HasSubstr("apsaugotas nuo rašymo"));
  }
  ::umask(previousMask);

  EXPECT_EQ(refused, !GetParam().replaced);
  EXPECT_EQ(test::readFile(file), GetParam().replaced ? "new" : "previous");
  struct stat status {};
  ASSERT_EQ(::stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, GetParam().mode);
  EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"KVD507.ffdata"});
}

INSTANTIATE_TEST_SUITE_P(Modes, ExistingModeTest,
                         testing::Values(ModeCase{0666, true}, ModeCase{0604, true},
                                         ModeCase{0600, true}, ModeCase{0200, true},
                                         ModeCase{0444, false}, ModeCase{0400, false},
                                         ModeCase{0, false}),
                         [](const testing::TestParamInfo<ModeCase>& test) {
                           return modeName(test.param);
                         });

struct Failure {
  const char* what;
  std::string target;  // relative to the test folder
  std::string blamed;  // what the error names, relative to the test folder
  std::string cause;
  ErrorKind kind;
};

void PrintTo(const Failure& c, std::ostream* out) {
  *out << c.what;
}

class SaveFailureTest : public testing::TestWithParam<Failure> {};

// Tests run as root, so permissions cannot make a folder unwritable; a regular file where a
// folder should be, or a folder where the file should be, fails for anyone.
TEST_P(SaveFailureTest, ThrowsAndLeavesNothingBehind) {
  const Failure& f = GetParam();
  test::TempDir folder;
  test::writeFile(folder / "plain", "previous");
  fs::create_directories(folder / "KVD507.ffdata" / "inside");

  try {
    saveDeclaration(folder / f.target, "new text");
    FAIL() << "no error";
  } catch (const DeclarationError& error) {
    EXPECT_EQ(error.file(), (folder / f.blamed).string());
    EXPECT_THAT(error.detail(), testing::HasSubstr(f.cause));
    EXPECT_EQ(error.kind(), f.kind);
  }
  EXPECT_EQ(test::namesIn(folder.path()), (std::vector<std::string>{"KVD507.ffdata", "plain"}));
  EXPECT_EQ(test::readFile(folder / "plain"), "previous");
  EXPECT_EQ(test::namesIn(folder / "KVD507.ffdata"), std::vector<std::string>{"inside"});
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveFailureTest,
    testing::Values(Failure{"folder_is_a_file", "plain/KVD507.ffdata", "plain", "Not a directory",
                            ErrorKind::kNotAFolder},
                    Failure{"two_folders_missing", "a/b/KVD507.ffdata", "a/b",
                            "No such file or directory", ErrorKind::kFileMissing},
                    Failure{"target_is_a_folder", "KVD507.ffdata", "KVD507.ffdata",
                            "not a regular file", ErrorKind::kNotRegularFile}),
    test::NamedAfterWhat());

// A write that fails half way, here at the file size limit, must not cost the previous file.
// Whole or streamed, a declaration the disk refuses leaves the previous one.
TEST(SaveDeclaration, AFailedWriteKeepsThePreviousFile) {
  struct Case {
    const char* what;
    void (*save)(const fs::path& file);
  };
  const Case cases[] = {
      {"whole", [](const fs::path& file) { saveDeclaration(file, std::string(100000, 'x')); }},
      {"streamed",
       [](const fs::path& file) {
         test::RecordingHost host("123", "UAB", "2023");
         saveDeclaration(file, test::numberedLRows(3000), {}, host.header({}), host);
       }},
  };
  for (const Case& c : cases) {
    test::TempDir folder;
    const fs::path file = folder / "KVD507.ffdata";
    test::writeFile(file, "previous");

    bool threw = false;
    {
      const test::FileSizeLimit limit(4096);
      try {
        c.save(file);
      } catch (const DeclarationError& error) {
        threw = true;
        EXPECT_EQ(error.kind(), ErrorKind::kFileTooLarge) << c.what;
        EXPECT_THAT(error.detail(), testing::HasSubstr("File too large")) << c.what;
      }
    }

    EXPECT_TRUE(threw) << c.what;
    EXPECT_EQ(test::readFile(file), "previous") << c.what;
    EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"KVD507.ffdata"}) << c.what;
  }
}

// Streamed straight into the file, in many pieces, the bytes are those built whole.
TEST(SaveDeclaration, StreamsTheSameBytesAsBuiltWhole) {
  test::TempDir folder;
  const fs::path file = folder / "KVD507.ffdata";
  test::writeFile(file, "previous");
  const rows::RowTable lRows = test::numberedLRows(3000);
  const rows::RowTable uRows = test::numberedURows(7);
  test::RecordingHost builtHost("123", "UAB", "2023");
  const std::string built = buildDeclaration(lRows, uRows, builtHost.header({}), builtHost);

  test::RecordingHost savedHost("123", "UAB", "2023");
  saveDeclaration(file, lRows, uRows, savedHost.header({}), savedHost);

  EXPECT_EQ(test::readFile(file), built);
  EXPECT_EQ(savedHost.calls, builtHost.calls);
  EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"KVD507.ffdata"});
}

// Whatever stops the writing half way, the previous file stays and the part written goes.
TEST(SaveDeclaration, AStreamedSaveThatFailsHalfWayKeepsThePreviousFile) {
  class FailingHost : public test::RecordingHost {
   public:
    FailingHost() : RecordingHost("123", "UAB", "2023") {}
    void stepProgress() override {
      if (++steps == 2000) throw std::runtime_error("cancelled");
    }
    int steps = 0;
  };
  test::TempDir folder;
  const fs::path file = folder / "KVD507.ffdata";
  test::writeFile(file, "previous");
  FailingHost host;

  EXPECT_THROW(saveDeclaration(file, test::numberedLRows(3000), {}, host.header({}), host),
               std::runtime_error);

  EXPECT_EQ(test::readFile(file), "previous");
  EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"KVD507.ffdata"});
}

}  // namespace
}  // namespace kvd507::declaration
