#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/ManPage.h"

namespace kvd507::cli {
namespace {

// The page as a reader sees its words: "\-" is a hyphen, "\e" a backslash.
std::string readable(const std::string& page) {
  std::string text;
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (page[i] == '\\' && i + 1 < page.size() && (page[i + 1] == '-' || page[i + 1] == 'e')) {
      text += page[i + 1] == '-' ? '-' : '\\';
      ++i;
    } else {
      text += page[i];
    }
  }
  return text;
}

std::string helpOf(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runCommandLine(arguments, out, err), 0) << err.str();
  return out.str();
}

// Whatever the help offers, the manual page describes: every command, and every option any
// help names.
TEST(ManPage, NamesEveryCommandAndOptionTheHelpNames) {
  const std::string page = readable(manPage());
  std::vector<std::string> helps = {helpOf({"--help"})};
  for (const Command& command : commands()) {
    EXPECT_THAT(page, testing::HasSubstr(".SS \"" + usageLine(command.spec) + "\""));
    helps.push_back(helpOf({command.spec.name, "--help"}));
  }
  const std::regex option("--[a-z][a-z-]*");
  for (const std::string& help : helps) {
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
      // "--parinktis reikšmė" shows how any option takes its value.
      if (it->str() == "--parinktis") continue;
      EXPECT_NE(page.find(it->str()), std::string::npos)
          << it->str() << " is not in the manual page; the help:\n"
          << help;
    }
  }
  EXPECT_THAT(page, testing::HasSubstr(versionText()));
}

// No line of text begins as a request would, and no default says what holds only today.
TEST(ManPage, TextIsNeverTakenForARequest) {
  std::istringstream lines(manPage());
  const std::regex request(
      R"(\.(\\" .*|TH .*|SH .*|SS .*|TP( 4)?|PP|RS|RE|br|B .*|BI .*|BR .*|I .*))");
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(".") || line.starts_with("'")) {
      EXPECT_TRUE(std::regex_match(line, request)) << line;
    }
    EXPECT_THAT(line, testing::Not(testing::HasSubstr("(dabar ")));
  }
}

}  // namespace
}  // namespace kvd507::cli
