#include "cli/CommandLine.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/ConvertCommand.h"
#include "cli/FolderInUse.h"
#include "cli/PayersCommand.h"
#include "cli/RowsCommand.h"
#include "cli/ShowCommand.h"
#include "cli/ToWorkbookCommand.h"
#include "errors/Error.h"
#include "errors/Headlines.h"

namespace kvd507::cli {

const std::vector<Command>& commands() {
  static const std::vector<Command> all = {rowsCommand(),      convertCommand(), checkCommand(),
                                           payersCommand(),    showCommand(),    viewCommand(),
                                           toWorkbookCommand()};
  return all;
}

std::string versionText() {
  return "kvd507 " KVD507_VERSION;
}

namespace {

const Command* findCommand(const std::string& name) {
  const auto found =
      std::find_if(commands().begin(), commands().end(),
                   [&name](const Command& command) { return command.spec.name == name; });
  return found == commands().end() ? nullptr : &*found;
}

std::string programHelp() {
  std::string help =
      "Naudojimas: kvd507 KOMANDA [argumentai]\n\n"
      "KVD507 formos (KVD507.ffdata) rengimas iš darbaknygės be programos lango.\n"
      "Be komandos (kvd507 [--folder APLANKAS]) atveriamas programos langas; kvd507 FORMA.ffdata "
      "atveria formos peržiūrą.\n" +
      folderInUseText() + "\n\nKomandos:\n";
  for (const Command& command : commands()) {
    help += "  " + usageLine(command.spec) + "\n      " + wrapped(command.spec.summary, 6) + "\n";
  }
  help +=
      "\nKomandos parinktys ir numatytosios reikšmės: kvd507 KOMANDA --help\n"
      "Programos versija: kvd507 --version\n"
      "\nBaigties kodai:\n"
      "  0  pavyko\n"
      "  1  nepavyko (priežastis parašoma)\n"
      "  2  neteisinga komandinė eilutė\n"
      "  3  darbaknygėje įrašų nerasta, forma neįrašyta (convert, check)\n"
      "  4  rasta pastabų (check) arba duomenų, kurie būtų prarasti (convert --strict)\n";
  return help;
}

int usageError(std::ostream& err, const std::string& problem, const Command* command) {
  err << "kvd507: " << problem << '\n';
  if (command != nullptr) {
    err << "Naudojimas: " << usageLine(command->spec) << "\nDaugiau: kvd507 " << command->spec.name
        << " --help\n";
  } else {
    err << "Naudojimas: kvd507 KOMANDA [argumentai]\nDaugiau: kvd507 --help\n";
  }
  return kExitUsage;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  if (arguments.empty()) return usageError(err, "nenurodyta komanda", nullptr);
  const std::string& name = arguments[0];
  if (name == "--help" || name == "-h" || name == "help") {
    out << programHelp();
    return kExitWritten;
  }
  if (name == "--version") {
    out << versionText() << '\n';
    return kExitWritten;
  }
  const Command* command = findCommand(name);
  if (command == nullptr && arguments.size() == 1) {
    // A declaration alone opens the viewer (main.cpp); a pipe, device or folder named so is no
    // command mistyped but a file that cannot be one.
    std::error_code error;
    const auto type = std::filesystem::status(name, error).type();
    if (!error && type != std::filesystem::file_type::regular) {
      err << "kvd507: " << headline::cannotOpen(oneLine(name)) << ": "
          << reasonText(ErrorKind::kNotRegularFile) << '\n';
      return kExitFailure;
    }
  }
  if (command == nullptr) {
    return usageError(err, "nežinoma komanda \"" + name + "\"", nullptr);
  }
  ParsedArguments parsed;
  try {
    parsed = parseArguments(command->spec, {arguments.begin() + 1, arguments.end()});
  } catch (const UsageError& e) {
    return usageError(err, e.what(), command);
  }
  if (parsed.help) {
    out << commandHelp(command->spec);
    return kExitWritten;
  }
  try {
    return command->run(parsed, out, err);
  } catch (const UsageError& e) {
    // A value the parser took but the command cannot use, such as a year that is no year.
    return usageError(err, e.what(), command);
  }
}

}  // namespace kvd507::cli
