#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "payers/PayerFile.h"
#include "payers/PayerFileError.h"
#include "support/TempDir.h"

namespace kvd507::payers {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
using Lines = std::vector<std::string>;

class PayerFileTest : public testing::Test {
 protected:
  PayerFile readBytes(std::string_view bytes) {
    writeFile(list_, bytes);
    return PayerFile::read(list_);
  }

  TempDir dir_;
  std::filesystem::path list_ = dir_ / kPayerFileName;
};

TEST_F(PayerFileTest, ReadsLinesInTheirEncoding) {
  const PayerFile ansi = readBytes(
      "UAB \xDE"
      "aibas;302\r\nJonas Petraitis;38001010000\r\n");
  EXPECT_EQ(ansi.lines(), (Lines{"UAB Žaibas;302", "Jonas Petraitis;38001010000"}));
  EXPECT_EQ(ansi.encoding(), TextEncoding::Ansi);

  const PayerFile utf16 = readBytes(std::string("\xFE\xFF\x00\x41\x00;\x00\x31\x00\r\x00\n", 12));
  EXPECT_EQ(utf16.lines(), (Lines{"A;1"}));
  EXPECT_EQ(utf16.encoding(), TextEncoding::Utf16Be);
  EXPECT_EQ(utf16.file(), list_);
}

TEST_F(PayerFileTest, LineBreaksOfEveryKindInOneFile) {
  EXPECT_EQ(readBytes("A;1\r\nB;2\rC;3\nD;4").lines(), (Lines{"A;1", "B;2", "C;3", "D;4"}));
  EXPECT_EQ(readBytes("A;1\r\n\r\nB;2\r\n").lines(), (Lines{"A;1", "", "B;2"}));
  EXPECT_EQ(readBytes("").lines(), Lines{});
}

TEST_F(PayerFileTest, PayersInFileOrder) {
  EXPECT_EQ(readBytes("Gama;3\r\nAlfa\r\nBeta;;2\r\n").payers(),
            (std::vector<Payer>{{"Gama", "3"}, {"Alfa", std::nullopt}, {"Beta", ""}}));
}

TEST_F(PayerFileTest, AnEmptyLineStopsLoadingAndKeepsThePayersAboveIt) {
  const PayerFile file = readBytes("Alfa;1\r\nBeta;2\r\n\r\nGama;3\r\n");
  try {
    file.payers();
    FAIL() << "an empty line loaded";
  } catch (const EmptyPayerLineError& e) {
    EXPECT_EQ(e.line(), 2u);
    EXPECT_EQ(e.payersBefore(), (std::vector<Payer>{{"Alfa", "1"}, {"Beta", "2"}}));
    EXPECT_EQ(e.file(), list_.string());
    EXPECT_EQ(e.detail(), "List index out of bounds (0)");
  }
}

TEST_F(PayerFileTest, AnEmptyFirstLineLoadsNothing) {
  const PayerFile file = readBytes("\r\nAlfa;1\r\n");
  try {
    file.payers();
    FAIL() << "an empty line loaded";
  } catch (const EmptyPayerLineError& e) {
    EXPECT_EQ(e.line(), 0u);
    EXPECT_TRUE(e.payersBefore().empty());
  }
}

TEST_F(PayerFileTest, AMissingFileIsAnErrorNamingIt) {
  try {
    PayerFile::read(list_);
    FAIL() << "a missing file read";
  } catch (const PayerFileError& e) {
    EXPECT_EQ(e.file(), list_.string());
    EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
  }
}

// A folder or a pipe in place of the list is refused, never waited on.
TEST_F(PayerFileTest, WhatIsNoRegularFileIsRefused) {
  const auto pipe = dir_ / "pipe.txt";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_directory(list_);
  for (const auto& file : {list_, pipe}) {
    for (const auto& action : {std::function<void()>([&] { PayerFile::read(file); }),
                               std::function<void()>([&] { appendPayerLine(file, "A;1"); })}) {
      try {
        action();
        ADD_FAILURE() << "took " << file;
      } catch (const PayerFileError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::kNotRegularFile);
        EXPECT_EQ(e.file(), file.string());
      }
    }
  }
}

