#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "payers/PayerFile.h"
#include "payers/PayerFileError.h"
#include "payers/PayerRegistry.h"
#include "support/FileSizeLimit.h"
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
  EXPECT_EQ(readBytes("").lines(), Lines{});
}

TEST_F(PayerFileTest, EmptyLinesAreLeftOutSoPositionsCountPayers) {
  const PayerFile file = readBytes("\r\nAlfa;1\r\n\r\n\nBeta;2\r\n\r\n");
  EXPECT_EQ(file.lines(), (Lines{"Alfa;1", "Beta;2"}));
  EXPECT_EQ(file.payers(), (std::vector<Payer>{{"Alfa", "1"}, {"Beta", "2"}}));
  // A line of spaces is a name, not an empty line.
  EXPECT_EQ(readBytes(" \r\nAlfa;1\r\n").payers(),
            (std::vector<Payer>{{" ", std::nullopt}, {"Alfa", "1"}}));
}

TEST_F(PayerFileTest, PayersInFileOrder) {
  EXPECT_EQ(readBytes("Gama;3\r\nAlfa\r\nBeta;;2\r\n").payers(),
            (std::vector<Payer>{{"Gama", "3"}, {"Alfa", std::nullopt}, {"Beta", ""}}));
}

TEST_F(PayerFileTest, AMissingFileIsAnErrorNamingIt) {
  try {
    PayerFile::read(list_);
    FAIL() << "a missing file read";
  } catch (const PayerFileError& e) {
    EXPECT_EQ(e.file(), list_.string());
    EXPECT_EQ(e.headline(), "Nepavyko perskaityti failo asmenys.txt: tokio failo ar aplanko nėra");
  }
}

// A folder or a pipe in place of the list is refused, never waited on.
TEST_F(PayerFileTest, WhatIsNoRegularFileIsRefused) {
  const auto pipe = dir_ / "pipe.txt";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_directory(list_);
  for (const auto& file : {list_, pipe}) {
    try {
      PayerFile::read(file);
      ADD_FAILURE() << "took " << file;
    } catch (const PayerFileError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kNotRegularFile);
      EXPECT_EQ(e.file(), file.string());
    }
  }
  // An addition reads the list first, and stops there.
  try {
    PayerRegistry(dir_.path()).add("A", "1");
    ADD_FAILURE() << "added to a folder";
  } catch (const PayerFileError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kNotRegularFile);
  }
}

// A payer list is a few dozen lines; a file of megabytes (of line feeds, say) would cost
// gigabytes as lines, and is refused whether it is read or added to.
TEST_F(PayerFileTest, AFileFarTooLargeIsRefused) {
  const std::string huge(kLargestPayerFile + 1, '\n');
  writeFile(list_, huge);
  for (const auto& action :
       {std::function<void()>([&] { PayerFile::read(list_); }),
        std::function<void()>([&] { PayerRegistry(dir_.path()).add("A", "1"); })}) {
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

// The new list is written half-way and then the disk is full, here at the file size limit.
TEST_F(PayerFileTest, AFailedWriteLeavesTheOldListAndNoLeftovers) {
  writeFile(list_, "Alfa;1\r\n");
  {
    const test::FileSizeLimit limit(4);
    EXPECT_THROW(writePayerFile(list_, {"Beta;2"}, TextEncoding::Ansi), PayerFileError);
  }
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

}  // namespace
}  // namespace kvd507::payers
