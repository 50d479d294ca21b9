#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "support/CaseName.h"

namespace kvd507::cli {
namespace {

CommandSpec sample() {
  CommandSpec spec;
  spec.name = "demo";
  spec.operands = "FAILAS";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary = "Bandomoji komanda.";
  spec.options = {{"--year", "METAI", "metai", "2022"},
                  {"--open", "", "atidaro", "ne"},
                  {"--strict", "all", "griežtai", "ne", true}};
  spec.exitStatuses = "  0  gerai\n";
  return spec;
}

struct ParseCase {
  const char* what;
  std::vector<std::string> arguments;
  std::map<std::string, std::string> values;
  std::vector<std::string> operands;
  std::string error;  // part of the UsageError's message; empty when none is expected
};

void PrintTo(const ParseCase& c, std::ostream* out) {
  *out << c.what;
}

class ParseArgumentsTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseArgumentsTest, ReadsOptionsAndOperandsOrNamesTheProblem) {
  const ParseCase& c = GetParam();
  try {
    const ParsedArguments parsed = parseArguments(sample(), c.arguments);
    EXPECT_EQ(c.error, "") << "no error";
    EXPECT_EQ(parsed.values, c.values);
    EXPECT_EQ(parsed.operands, c.operands);
    EXPECT_FALSE(parsed.help);
  } catch (const UsageError& e) {
    EXPECT_NE(c.error, "") << e.what();
    EXPECT_THAT(e.what(), testing::HasSubstr(c.error));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseArgumentsTest,
    testing::Values(
        ParseCase{"separate_value", {"a", "--year", "2023"}, {{"--year", "2023"}}, {"a"}, ""},
        ParseCase{"joined_value", {"--year=2023", "a"}, {{"--year", "2023"}}, {"a"}, ""},
        ParseCase{"value_with_equals", {"a", "--year=x=y"}, {{"--year", "x=y"}}, {"a"}, ""},
        ParseCase{"empty_joined_value", {"a", "--year="}, {{"--year", ""}}, {"a"}, ""},
        ParseCase{"last_one_wins", {"a", "--year", "1", "--year=2"}, {{"--year", "2"}}, {"a"}, ""},
        ParseCase{"flag", {"--open", "a"}, {{"--open", ""}}, {"a"}, ""},
        ParseCase{"optional_value_left_out", {"--strict", "a"}, {{"--strict", ""}}, {"a"}, ""},
        ParseCase{"optional_value_given", {"a", "--strict=all"}, {{"--strict", "all"}}, {"a"}, ""},
        ParseCase{"dash_dash_ends_options", {"--", "--open"}, {}, {"--open"}, ""},
        ParseCase{"lone_dash_is_an_operand", {"-"}, {}, {"-"}, ""},
        ParseCase{"negative_number_is_an_operand", {"-1"}, {}, {"-1"}, ""},
        ParseCase{"missing_value_at_end", {"a", "--year"}, {}, {}, "parinkčiai --year trūksta"},
        ParseCase{"option_in_place_of_value",
                  {"a", "--year", "--open"},
                  {},
                  {},
                  "parinkčiai --year trūksta reikšmės METAI"},
        ParseCase{
            "unknown_option", {"a", "--colour", "red"}, {}, {}, "nežinoma parinktis --colour"},
        ParseCase{"unknown_joined", {"a", "--colour=red"}, {}, {}, "nežinoma parinktis --colour"},
        ParseCase{"unknown_short", {"a", "-x"}, {}, {}, "nežinoma parinktis -x"},
        ParseCase{"value_for_a_flag", {"a", "--open=1"}, {}, {}, "--open reikšmės nepriima"},
        ParseCase{"no_operand", {"--open"}, {}, {}, "trūksta argumento FAILAS"},
        ParseCase{"two_operands", {"a", "b"}, {}, {}, "nereikalingas \"b\""}),
    test::NamedAfterWhat());

// Help asks for nothing else: the operands are not counted. Arguments before it are read.
TEST(ParseArguments, HelpNeedsNoOperands) {
  EXPECT_TRUE(parseArguments(sample(), {"--help"}).help);
  EXPECT_TRUE(parseArguments(sample(), {"-h"}).help);
  EXPECT_TRUE(parseArguments(sample(), {"a", "b", "--help"}).help);
  EXPECT_THROW(parseArguments(sample(), {"--colour", "--help"}), UsageError);
}

TEST(CommandHelp, DescribesEveryOptionWithItsDefaultAndTheExitStatuses) {
  EXPECT_EQ(commandHelp(sample()),
            "Naudojimas: kvd507 demo FAILAS [parinktys]\n"
            "\n"
            "Bandomoji komanda.\n"
            "\n"
            "Parinktys (reikšmę galima rašyti \"--parinktis reikšmė\" arba "
            "\"--parinktis=reikšmė\"):\n"
            "  --year METAI              metai\n"
            "                            Numatyta: 2022\n"
            "  --open                    atidaro\n"
            "                            Numatyta: ne\n"
            "  --strict[=all]            griežtai\n"
            "                            Numatyta: ne\n"
            "  -h, --help                parodo šį aprašymą ir baigia darbą\n"
            "\n"
            "Baigties kodai:\n"
            "  0  gerai\n");
}

// Counted in characters, not bytes: 4 + 40 + 1 + 54 fill a line to 99 of 100 characters.
TEST(CommandHelp, WrapsLongTextAtSpaces) {
  std::string letters;
  for (int i = 0; i < 54; ++i) letters += "ž";
  EXPECT_EQ(wrapped(std::string(40, 'a') + " " + letters + " b", 4),
            std::string(40, 'a') + " " + letters + "\n    b");
}

}  // namespace
}  // namespace kvd507::cli