// A payer list is a few dozen lines; a file of megabytes (of line feeds, say) would cost
// gigabytes as lines, and is refused whether it is read or appended to.
TEST_F(PayerFileTest, AFileFarTooLargeIsRefused) {
  const std::string huge(kLargestPayerFile + 1, '\n');
  writeFile(list_, huge);
  for (const auto& action : {std::function<void()>([&] { PayerFile::read(list_); }),
                             std::function<void()>([&] { appendPayerLine(list_, "A;1"); })}) {
    try {
      action();
      ADD_FAILURE() << "a list of over a megabyte was taken";
    } catch (const PayerFileError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kFileTooLarge);
      EXPECT_EQ(e.limit(), kLargestPayerFile);
      EXPECT_EQ(e.file(), list_.string());
    }
  }
  EXPECT_EQ(readFile(list_), huge);
}

TEST_F(PayerFileTest, WritesEveryLineWithCrLfAfterTheMark) {
  const Lines lines{"Alfa;1", "Žaibas;2"};
  writePayerFile(list_, lines, TextEncoding::Ansi);
  EXPECT_EQ(readFile(list_),
            "Alfa;1\r\n\xDE"
            "aibas;2\r\n");

  writePayerFile(list_, lines, TextEncoding::Utf8WithMark);
  EXPECT_EQ(readFile(list_),
            "\xEF\xBB\xBF"
            "Alfa;1\r\nŽaibas;2\r\n");

  writePayerFile(list_, lines, TextEncoding::Utf16Le);
  const PayerFile back = PayerFile::read(list_);
  EXPECT_EQ(back.lines(), lines);
  EXPECT_EQ(back.encoding(), TextEncoding::Utf16Le);

  writePayerFile(list_, {}, TextEncoding::Ansi);
  EXPECT_EQ(readFile(list_), "");
}

TEST_F(PayerFileTest, WritingKeepsTheFilesPermissions) {
  writeFile(list_, "Alfa;1\r\n");
  std::filesystem::permissions(list_, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_write |
                                          std::filesystem::perms::group_read);
  writePayerFile(list_, {"Beta;2"}, TextEncoding::Ansi);
  EXPECT_EQ(std::filesystem::status(list_).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}

TEST_F(PayerFileTest, AFailedWriteLeavesTheOldListAndNoLeftovers) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  writeFile(list_, "Alfa;1\r\n");
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_THROW(writePayerFile(list_, {"Beta;2"}, TextEncoding::Ansi), PayerFileError);
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(readFile(list_), "Alfa;1\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(PayerFileTest, AFailedReplaceLeavesNoTemporaryFile) {
  // Renaming over a folder fails after the new contents were written beside it.
  std::filesystem::create_directory(list_);
  writeFile(list_ / "keep", "");
  EXPECT_THROW(writePayerFile(list_, {"Beta;2"}, TextEncoding::Ansi), PayerFileError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

struct AppendCase {
  const char* what;
  std::string before;  // "-" for no file
  std::string line;
  std::string after;
};

TEST_F(PayerFileTest, AppendsInTheEncodingTheFileAlreadyHas) {
  const AppendCase cases[] = {
      {"missing file", "-", "Žaibas;1",
       "\xDE"
       "aibas;1\r\n"},
      {"empty file", "", "Alfa;1", "Alfa;1\r\n"},
      {"ANSI file", "Alfa;1\r\n", "Žaibas;2",
       "Alfa;1\r\n\xDE"
       "aibas;2\r\n"},
      {"outside the code page", "", "Жук;3", "???;3\r\n"},
      {"no final break", "Alfa;1", "Beta;2", "Alfa;1\r\nBeta;2\r\n"},
      {"final lone LF", "Alfa;1\n", "Beta;2", "Alfa;1\nBeta;2\r\n"},
      {"UTF-8 mark",
       "\xEF\xBB\xBF"
       "Alfa;1\r\n",
       "Жук;3",
       "\xEF\xBB\xBF"
       "Alfa;1\r\nЖук;3\r\n"},
      {"unmarked UTF-8", "Žaibas;1\r\n", "Жук;3", "Žaibas;1\r\nЖук;3\r\n"},
      {"UTF-16LE mark alone", "\xFF\xFE", "A;1",
       std::string("\xFF\xFE"
                   "A\0;\0"
                   "1\0\r\0\n\0",
                   12)},
  };
  for (const AppendCase& c : cases) {
    std::filesystem::remove(list_);
    if (c.before != "-") writeFile(list_, c.before);
    appendPayerLine(list_, c.line);
    EXPECT_EQ(readFile(list_), c.after) << c.what;
  }
}

}  // namespace
}  // namespace kvd507::payers
