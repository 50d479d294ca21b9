#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "payers/SettingsError.h"
#include "payers/SettingsFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace kvd507::payers {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

class SettingsFileTest : public testing::Test {
 protected:
  TempDir dir_;
  SettingsFile settings_{dir_ / "_nustatymai.ini"};
};

struct ReadCase {
  const char* what;
  std::string contents;
  std::string value;
};

TEST_F(SettingsFileTest, ReadsLikeThePrivateProfileService) {
  const ReadCase cases[] = {
      {"plain", "[NUSTATYMAI]\r\nasmuo=3\r\n", "3"},
      {"names in another case", "[nustatymai]\r\nASMUO=3\r\n", "3"},
      {"spaces around everything", "  [ NUSTATYMAI ]  \r\n  asmuo  =  3  \r\n", "3"},
      {"tabs around the value", "[NUSTATYMAI]\nasmuo=\t-1\t\n", "-1"},
      {"empty value", "[NUSTATYMAI]\r\nasmuo=\r\n", ""},
      {"no final break", "[NUSTATYMAI]\r\nasmuo=7", "7"},
      {"lone CR", "[NUSTATYMAI]\rasmuo=7\r", "7"},
      {"among others", "[KITA]\r\nasmuo=9\r\n[NUSTATYMAI]\r\nkitas=1\r\nasmuo=4\r\n[PASKUI]\r\n",
       "4"},
      {"first key wins", "[NUSTATYMAI]\r\nasmuo=1\r\nasmuo=2\r\n", "1"},
      {"UTF-8 mark before the section", "\xEF\xBB\xBF[NUSTATYMAI]\r\nasmuo=5\r\n", "5"},
      {"key in another section only", "[KITA]\r\nasmuo=9\r\n", "default"},
      {"key before any section", "asmuo=9\r\n[NUSTATYMAI]\r\n", "default"},
      {"no such key", "[NUSTATYMAI]\r\nasmenys=2\r\n", "default"},
      {"empty file", "", "default"},
  };
  for (const ReadCase& c : cases) {
    writeFile(settings_.file(), c.contents);
    EXPECT_EQ(settings_.read("NUSTATYMAI", "asmuo", "default"), c.value) << c.what;
  }
}

TEST_F(SettingsFileTest, AMissingFileGivesTheDefault) {
  EXPECT_EQ(settings_.read("NUSTATYMAI", "asmuo", "default"), "default");
  EXPECT_FALSE(std::filesystem::exists(settings_.file()));
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsAnError) {
  std::filesystem::create_directory(settings_.file());
  EXPECT_THROW(settings_.read("NUSTATYMAI", "asmuo", ""), SettingsError);
  EXPECT_THROW(settings_.write("NUSTATYMAI", "asmuo", "1"), SettingsError);
}

struct WriteCase {
  const char* what;
  std::string before;  // "-" for no file
  std::string after;
};

TEST_F(SettingsFileTest, WritesTheKeyAndKeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"missing file", "-", "[NUSTATYMAI]\r\nasmuo=2\r\n"},
      {"empty file", "", "[NUSTATYMAI]\r\nasmuo=2\r\n"},
      {"key replaced", "[NUSTATYMAI]\r\nasmuo=0\r\n", "[NUSTATYMAI]\r\nasmuo=2\r\n"},
      {"key in another case", "[nustatymai]\nAsmuo = 0\n", "[nustatymai]\nasmuo=2\n"},
      {"other sections and keys kept",
       "; komentaras\r\n[KITA]\r\nasmuo=9\r\n\r\n[NUSTATYMAI]\r\nkitas=1\r\nasmuo=0\r\n",
       "; komentaras\r\n[KITA]\r\nasmuo=9\r\n\r\n[NUSTATYMAI]\r\nkitas=1\r\nasmuo=2\r\n"},
      {"key added before the blank line", "[NUSTATYMAI]\nkitas=1\n\n[KITA]\nx=1\n",
       "[NUSTATYMAI]\nkitas=1\nasmuo=2\n\n[KITA]\nx=1\n"},
      {"key added to an empty section", "[NUSTATYMAI]", "[NUSTATYMAI]\r\nasmuo=2\r\n"},
      {"section added", "[KITA]\r\nx=1", "[KITA]\r\nx=1\r\n[NUSTATYMAI]\r\nasmuo=2\r\n"},
  };
  for (const WriteCase& c : cases) {
    std::filesystem::remove(settings_.file());
    if (c.before != "-") writeFile(settings_.file(), c.before);
    settings_.write("NUSTATYMAI", "asmuo", "2");
    EXPECT_EQ(readFile(settings_.file()), c.after) << c.what;
    EXPECT_EQ(settings_.read("NUSTATYMAI", "asmuo", ""), "2") << c.what;
  }
}

// A pipe in place of the settings file is refused, never waited on.
TEST_F(SettingsFileTest, APipeIsRefused) {
  ASSERT_EQ(::mkfifo(settings_.file().c_str(), 0600), 0);
  for (const auto& action :
       {std::function<void()>([&] { settings_.read("NUSTATYMAI", "asmuo", ""); }),
        std::function<void()>([&] { settings_.write("NUSTATYMAI", "asmuo", "1"); })}) {
    try {
      action();
      ADD_FAILURE() << "a pipe was taken";
    } catch (const SettingsError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kNotRegularFile);
    }
  }
}

// A settings file holds one key: one of megabytes is not ours, and is neither read nor replaced.
TEST_F(SettingsFileTest, AFileFarTooLargeIsRefused) {
  const std::string huge(kLargestSettingsFile + 1, '\n');
  writeFile(settings_.file(), huge);
  for (const auto& action :
       {std::function<void()>([&] { settings_.read("NUSTATYMAI", "asmuo", ""); }),
        std::function<void()>([&] { settings_.write("NUSTATYMAI", "asmuo", "1"); })}) {
    try {
      action();
      ADD_FAILURE() << "a file of over a megabyte was taken";
    } catch (const SettingsError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kFileTooLarge);
      EXPECT_EQ(e.limit(), kLargestSettingsFile);
      EXPECT_EQ(e.file(), settings_.file().string());
    }
  }
  EXPECT_EQ(readFile(settings_.file()), huge);
}

// The new settings are written half-way and then the disk is full, here at the file size limit.
TEST_F(SettingsFileTest, AFailedWriteIsReportedAndKeepsTheOldValue) {
  writeFile(settings_.file(), "[NUSTATYMAI]\r\nasmuo=1\r\n");
  try {
    const test::FileSizeLimit limit(4);
    settings_.write("NUSTATYMAI", "asmuo", "2");
    ADD_FAILURE() << "a write beyond the size limit succeeded";
  } catch (const SettingsError& e) {
    EXPECT_EQ(e.file(), settings_.file().string());
    EXPECT_EQ(e.headline(), "Nepavyko įrašyti failo _nustatymai.ini: failas per didelis");
  }
  EXPECT_EQ(readFile(settings_.file()), "[NUSTATYMAI]\r\nasmuo=1\r\n");
  EXPECT_EQ(test::namesIn(dir_.path()), std::vector<std::string>{"_nustatymai.ini"});
}

}  // namespace
}  // namespace kvd507::payers
