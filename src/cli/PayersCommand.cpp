#include "cli/PayersCommand.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/FolderInUse.h"
#include "cli/RowsCommand.h"
#include "errors/Error.h"
#include "payers/FailureHeadline.h"
#include "payers/PayerFile.h"
#include "payers/PayerLine.h"
#include "payers/PayerRegistry.h"
#include "payers/StoredPosition.h"
#include "rows/Text.h"
#include "runs/ProgramFolder.h"

namespace kvd507::cli {
namespace {

// The payer dialog's limits: what a user can type into its fields.
constexpr std::size_t kNameLimit = 45;
constexpr std::size_t kCodeLimit = 11;

// The rules of the payer dialog: a name and a code, neither taking its line of the list apart,
// the name of at most 45 characters, the code of at most 11 digits. A problem, or nothing.
std::optional<std::string> checkPayerText(const std::string& name, const std::string& code) {
  if (const auto breaker = payers::findLineBreaker(name)) {
    return "mokėtojo pavadinime " + payers::lineBreakerText(*breaker);
  }
  if (const auto breaker = payers::findLineBreaker(code)) {
    return "mokėtojo kode " + payers::lineBreakerText(*breaker);
  }
  if (name.empty()) return std::string("mokėtojo pavadinimas tuščias");
  if (rows::characterCount(name) > kNameLimit) {
    return "mokėtojo pavadinimas ilgesnis nei 45 ženklai (" +
           std::to_string(rows::characterCount(name)) + ")";
  }
  if (code.empty()) return std::string("mokėtojo kodas tuščias");
  if (code.find_first_not_of("0123456789") != std::string::npos) {
    return "mokėtojo kode \"" + code + "\" gali būti tik skaitmenys";
  }
  if (code.size() > kCodeLimit) return "mokėtojo kodas ilgesnis nei 11 skaitmenų";
  return std::nullopt;
}

// A position as typed: digits, and for a selection also -1. A problem, or nothing.
std::optional<std::string> checkPosition(const std::string& text, bool selection) {
  const int position = payers::parsePosition(text);
  if (std::to_string(position) == text && (position >= 0 || (selection && position == -1))) {
    return std::nullopt;
  }
  return "pozicija \"" + text + "\" turi būti skaičius nuo 0" +
         (selection ? std::string(" (-1 – nieko nepasirinkti)") : std::string());
}

// The action's words make sense together; a problem to report as a usage error, or nothing.
std::optional<std::string> checkWords(const std::vector<std::string>& words) {
  if (words.empty()) return std::nullopt;
  if (words[0] == "add") {
    if (words.size() != 3) return "add reikia pavadinimo ir kodo";
    return checkPayerText(words[1], words[2]);
  }
  if (words[0] == "edit") {
    if (words.size() != 4) return "edit reikia pozicijos, pavadinimo ir kodo";
    if (auto problem = checkPosition(words[1], false)) return problem;
    return checkPayerText(words[2], words[3]);
  }
  if (words[0] == "select") {
    if (words.size() != 2) return "select reikia vienos pozicijos";
    return checkPosition(words[1], true);
  }
  if (words[0] == "remove") {
    if (words.size() != 2) return "remove reikia vienos pozicijos";
    return checkPosition(words[1], false);
  }
  return "nežinomas veiksmas \"" + words[0] + "\"";
}

// The position as the user typed it: decimal digits, or -1 for no selection.
std::optional<int> parseSelection(const std::string& text) {
  const int position = payers::parsePosition(text);
  if (std::to_string(position) != text) return std::nullopt;
  return position;
}

// Lines of a UTF-8 list that were read in the code page instead, so that the user can look at
// them: they are stored in UTF-8 by the next change.
void noteAnsiLines(const payers::PayerRegistry& registry, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::exists(registry.payerFile(), error)) return;
  const std::vector<std::size_t> lines = payers::PayerFile::read(registry.payerFile()).ansiLines();
  if (lines.empty()) return;
  std::string numbers;
  for (const std::size_t line : lines) {
    numbers += (numbers.empty() ? "" : ", ") + std::to_string(line);
  }
  const bool one = lines.size() == 1;
  err << "kvd507: pastaba: " << payers::kPayerFileName << (one ? " eilutė " : " eilutės ")
      << numbers
      << (one ? " ne UTF-8, perskaityta kaip Windows-1257; pakeitus sąrašą ji bus įrašyta UTF-8\n"
              : " ne UTF-8, perskaitytos kaip Windows-1257; pakeitus sąrašą jos bus įrašytos "
                "UTF-8\n");
}

void printList(const payers::PayerRegistry& registry, std::ostream& out, std::ostream& err) {
  const payers::LoadedPayers loaded = registry.loadStored();
  // Said beside the list, which stays empty for a script that reads it.
  if (loaded.payers.empty()) err << "kvd507: Mokėtojų sąrašas tuščias\n";
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
    registry.add(words[1], words[2]);
    return std::nullopt;
  }
  const int count = static_cast<int>(registry.load(-1).payers.size());
  const std::optional<int> position = parseSelection(words[1]);
  // Only a selection can name no payer.
  const int lowest = words[0] == "select" ? -1 : 0;
  if (!position || *position < lowest || *position >= count) {
    return "mokėtojų sąraše nėra pozicijos " + words[1] + " (įrašų: " + std::to_string(count) +
           (lowest < 0 ? "; -1 – nieko nepasirinkti)" : ")");
  }
  if (words[0] == "edit") {
    registry.edit(*position, words[2], words[3]);
  } else if (words[0] == "remove") {
    registry.remove(*position);
  } else {
    registry.select(*position);
  }
  return std::nullopt;
}

