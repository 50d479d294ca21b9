#include "cli/PayersCommand.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/RowsCommand.h"
#include "errors/Error.h"
#include "payers/FileFailure.h"
#include "payers/PayerRegistry.h"
#include "payers/StoredPosition.h"
#include "runs/ProgramFolder.h"

namespace kvd507::cli {
namespace {

// The action's words make sense together; a problem to report as a usage error, or nothing.
std::optional<std::string> checkWords(const std::vector<std::string>& words) {
  if (words.empty()) return std::nullopt;
  if (words[0] == "add") {
    if (words.size() != 3) return "add reikia pavadinimo ir kodo";
    // A line break would split the payer into two lines of the list.
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (words[i].find_first_of("\r\n") != std::string::npos) {
        return "mokėtojo pavadinime ir kode negali būti eilutės lūžio";
      }
    }
    return std::nullopt;
  }
  if (words[0] == "select") {
    if (words.size() != 2) return "select reikia vienos pozicijos";
    return std::nullopt;
  }
  return "nežinomas veiksmas \"" + words[0] + "\"";
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
  // The window counts the entries it shows before the change; here they are the list's.
  const int count = static_cast<int>(registry.load(-1).payers.size());
  if (words[0] == "add") {
    registry.add(words[1], words[2], count);
    return std::nullopt;
  }
  const std::optional<int> position = parseSelection(words[1]);
  if (!position || *position < -1 || *position >= count) {
    return "asmenų sąraše nėra pozicijos " + words[1] + " (įrašų: " + std::to_string(count) +
           "; -1 – nieko nepasirinkti)";
  }
  registry.select(*position);
  return std::nullopt;
}

int runPayers(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  if (auto problem = checkWords(arguments.operands)) {
    err << "kvd507: " << *problem << "\nDaugiau: kvd507 payers --help\n";
    return kExitUsage;
  }
  const auto folder = arguments.value("--folder");
  const payers::PayerRegistry registry(folder ? std::filesystem::path(*folder)
                                              : runs::executableFolder());
  try {
    if (auto problem = act(registry, arguments.operands)) {
      err << "kvd507: " << *problem << '\n';
      return kExitFailure;
    }
    printList(registry, out);
  } catch (...) {
    err << "kvd507: " << oneLine(payers::currentFailureText()) << '\n';
    return kExitFailure;
  }
  return kExitWritten;
}

}  // namespace

Command payersCommand() {
  CommandSpec spec;
  spec.name = "payers";
  spec.operands = "[add PAVADINIMAS KODAS | select POZICIJA]";
  spec.minOperands = 0;
  spec.maxOperands = 3;
  spec.summary =
      "Išmokų mokėtojų sąrašas (asmenys.txt): išveda pozicijas, pavadinimus ir kodus, "
      "pasirinktą pažymi \"*\". add prideda mokėtoją kaip lango mygtukas \"Įvesti naują\" "
      "(sąrašas vėl surikiuojamas, pasirinkimas nekeičiamas); select įsimena pasirinktą poziciją "
      "(-1 – jokio).";
  spec.options = {
      {"--folder", "APLANKAS", "programos aplankas: jame yra asmenys.txt ir _nustatymai.ini",
       "aplankas, kuriame yra programa"},
  };
  spec.exitStatuses =
      "  0  sąrašas išvestas (ir pakeistas, kai nurodytas veiksmas)\n"
      "  1  nepavyko: sąrašo ar nustatymų failo neperskaitė ar neįrašė, arba tokios pozicijos "
      "nėra\n"
      "  2  neteisinga komandinė eilutė\n";
  return {std::move(spec), &runPayers};
}

}  // namespace kvd507::cli
