#include "cli/Options.h"

#include <algorithm>
#include <string_view>

#include "rows/Text.h"

namespace kvd507::cli {
namespace {

constexpr std::size_t kDescriptionColumn = 28;
constexpr std::size_t kLineWidth = 100;

bool takesValues(const CommandSpec& spec) {
  return std::any_of(spec.options.begin(), spec.options.end(),
                     [](const OptionSpec& option) { return !option.valueName.empty(); });
}

const OptionSpec* findOption(const CommandSpec& spec, const std::string& name) {
  const auto found =
      std::find_if(spec.options.begin(), spec.options.end(),
                   [&name](const OptionSpec& option) { return option.name == name; });
  return found == spec.options.end() ? nullptr : &*found;
}

bool isHelp(const std::string& argument) {
  return argument == "--help" || argument == "-h";
}

void checkOperandCount(const CommandSpec& spec, const std::vector<std::string>& operands) {
  if (operands.size() < spec.minOperands) {
    throw UsageError("komandai " + spec.name + " trūksta argumento " + spec.operands);
  }
  if (operands.size() > spec.maxOperands) {
    throw UsageError("komandai " + spec.name + " per daug argumentų: nereikalingas \"" +
                     operands[spec.maxOperands] + "\"");
  }
}

// "-1" is a number to an operand such as a position, never an option.
bool isNegativeNumber(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-' &&
         argument.find_first_not_of("0123456789", 1) == std::string::npos;
}

}  // namespace

std::optional<std::string> ParsedArguments::value(const std::string& option) const {
  const auto found = values.find(option);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

ParsedArguments parseArguments(const CommandSpec& spec, const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || !argument.starts_with("-") || argument == "-" ||
        isNegativeNumber(argument)) {
      parsed.operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (isHelp(argument)) {
      parsed.help = true;
      return parsed;
    }
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionSpec* option = findOption(spec, name);
    if (option == nullptr) throw UsageError("nežinoma parinktis " + name);
    if (option->valueOptional) {
      parsed.values[name] = equals == std::string::npos ? "" : argument.substr(equals + 1);
      continue;
    }
    if (option->valueName.empty()) {
      if (equals != std::string::npos) {
        throw UsageError("parinktis " + name + " reikšmės nepriima");
      }
      parsed.values[name] = "";
      continue;
    }
    if (equals != std::string::npos) {
      parsed.values[name] = argument.substr(equals + 1);
      continue;
    }
    // An option in its place means the value was left out, not that it is the value.
    if (i + 1 == arguments.size() || arguments[i + 1].starts_with("--")) {
      throw UsageError("parinkčiai " + name + " trūksta reikšmės " + option->valueName);
    }
    parsed.values[name] = arguments[++i];
  }
  checkOperandCount(spec, parsed.operands);
  return parsed;
}

std::string wrapped(std::string_view text, std::size_t indent) {
  std::string result;
  std::size_t column = indent;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!first && column + 1 + rows::characterCount(word) > kLineWidth) {
      result += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (!first) {
      result += ' ';
      ++column;
    }
    result += word;
    column += rows::characterCount(word);
    first = false;
  }
  return result;
}

std::string usageLine(const CommandSpec& spec) {
  std::string line = "kvd507 " + spec.name;
  if (!spec.operands.empty()) line += " " + spec.operands;
  if (!spec.options.empty()) line += " [parinktys]";
  return line;
}

std::string commandHelp(const CommandSpec& spec) {
  std::string help = "Naudojimas: " + usageLine(spec) + "\n\n" + wrapped(spec.summary, 0) + "\n";
  help += takesValues(spec) ? "\nParinktys (reikšmę galima rašyti \"--parinktis reikšmė\" arba "
                              "\"--parinktis=reikšmė\"):\n"
                            : "\nParinktys:\n";
  std::vector<OptionSpec> options = spec.options;
  options.push_back({"-h, --help", "", "parodo šį aprašymą ir baigia darbą", ""});
  for (const OptionSpec& option : options) {
    std::string head = "  " + option.name;
    if (option.valueOptional) {
      head += "[=" + option.valueName + "]";
    } else if (!option.valueName.empty()) {
      head += " " + option.valueName;
    }
    // A long option name puts its description on a line of its own.
    if (head.size() < kDescriptionColumn) {
      head.append(kDescriptionColumn - head.size(), ' ');
    } else {
      head += "\n" + std::string(kDescriptionColumn, ' ');
    }
    help += head + wrapped(option.description, kDescriptionColumn) + "\n";
    if (!option.byDefault.empty()) {
      help += std::string(kDescriptionColumn, ' ') +
              wrapped("Numatyta: " + option.byDefault, kDescriptionColumn) + "\n";
    }
  }
  if (!spec.exitStatuses.empty()) help += "\nBaigties kodai:\n" + spec.exitStatuses;
  return help;
}

OptionSpec verboseOption() {
  return {"--verbose", "",
          "po klaidos pranešimo parašo ir techninę priežastį (anglų kalba), kaip ją pateikė "
          "sistema ar failo formatas",
          "parašomas tik pranešimas lietuviškai"};
}

}  // namespace kvd507::cli