int runPayers(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  if (auto problem = checkWords(arguments.operands)) {
    err << "kvd507: " << *problem << "\nDaugiau: kvd507 payers --help\n";
    return kExitUsage;
  }
  const auto chosen = arguments.value("--folder");
  if (std::error_code error; chosen && !std::filesystem::is_directory(*chosen, error)) {
    // A mistyped folder would otherwise list as an empty list, as if it held no payers.
    err << "kvd507: aplanko \"" << *chosen << "\" nėra\n";
    return kExitFailure;
  }
  std::filesystem::path folder;
  try {
    folder = runs::openProgramFolder(
        chosen ? std::optional<std::filesystem::path>(*chosen) : std::nullopt,
        runs::Program::kCommandLine);
  } catch (...) {
    printFolderError(err);
    return kExitFailure;
  }
  const payers::PayerRegistry registry(folder);
  try {
    if (auto problem = act(registry, arguments.operands)) {
      err << "kvd507: " << *problem << '\n';
      return kExitFailure;
    }
    noteAnsiLines(registry, err);
    printList(registry, out, err);
  } catch (...) {
    err << "kvd507: " << oneLine(payers::currentFailureText()) << '\n';
    // A name the list cannot hold is the user's to change, as a name with ";" is.
    return currentError().kind() == ErrorKind::kNotInListEncoding ? kExitUsage : kExitFailure;
  }
  return kExitWritten;
}

}  // namespace

Command payersCommand() {
  CommandSpec spec;
  spec.name = "payers";
  spec.operands =
      "[add PAVADINIMAS KODAS | edit POZICIJA PAVADINIMAS KODAS | remove POZICIJA | "
      "select POZICIJA]";
  spec.minOperands = 0;
  spec.maxOperands = 4;
  spec.summary =
      "Išmokų mokėtojų sąrašas (asmenys.txt): išveda pozicijas, pavadinimus ir kodus, "
      "pasirinktą pažymi \"*\". add prideda mokėtoją kaip lango mygtukas \"Įvesti naują\", "
      "edit pataiso nurodytą kaip \"Koreguoti\", remove pašalina kaip \"Šalinti\"; sąrašas vėl "
      "surikiuojamas, o pasirinkimas lieka prie to paties mokėtojo (pašalinus jį, -1). select "
      "įsimena pasirinktą poziciją (-1 – jokio). Pavadinime ir kode negali būti kabliataškio, "
      "eilutės lūžio ar kitų valdymo ženklų.";
  spec.options = {
      {"--folder", "APLANKAS", "programos aplankas: jame yra asmenys.txt ir _nustatymai.ini",
       defaultFolderText()},
  };
  spec.exitStatuses =
      "  0  sąrašas išvestas (ir pakeistas, kai nurodytas veiksmas)\n"
      "  1  nepavyko: sąrašo ar nustatymų failo neperskaitė ar neįrašė, arba tokios pozicijos "
      "nėra\n"
      "  2  neteisinga komandinė eilutė, taip pat pavadinimas ar kodas, kurio sąraše įrašyti "
      "negalima\n";
  return {std::move(spec), &runPayers};
}

}  // namespace kvd507::cli
