#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "payers/PayerFileError.h"
#include "payers/PayerRegistry.h"
#include "payers/SettingsError.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace kvd507::payers {
namespace {

using test::FileSizeLimit;
using test::namesIn;
using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr const char* kNoFile = "-";

class PayerRegistryTest : public testing::Test {
 protected:
  void SetUp() override { ::setenv("LC_ALL", "lt_LT.UTF-8", 1); }

  void reset(const std::string& list, const std::string& settings = kNoFile) {
    std::filesystem::remove(list_);
    std::filesystem::remove(settings_);
    if (list != kNoFile) writeFile(list_, list);
    if (settings != kNoFile) writeFile(settings_, settings);
  }

  TempDir dir_;
  PayerRegistry registry_{dir_.path()};
  std::filesystem::path list_ = dir_ / "asmenys.txt";
  std::filesystem::path settings_ = dir_ / "_nustatymai.ini";
};

struct ChangeCase {
  const char* what;
  std::string before;  // kNoFile for none
  bool edit;           // otherwise an addition
  int position;        // the edited line
  std::string name;
  std::string code;
  std::string after;
  int selected;
  std::optional<std::string> code_shown;
};

TEST_F(PayerRegistryTest, AddAndEditRewriteTheSortedListAndSelectThePayerChanged) {
  const ChangeCase cases[] = {
      {"add between", "Alfa;1\r\nGama;3\r\n", false, 0, "Beta", "2",
       "Alfa;1\r\nBeta;2\r\nGama;3\r\n", 1, "2"},
      {"add first", "Alfa;1\r\nGama;3\r\n", false, 0, "Aa", "0", "Aa;0\r\nAlfa;1\r\nGama;3\r\n", 0,
       "0"},
      {"edit moves the payer", "Alfa;1\r\nBeta;2\r\n", true, 0, "Zeta", "1", "Beta;2\r\nZeta;1\r\n",
       1, "1"},
      {"add to a missing list", kNoFile, false, 0, "Alfa", "1", "Alfa;1\r\n", 0, "1"},
      {"add to an empty list", "", false, 0, "Alfa", "1", "Alfa;1\r\n", 0, "1"},
      {"case does not count", "Alfa;1\r\n", false, 0, "alfa", "2", "Alfa;1\r\nalfa;2\r\n", 1, "2"},
      // Equal lines are one payer to the user: the first of them is shown.
      {"duplicates stay", "Alfa;1\r\n", false, 0, "Alfa", "1", "Alfa;1\r\nAlfa;1\r\n", 0, "1"},
      {"č after c", "Dainius;1\r\n", false, 0, "Čekis", "2",
       "\xC8"
       "ekis;2\r\nDainius;1\r\n",
       0, "2"},
      // The dialog and the command line refuse such a name; the list itself takes the line.
      {"a separator in the name becomes the code", "", false, 0, "Alfa;Beta", "123",
       "Alfa;Beta;123\r\n", 0, "Beta"},
      {"no code", "", false, 0, "Alfa", "", "Alfa;\r\n", 0, "lb_kodas"},
      {"empty lines dropped", "\r\nGama;3\r\n\r\nAlfa;1\r\n", false, 0, "Beta", "2",
       "Alfa;1\r\nBeta;2\r\nGama;3\r\n", 1, "2"},
      {"edit after an empty line", "Alfa;1\r\n\r\nBeta;2\r\n", true, 1, "Beta", "9",
       "Alfa;1\r\nBeta;9\r\n", 1, "9"},
      {"edit with nothing selected still sorts", "Beta;2\r\nAlfa;1\r\n", true, -1, "X", "1",
       "Alfa;1\r\nBeta;2\r\n", -1, std::nullopt},
      {"a last line without a break", "Gama;3", false, 0, "Alfa", "1", "Alfa;1\r\nGama;3\r\n", 0,
       "1"},
      {"UTF-8 mark kept",
       "\xEF\xBB\xBF"
       "Alfa;1\r\n",
       false, 0, "Жук", "3",
       "\xEF\xBB\xBF"
       "Alfa;1\r\nЖук;3\r\n",
       1, "3"},
      {"UTF-16LE mark alone", "\xFF\xFE", false, 0, "A", "1",
       std::string("\xFF\xFE"
                   "A\0;\0"
                   "1\0\r\0\n\0",
                   12),
       0, "1"},
      {"unmarked UTF-8 stays UTF-8", "Žaibas;1\n", false, 0, "Жук", "3", "Žaibas;1\r\nЖук;3\r\n", 1,
       "3"},
  };
  for (const ChangeCase& c : cases) {
    // A stored position that names no payer is left as it is.
    reset(c.before, "[NUSTATYMAI]\r\nasmuo=7\r\n");
    const LoadedPayers loaded =
        c.edit ? registry_.edit(c.position, c.name, c.code) : registry_.add(c.name, c.code);
    EXPECT_EQ(readFile(list_), c.after) << c.what;
    EXPECT_EQ(loaded.selected, c.selected) << c.what;
    EXPECT_EQ(loaded.selectedCode(), c.code_shown) << c.what;
    EXPECT_EQ(readFile(settings_), "[NUSTATYMAI]\r\nasmuo=7\r\n") << c.what;
  }
}

// The stored position keeps naming the payer it named, wherever a change moves it; the
// settings file is written only when the position or the payer changes, and then holds the
// payer's line beside the position.
struct FollowCase {
  const char* what;
  std::string list;
  std::string settings;  // kNoFile for none
  std::function<LoadedPayers(const PayerRegistry&)> change;
  std::string listAfter;
  int selected;
  std::string settingsAfter;  // kNoFile: still none
};

TEST_F(PayerRegistryTest, TheStoredPositionFollowsThePayerItNamed) {
  const std::string abc = "Alfa;1\r\nBeta;2\r\nGama;3\r\n";
  const auto stored = [](int position) {
    return "[NUSTATYMAI]\r\nasmuo=" + std::to_string(position) + "\r\n";
  };
  const auto follows = [](int position, const std::string& line) {
    return "[NUSTATYMAI]\r\nasmuo=" + std::to_string(position) + "\r\nasmuo_eilute=" + line +
           "\r\n";
  };
  const auto add = [](const char* name, const char* code) {
    return [=](const PayerRegistry& r) { return r.add(name, code); };
  };
  const auto edit = [](int position, const char* name, const char* code) {
    return [=](const PayerRegistry& r) { return r.edit(position, name, code); };
  };
  const auto remove = [](int position) {
    return [=](const PayerRegistry& r) { return r.remove(position); };
  };
  const FollowCase cases[] = {
      {"add first", abc, stored(1), add("Aa", "0"), "Aa;0\r\n" + abc, 0, follows(2, "Beta;2")},
      {"add last", abc, stored(1), add("Zeta", "9"), abc + "Zeta;9\r\n", 3, stored(1)},
      {"add in the middle", abc, stored(2), add("Bz", "5"),
       "Alfa;1\r\nBeta;2\r\nBz;5\r\nGama;3\r\n", 2, follows(3, "Gama;3")},
      // No settings file reads as 0: that payer is followed, and the file made for it.
      {"add before the first with nothing stored", abc, kNoFile, add("Aa", "0"), "Aa;0\r\n" + abc,
       0, follows(1, "Alfa;1")},
      {"add after it with nothing stored", abc, kNoFile, add("Zeta", "9"), abc + "Zeta;9\r\n", 3,
       kNoFile},
      {"the stored payer edited so that it moves", abc, stored(0), edit(0, "Zeta", "1"),
       "Beta;2\r\nGama;3\r\nZeta;1\r\n", 2, follows(2, "Zeta;1")},
      {"another payer edited past the stored one", abc, stored(1), edit(0, "Zeta", "1"),
       "Beta;2\r\nGama;3\r\nZeta;1\r\n", 2, follows(0, "Beta;2")},
      {"an edit that keeps the order", abc, stored(1), edit(1, "Beta", "22"),
       "Alfa;1\r\nBeta;22\r\nGama;3\r\n", 1, follows(1, "Beta;22")},
      {"the stored payer removed", abc, stored(1), remove(1), "Alfa;1\r\nGama;3\r\n", -1,
       stored(-1)},
      {"the stored payer's twin removed", "Alfa;1\r\nAlfa;1\r\n", stored(1), remove(1),
       "Alfa;1\r\n", -1, stored(-1)},
      {"a payer before the stored one removed", abc, stored(2), remove(0), "Beta;2\r\nGama;3\r\n",
       1, follows(1, "Gama;3")},
      {"a payer after the stored one removed", abc, stored(0), remove(2), "Alfa;1\r\nBeta;2\r\n", 0,
       stored(0)},
      {"removing the only payer", "Alfa;1\r\n", kNoFile, remove(0), "", -1, stored(-1)},
      {"nothing removed beyond the list", abc, stored(1), remove(3), abc, 1, stored(1)},
      // Of equal lines the first is the one followed.
      {"equal lines", "Beta;2\r\nBeta;2\r\n", stored(1), add("Alfa", "1"),
       "Alfa;1\r\nBeta;2\r\nBeta;2\r\n", 0, stored(1)},
      {"an unsorted list sorted by a change", "Gama;3\r\nAlfa;1\r\n", stored(0), add("Beta", "2"),
       abc, 1, follows(2, "Gama;3")},
  };
  for (const FollowCase& c : cases) {
    reset(c.list, c.settings);
    const LoadedPayers loaded = c.change(registry_);
    EXPECT_EQ(readFile(list_), c.listAfter) << c.what;
    EXPECT_EQ(loaded.selected, c.selected) << c.what;
    if (c.settingsAfter == kNoFile) {
      EXPECT_FALSE(std::filesystem::exists(settings_)) << c.what;
    } else {
      EXPECT_EQ(readFile(settings_), c.settingsAfter) << c.what;
    }
  }
}

TEST_F(PayerRegistryTest, EveryEncodingIsWrittenBackByteForByte) {
  const std::string utf16le(
      "\xFF\xFE"
      "A\0;\0"
      "1\0\r\0\n\0"
      "\x16\x01;\0"
      "2\0\r\0\n\0",
      22);
  std::string utf16be = utf16le;
  for (std::size_t i = 0; i < utf16be.size(); i += 2) std::swap(utf16be[i], utf16be[i + 1]);
  const std::string files[] = {
      "A;1\r\n\xCB;2\r\n",
      "\xEF\xBB\xBF"
      "A;1\r\nĖ;2\r\n",
      "A;1\r\nĖ;2\r\n",
      utf16le,
      utf16be,
  };
  for (const std::string& bytes : files) {
    reset(bytes);
    const LoadedPayers loaded = registry_.edit(1, "Ė", "2");
    EXPECT_EQ(readFile(list_), bytes) << testing::PrintToString(bytes);
    EXPECT_EQ(loaded.selected, 1) << testing::PrintToString(bytes);
    EXPECT_EQ(loaded.selectedName(), "Ė") << testing::PrintToString(bytes);
  }
}

TEST_F(PayerRegistryTest, EditingOrRemovingFromAMissingListIsReportedAndCreatesNothing) {
  reset(kNoFile);
  for (const bool edit : {true, false}) {
    try {
      if (edit) {
        registry_.edit(0, "Alfa", "1");
      } else {
        registry_.remove(0);
      }
      ADD_FAILURE() << "a missing list was changed";
    } catch (const PayerFileError& e) {
      EXPECT_EQ(e.headline(),
                "Nepavyko perskaityti failo asmenys.txt: tokio failo ar aplanko nėra");
    }
  }
  // Only the lock the edit took.
  EXPECT_EQ(namesIn(dir_.path()), std::vector<std::string>{".asmenys.txt.lock"});
}

struct LoadCase {
  const char* what;
  std::string list;
  std::string settings;
  int selected;
  std::optional<std::string> code;
};

TEST_F(PayerRegistryTest, TheStoredPositionAppliedToTheListAsItIsNow) {
  const LoadCase cases[] = {
      {"stored payer", "Alfa;1\r\nBeta;2\r\n", "[NUSTATYMAI]\r\nasmuo=1\r\n", 1, "2"},
      {"no settings: the first", "Alfa;1\r\n", kNoFile, 0, "1"},
      {"beyond the list", "Alfa;1\r\n", "[NUSTATYMAI]\r\nasmuo=1\r\n", -1, std::nullopt},
      {"nothing stored", "Alfa;1\r\n", "[NUSTATYMAI]\r\nasmuo=-1\r\n", -1, std::nullopt},
      {"after empty lines", "Alfa;1\r\n\r\n\r\nBeta\r\n", "[NUSTATYMAI]\r\nasmuo=1\r\n", 1,
       "lb_kodas"},
      {"no list", kNoFile, "[NUSTATYMAI]\r\nasmuo=0\r\n", -1, std::nullopt},
  };
  for (const LoadCase& c : cases) {
    reset(c.list, c.settings);
    const LoadedPayers loaded = registry_.loadStored();
    EXPECT_EQ(loaded.selected, c.selected) << c.what;
    EXPECT_EQ(loaded.selectedCode(), c.code) << c.what;
  }
}

TEST_F(PayerRegistryTest, SelectingStoresThePositionThatTheReloadSelected) {
  const std::string settings =
      "; mano\r\n[KITA]\r\nasmuo=9\r\n\r\n[nustatymai]\r\nAsmuo=0\r\nx=1\r\n";
  reset("Alfa;1\r\nBeta;2\r\n", settings);
  EXPECT_EQ(registry_.select(1).selectedCode(), "2");
  EXPECT_EQ(readFile(settings_),
            "; mano\r\n[KITA]\r\nasmuo=9\r\n\r\n[nustatymai]\r\nasmuo=1\r\nx=1\r\n"
            "asmuo_eilute=Beta;2\r\n");
  EXPECT_EQ(registry_.storedPosition(), 1);

  // The list lost a line meanwhile: the reload selects nothing, and that is what is stored.
  writeFile(list_, "Alfa;1\r\n");
  EXPECT_EQ(registry_.select(1).selected, -1);
  EXPECT_EQ(registry_.storedPosition(), -1);
}

TEST_F(PayerRegistryTest, AFailedRewriteLeavesBothFilesAsTheyWere) {
  const std::string list = "Gama;3\r\n\r\nAlfa;1\r\n";
  const std::string settings = "[NUSTATYMAI]\r\nasmuo=1\r\n";
  reset(list, settings);
  {
    const FileSizeLimit limit(4);
    try {
      registry_.add("Beta", "2");
      ADD_FAILURE() << "an addition beyond the size limit succeeded";
    } catch (const PayerFileError& e) {
      EXPECT_EQ(e.headline(), "Nepavyko įrašyti failo asmenys.txt: failas per didelis");
    }
    EXPECT_THROW(registry_.edit(0, "Beta", "2"), PayerFileError);
    EXPECT_THROW(registry_.remove(0), PayerFileError);
    try {
      registry_.select(0);
      ADD_FAILURE() << "a selection beyond the size limit was stored";
    } catch (const SettingsError& e) {
      EXPECT_EQ(e.headline(), "Nepavyko įrašyti failo _nustatymai.ini: failas per didelis");
    }
  }
  EXPECT_EQ(readFile(list_), list);
  EXPECT_EQ(readFile(settings_), settings);
  // No temporary file is left; the locks stay for the next change.
  EXPECT_EQ(namesIn(dir_.path()),
            (std::vector<std::string>{"._nustatymai.ini.lock", ".asmenys.txt.lock",
                                      "_nustatymai.ini", "asmenys.txt"}));
}

}  // namespace
}  // namespace kvd507::payers
