#include "cli/PayersCommand.h"

#include <filesystem>
#include <optional>

#include "cli/CommandLine.h"
#include "cli/RowsCommand.h"
#include "payers/FileFailure.h"
#include "payers/PayerRegistry.h"
#include "payers/StoredPosition.h"
#include "runs/ProgramFolder.h"

namespace kvd507::cli {
namespace {

struct PayersOptions {
  std::vector<std::string> words;  // the action and its operands
  std::optional<std::filesystem::path> folder;
};

std::optional<std::string> parse(const std::vector<std::string>& arguments,
                                 PayersOptions& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--folder") {
      if (i + 1 == arguments.size()) return argument + " needs a value";
      options.folder = arguments[++i];
    } else if (argument.starts_with("--")) {
      return "unknown option " + argument;
    } else {
      options.words.push_back(argument);
    }
  }
  const std::vector<std::string>& words = options.words;
  if (words.empty()) return std::nullopt;
  if (words[0] == "add") {
    if (words.size() != 3) return "payers add takes a name and a code";
    // A line break would split the payer into two lines of the list.
    for (const std::string& word : {words[1], words[2]}) {
      if (word.find_first_of("\r\n") != std::string::npos) {
        return "a payer's name and code cannot hold a line break";
      }
    }
  } else if (words[0] == "select") {
    if (words.size() != 2) return "payers select takes one position";
  } else {
    return "unknown payers action \"" + words[0] + "\"";
  }
  return std::nullopt;
}

// The position as the user typed it: decimal digits, or -1 for no selection.
std::optional<int> parseSelection(const std::string& text) {
  const int position = payers::parsePosition(text);
  if (std::to_string(position) != text) return std::nullopt;
  return position;
}

void printList(const payers::PayerRegistry& registry, std::ostream& out) {
  const payers::LoadedPayers loaded = registry.loadStored();
  for (std::size_t i = 0; i < loaded.payers.size(); ++i) {
    const payers::Payer& payer = loaded.payers[i];
    out << (static_cast<int>(i) == loaded.selected ? "* " : "  ") << i << '\t'
        << escapeField(payer.name) << '\t' << escapeField(payer.code.value_or("")) << '\n';
  }
}

// Runs the action; returns a problem the user has to fix, or nothing.
std::optional<std::string> act(const payers::PayerRegistry& registry,
                               const std::vector<std::string>& words) {
  if (words.empty()) return std::nullopt;
  if (words[0] == "add") {
    // The window counts the entries it shows before the addition; here they are the list's.
    const int before = static_cast<int>(registry.load(-1).payers.size());
    registry.add(words[1], words[2], before);
    return std::nullopt;
  }
  const std::optional<int> position = parseSelection(words[1]);
  const int count = static_cast<int>(registry.load(-1).payers.size());
  if (!position || *position < -1 || *position >= count) {
    return "asmenų sąraše nėra pozicijos " + words[1] + " (įrašų: " + std::to_string(count) +
           "; -1 – nieko nepasirinkti)";
  }
  registry.select(*position);
  return std::nullopt;
}

}  // namespace

int runPayersCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) {
  PayersOptions options;
  if (auto problem = parse(arguments, options)) {
    err << "kvd507: " << *problem << '\n' << kUsage;
    return kExitUsage;
  }
  const payers::PayerRegistry registry(options.folder ? *options.folder : runs::executableFolder());
  try {
    if (auto problem = act(registry, options.words)) {
      err << "kvd507: " << *problem << '\n';
      return kExitFailure;
    }
    printList(registry, out);
  } catch (...) {
    err << "kvd507: " << payers::currentFailureText() << '\n';
    return kExitFailure;
  }
  return kExitWritten;
}

}  // namespace kvd507::cli
