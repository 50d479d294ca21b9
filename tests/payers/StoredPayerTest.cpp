#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "payers/PayerFile.h"
#include "payers/PayerFileError.h"
#include "payers/StoredPayer.h"
#include "payers/StoredPosition.h"
#include "support/TempDir.h"

namespace kvd507::payers {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct PositionCase {
  const char* text;
  int position;
};

TEST(ParsePosition, DecimalIntegersAndZeroForEverythingElse) {
  const PositionCase cases[] = {
      {"0", 0},
      {"3", 3},
      {"-1", -1},
      {"+2", 2},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"", 0},
      {"-", 0},
      {"+", 0},
      {"+-1", 0},
      {"--1", 0},
      {"1a", 0},
      {"a1", 0},
      {"1.5", 0},
      {" 1", 0},
      {"$1F", 0},
      {"0x1F", 0},
      {"2147483648", 0},
  };
  for (const PositionCase& c : cases) {
    EXPECT_EQ(parsePosition(c.text), c.position) << "text: \"" << c.text << "\"";
  }
}

class StoredPayerTest : public testing::Test {
 protected:
  void storePosition(const std::string& value) {
    writeFile(dir_ / kSettingsFileName, "[NUSTATYMAI]\r\nasmuo=" + value + "\r\n");
  }
  void storeList(const std::string& bytes) { writeFile(dir_ / kPayerFileName, bytes); }

  TempDir dir_;
};

TEST_F(StoredPayerTest, PositionRoundTripsThroughTheSettingsFile) {
  EXPECT_EQ(readStoredPosition(dir_.path()), 0);
  writeStoredPosition(dir_.path(), -1);
  EXPECT_EQ(readFile(dir_ / kSettingsFileName), "[NUSTATYMAI]\r\nasmuo=-1\r\n");
  EXPECT_EQ(readStoredPosition(dir_.path()), -1);
  writeStoredPosition(dir_.path(), 12);
  EXPECT_EQ(readStoredPosition(dir_.path()), 12);
}

struct StoredCase {
  const char* what;
  std::optional<std::string> position;  // none: no settings file
  std::optional<std::string> list;      // none: no payer file
  std::optional<SelectedPayer> payer;
};

TEST_F(StoredPayerTest, WhatTheWindowSelectsAtStart) {
  const std::string list = "Alfa;1\r\nBeta\r\nGama;\r\nDelta;;\r\n";
  const StoredCase cases[] = {
      {"no files", std::nullopt, std::nullopt, std::nullopt},
      {"no payer file", "1", std::nullopt, std::nullopt},
      {"no settings: the first payer", std::nullopt, list, SelectedPayer{"Alfa", "1"}},
      {"empty setting: the first payer", "", list, SelectedPayer{"Alfa", "1"}},
      {"not a number: the first payer", "x", list, SelectedPayer{"Alfa", "1"}},
      {"line without a code", "1", list, SelectedPayer{"Beta", "lb_kodas"}},
      {"separator without a code", "2", list, SelectedPayer{"Gama", "lb_kodas"}},
      {"empty code", "3", list, SelectedPayer{"Delta", ""}},
      {"nothing selected", "-1", list, std::nullopt},
      {"beyond the last line", "4", list, std::nullopt},
      {"empty payer file", "0", "", std::nullopt},
      {"before an empty line", "1", "Alfa;1\r\nBeta;2\r\n\r\nGama;3\r\n",
       SelectedPayer{"Beta", "2"}},
      {"after an empty line", "2", "Alfa;1\r\nBeta;2\r\n\r\nGama;3\r\n",
       SelectedPayer{"Gama", "3"}},
      {"beyond the payers of a list with empty lines", "3", "Alfa;1\r\n\r\nBeta;2\r\n",
       std::nullopt},
      {"Windows-1257 list", "0",
       "\xDE"
       "aibas;302\r\n",
       SelectedPayer{"Žaibas", "302"}},
  };
  for (const StoredCase& c : cases) {
    std::filesystem::remove(dir_ / kSettingsFileName);
    std::filesystem::remove(dir_ / kPayerFileName);
    if (c.position) storePosition(*c.position);
    if (c.list) storeList(*c.list);
    const std::optional<SelectedPayer> payer = storedPayer(dir_.path());
    EXPECT_EQ(payer.has_value(), c.payer.has_value()) << c.what;
    if (payer && c.payer) {
      EXPECT_EQ(payer->name, c.payer->name) << c.what;
      EXPECT_EQ(payer->code, c.payer->code) << c.what;
    }
  }
}

TEST_F(StoredPayerTest, AnUnreadablePayerFileIsReported) {
  std::filesystem::create_directory(dir_ / kPayerFileName);
  EXPECT_THROW(storedPayer(dir_.path()), PayerFileError);
}

}  // namespace
}  // namespace kvd507::payers
