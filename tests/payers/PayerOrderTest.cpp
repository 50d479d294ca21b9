#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "payers/PayerOrder.h"

namespace kvd507::payers {
namespace {

using Lines = std::vector<std::string>;

struct OrderCase {
  const char* what;
  const char* locale;
  Lines lines;
  Lines sorted;
};

TEST(SortPayerLines, CaseBlindInTheUsersCollation) {
  const OrderCase cases[] = {
      {"case does not count",
       "lt_LT.UTF-8",
       {"alfa;2", "Gama;3", "Alfa;1", "beta;2"},
       {"Alfa;1", "alfa;2", "beta;2", "Gama;3"}},
      {"equal lines keep their order",
       "lt_LT.UTF-8",
       {"b;1", "a;1", "B;1", "b;1"},
       {"a;1", "b;1", "B;1", "b;1"}},
      // Č is a letter of its own in Lithuanian, after C; elsewhere it is a C with an accent.
      {"Lithuanian letters",
       "lt_LT.UTF-8",
       {"Čekis;1", "Dainius;2", "Cezaris;3"},
       {"Cezaris;3", "Čekis;1", "Dainius;2"}},
      {"accents are kept",
       "lt_LT.UTF-8",
       {"Žukas;1", "Zuikis;2", "Šarūnas;3", "Sigitas;4", "Zeta;5"},
       {"Sigitas;4", "Šarūnas;3", "Zeta;5", "Zuikis;2", "Žukas;1"}},
      {"another language orders its own way",
       "en_US.UTF-8",
       {"Čekis;1", "Dainius;2", "Cezaris;3"},
       {"Čekis;1", "Cezaris;3", "Dainius;2"}},
      {"no language: Lithuanian",
       "C.UTF-8",
       {"Čekis;1", "Dainius;2", "Cezaris;3"},
       {"Cezaris;3", "Čekis;1", "Dainius;2"}},
      {"no locale at all: Lithuanian",
       "",
       {"šuo;1", "Tadas;2", "Saulius;3"},
       {"Saulius;3", "šuo;1", "Tadas;2"}},
  };
  for (const OrderCase& c : cases) {
    Lines lines = c.lines;
    sortPayerLines(lines, c.locale);
    EXPECT_EQ(lines, c.sorted) << c.what;
  }
}

class EnvironmentTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
      ::unsetenv(name);
    }
  }
  void TearDown() override {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) {
        ::setenv(kVariables[i], saved_[i]->c_str(), 1);
      } else {
        ::unsetenv(kVariables[i]);
      }
    }
  }

  static constexpr const char* kVariables[] = {"LC_ALL", "LC_COLLATE", "LANG"};
  std::vector<std::optional<std::string>> saved_;
};

TEST_F(EnvironmentTest, CollationLocaleComesFromTheFirstVariableSet) {
  EXPECT_EQ(collationLocaleFromEnvironment(), "");
  ::setenv("LANG", "en_US.UTF-8", 1);
  EXPECT_EQ(collationLocaleFromEnvironment(), "en_US.UTF-8");
  ::setenv("LC_COLLATE", "lt_LT.UTF-8", 1);
  EXPECT_EQ(collationLocaleFromEnvironment(), "lt_LT.UTF-8");
  ::setenv("LC_ALL", "", 1);
  EXPECT_EQ(collationLocaleFromEnvironment(), "lt_LT.UTF-8");
  ::setenv("LC_ALL", "C", 1);
  EXPECT_EQ(collationLocaleFromEnvironment(), "C");
}

}  // namespace
}  // namespace kvd507::payers
