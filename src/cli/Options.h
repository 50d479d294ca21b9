#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::cli {

// One option of a subcommand, as its help describes it.
struct OptionSpec {
  std::string name;         // "--year"
  std::string valueName;    // "METAI"; empty for an option that takes no value
  std::string description;  // what it does, in Lithuanian
  std::string byDefault;    // what holds without it, for the help: "2022"
  // The value may be left out ("--strict" or "--strict=all"); it is then given only after "=",
  // and the next argument is never taken for it. valueName shows what it may be.
  bool valueOptional = false;
};

// A subcommand's arguments: its options and its operands (the words that are not options).
struct CommandSpec {
  std::string name;      // "convert"
  std::string operands;  // "DARBAKNYGĖ", as the usage line shows them
  std::size_t minOperands = 0;
  std::size_t maxOperands = 0;
  std::string summary;  // one line: what the command does
  std::vector<OptionSpec> options;
  std::string exitStatuses;  // the help's list of exit statuses, one per line
};

// A command line that does not fit the command: the message names the option or operand.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a command line holds once parsed. An option given twice keeps its last value.
struct ParsedArguments {
  bool help = false;                          // --help or -h: nothing else is checked then
  std::map<std::string, std::string> values;  // by option name; "" for one without a value
  std::vector<std::string> operands;

  bool has(const std::string& option) const { return values.contains(option); }
  std::optional<std::string> value(const std::string& option) const;
};

// Reads `arguments` (those after the command's name) as `spec` says. Options take their value
// as "--year 2023" or "--year=2023"; "--" ends the options, so that an operand may begin with
// "--". Throws UsageError for an unknown option, a missing value, a value given to an option
// that takes none, or too few or too many operands.
ParsedArguments parseArguments(const CommandSpec& spec, const std::vector<std::string>& arguments);

// The command's help: usage line, summary, every option with its default, and exit statuses.
std::string commandHelp(const CommandSpec& spec);

// `text` broken at spaces into lines of at most 100 characters, every line after the first
// indented by `indent` spaces; the first line is taken to start at column `indent`.
std::string wrapped(std::string_view text, std::size_t indent);

// "--verbose": the commands print the technical detail of an error (in English, as the system
// or the file format said it) after its Lithuanian message only when asked.
OptionSpec verboseOption();

// The usage line alone: "kvd507 convert DARBAKNYGĖ [parinktys]".
std::string usageLine(const CommandSpec& spec);

}  // namespace kvd507::cli
